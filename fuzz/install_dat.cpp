// Install.dat as the launcher reads it: the media's bytes, parsed by the simulated
// GetPrivateProfile* calls as Windows parses them, read by CInstallDatReader. The reader's two
// ways in (one key, a whole section) must agree on every key they both see.
#include "settings/install_dat_reader.h"
#include "os/sim/ini_file.h"
#include "os/sim/machine.h"
#include "text/mbstring.h"

#include "fuzz_input.h"

#include <set>
#include <string>
#include <vector>

namespace {

constexpr char kSettings[] = "C:\\Users\\user\\AppData\\Local\\Temp\\tmp1A2B.tmp";
constexpr std::size_t kLongestValue = 2048; // the reader's buffer less its NUL

// The settings section, an edition's section, and a name in another letter case than the file
// is likely to use; every read parses the whole file again, so a few are enough.
const char* const kSections[] = {"Install", "Patch_ALPHA", "PATCH_golf_r"};
// Keys checked one by one in each section, for the same reason.
constexpr std::size_t kKeysReadAlone = 16;

void CheckSection(const char* name, bool keysReadAlone) {
    CInstallDatReader reader(kSettings, name);
    std::vector<tagEntryValue> entries;
    const int count = reader.ReadSection(entries);
    FUZZ_CHECK(count == static_cast<int>(entries.size()));

    std::set<std::string> seen;
    for (const tagEntryValue& entry : entries) {
        FUZZ_CHECK(!entry.strKey.empty());
        FUZZ_CHECK(entry.strKey.find('\0') == std::string::npos);
        FUZZ_CHECK(entry.strValue.find('\0') == std::string::npos);
        // The first of repeated keys is the one a single read finds.
        if (!keysReadAlone || seen.size() == kKeysReadAlone ||
            !seen.insert(text::MakeUpper(entry.strKey)).second) {
            continue;
        }
        std::string expected = sim::UnquoteIniValue(entry.strValue).substr(0, kLongestValue);
        std::string value;
        const BOOL found = reader.ReadString(entry.strKey.c_str(), "<default>", value);
        if (expected == "~") {
            FUZZ_CHECK(!found && value == "<default>");
        } else {
            FUZZ_CHECK(found && value == expected);
        }
    }
}

// Every lead byte followed by a byte that can end a double-byte character in code page 932.
// A lead byte before a blank, "=" or a line end is no character Windows could write; the
// simulation trims such a blank byte by byte while the reader steps over it as a second byte,
// and what Windows makes of it is unknown, so such files are not held to agreement.
bool IsWellFormed(std::string_view bytes) {
    for (std::size_t at = 0; at < bytes.size(); ++at) {
        if (!text::IsLeadByte(static_cast<unsigned char>(bytes[at]))) {
            continue;
        }
        if (++at == bytes.size()) {
            return false;
        }
        const auto second = static_cast<unsigned char>(bytes[at]);
        if (second < 0x40 || second == 0x7F || second > 0xFC) {
            return false;
        }
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static sim::Machine machine;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    machine.Files().WriteFile(kSettings, bytes);

    std::string url;
    const BOOL found = CInstallDatReader(kSettings, "Install").ReadString("URL", "", url);
    FUZZ_CHECK(url.size() <= kLongestValue && (found || url.empty()));

    // Held to agreement on the text the calls read (a UTF-16 file is converted first), unless it
    // holds a NUL: blanks in front of one stay in a key's name, where no key argument (Windows
    // trims those) reaches them.
    const std::string text = sim::IniFileText(std::string(bytes));
    const bool keysReadAlone = text.find('\0') == std::string::npos && IsWellFormed(text);
    for (const char* section : kSections) {
        CheckSection(section, keysReadAlone);
    }
    return 0;
}
