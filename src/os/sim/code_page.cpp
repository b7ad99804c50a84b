#include "os/sim/code_page.h"

#include <cerrno>
#include <iconv.h>
#include <stdexcept>

namespace sim {
namespace {

class Converter {
public:
    Converter() : m_handle(iconv_open("CP932", "UTF-16LE")) {
        if (m_handle == reinterpret_cast<iconv_t>(-1)) {
            throw std::runtime_error("sim: no UTF-16 to CP932 conversion");
        }
    }
    ~Converter() { iconv_close(m_handle); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts what it can; on a character it cannot convert, stops with `in` at it.
    bool Convert(const char*& in, std::size_t& inLeft, char*& out, std::size_t& outLeft) {
        char* from = const_cast<char*>(in);
        const bool done =
            iconv(m_handle, &from, &inLeft, &out, &outLeft) != static_cast<size_t>(-1);
        in = from;
        return done;
    }

private:
    iconv_t m_handle;
};

unsigned UnitAt(const char* bytes) {
    return static_cast<unsigned char>(bytes[0]) |
           static_cast<unsigned>(static_cast<unsigned char>(bytes[1])) << 8;
}

bool StartsWithSurrogatePair(const char* bytes, std::size_t size) {
    return size >= 4 && UnitAt(bytes) >= 0xD800 && UnitAt(bytes) <= 0xDBFF &&
           UnitAt(bytes + 2) >= 0xDC00 && UnitAt(bytes + 2) <= 0xDFFF;
}

std::string Convert(std::u16string_view text, bool lossy) {
    // A code page 932 character never takes more bytes than its UTF-16 form, nor does "?".
    std::string output(text.size() * 2, '\0');
    const char* in = reinterpret_cast<const char*>(text.data());
    std::size_t inLeft = text.size() * 2;
    char* out = output.data();
    std::size_t outLeft = output.size();
    Converter converter;
    while (!converter.Convert(in, inLeft, out, outLeft)) {
        if (!lossy || (errno != EILSEQ && errno != EINVAL)) {
            throw std::runtime_error("sim: text not representable in code page 932");
        }
        // One character replaced: a surrogate pair or a single unit.
        const std::size_t skip = StartsWithSurrogatePair(in, inLeft) ? 4 : 2;
        in += skip;
        inLeft -= skip;
        *out++ = '?';
        --outLeft;
    }
    output.resize(output.size() - outLeft);
    return output;
}

} // namespace

std::string Utf16ToCp932(std::u16string_view text) {
    return Convert(text, false);
}

std::string Utf16ToCp932Lossy(std::u16string_view text) {
    return Convert(text, true);
}

} // namespace sim
