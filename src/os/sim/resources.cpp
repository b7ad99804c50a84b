#include "os/sim/resources.h"

#include "os/sim/code_page.h"

#include <cstring>
#include <stdexcept>

namespace sim {
namespace {

class Reader {
public:
    explicit Reader(std::string_view bytes) : m_bytes(bytes) {}

    template <typename T>
    T Get() {
        if (m_at + sizeof(T) > m_bytes.size()) {
            throw std::runtime_error("sim: resource data ends early");
        }
        T value;
        std::memcpy(&value, m_bytes.data() + m_at, sizeof(T));
        m_at += sizeof(T);
        return value;
    }
    std::u16string String() {
        std::u16string text;
        for (char16_t ch = Get<char16_t>(); ch != 0; ch = Get<char16_t>()) {
            text += ch;
        }
        return text;
    }
    // A name or ordinal: 0xFFFF followed by a number, or a zero-ended string.
    std::pair<std::optional<WORD>, std::u16string> NameOrOrdinal() {
        const auto first = Get<char16_t>();
        if (first == 0xFFFF) {
            return {Get<WORD>(), u""};
        }
        if (first == 0) {
            return {std::nullopt, u""};
        }
        std::u16string text(1, first);
        text += String();
        return {std::nullopt, text};
    }
    void Align(std::size_t to) { m_at = (m_at + to - 1) / to * to; }
    std::size_t At() const { return m_at; }
    void Skip(std::size_t count) { m_at += count; }
    bool AtEnd() const { return m_at >= m_bytes.size(); }

private:
    std::string_view m_bytes;
    std::size_t m_at = 0;
};

std::string PredefinedClass(WORD atom) {
    switch (atom) {
    case 0x0080:
        return "Button";
    case 0x0081:
        return "Edit";
    case 0x0082:
        return "Static";
    case 0x0083:
        return "ListBox";
    case 0x0084:
        return "ScrollBar";
    case 0x0085:
        return "ComboBox";
    default:
        return "#" + std::to_string(atom);
    }
}

} // namespace

void ResourceSet::Load(std::string_view resFile) {
    m_bytes = std::string(resFile);
    m_entries.clear();
    Reader reader(m_bytes);
    while (!reader.AtEnd()) {
        const std::size_t start = reader.At();
        const auto dataSize = reader.Get<DWORD>();
        const auto headerSize = reader.Get<DWORD>();
        const auto type = reader.NameOrOrdinal();
        const auto name = reader.NameOrOrdinal();
        const std::size_t dataStart = start + headerSize;
        if (type.first && name.first) {
            m_entries[{*type.first, *name.first}] = {dataStart, dataSize};
        }
        reader.Skip(dataStart - reader.At());
        reader.Skip(dataSize);
        reader.Align(4);
    }
}

std::optional<std::string_view> ResourceSet::Find(WORD type, WORD id) const {
    auto found = m_entries.find({type, id});
    if (found == m_entries.end()) {
        return std::nullopt;
    }
    return std::string_view(m_bytes).substr(found->second.first, found->second.second);
}

DialogTemplate ParseDialogTemplate(std::string_view bytes) {
    Reader reader(bytes);
    DialogTemplate dialog;
    dialog.version = reader.Get<WORD>();
    if (dialog.version != 1 || reader.Get<WORD>() != 0xFFFF) {
        throw std::runtime_error("sim: not an extended dialog template");
    }
    dialog.helpId = reader.Get<DWORD>();
    dialog.exStyle = reader.Get<DWORD>();
    dialog.style = reader.Get<DWORD>();
    const auto count = reader.Get<WORD>();
    dialog.x = reader.Get<short>();
    dialog.y = reader.Get<short>();
    dialog.cx = reader.Get<short>();
    dialog.cy = reader.Get<short>();
    reader.NameOrOrdinal(); // menu
    reader.NameOrOrdinal(); // window class
    dialog.caption = Utf16ToCp932(reader.String());
    if (dialog.style & (DS_SETFONT | DS_FIXEDSYS)) {
        dialog.pointSize = reader.Get<WORD>();
        dialog.weight = reader.Get<WORD>();
        dialog.italic = reader.Get<BYTE>();
        dialog.charSet = reader.Get<BYTE>();
        dialog.typeface = Utf16ToCp932(reader.String());
    }
    for (WORD index = 0; index < count; ++index) {
        reader.Align(4);
        DialogItem item;
        item.helpId = reader.Get<DWORD>();
        item.exStyle = reader.Get<DWORD>();
        item.style = reader.Get<DWORD>();
        item.x = reader.Get<short>();
        item.y = reader.Get<short>();
        item.cx = reader.Get<short>();
        item.cy = reader.Get<short>();
        item.id = reader.Get<DWORD>();
        const auto windowClass = reader.NameOrOrdinal();
        item.className = windowClass.first ? PredefinedClass(*windowClass.first)
                                           : Utf16ToCp932(windowClass.second);
        const auto title = reader.NameOrOrdinal();
        item.text = title.first ? "#" + std::to_string(*title.first) : Utf16ToCp932(title.second);
        reader.Skip(reader.Get<WORD>()); // creation data
        dialog.items.push_back(item);
    }
    return dialog;
}

} // namespace sim
