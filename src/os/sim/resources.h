// The program's compiled resources (the .res file windres makes from Setup.rc, the same bytes
// that go into Setup.exe), and the dialog templates in them.
#pragma once

#include "os/sim/sim_api.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace sim {

class ResourceSet {
public:
    // Reads a .res file; throws std::runtime_error when it is not one.
    void Load(std::string_view resFile);
    // The data of the resource of numeric type and id, or nullopt.
    std::optional<std::string_view> Find(WORD type, WORD id) const;

private:
    std::string m_bytes;
    std::map<std::pair<WORD, WORD>, std::pair<std::size_t, std::size_t>> m_entries;
};

// One control of an extended dialog template, texts converted to code page 932.
struct DialogItem {
    DWORD helpId = 0;
    DWORD exStyle = 0;
    DWORD style = 0;
    short x = 0;
    short y = 0;
    short cx = 0;
    short cy = 0;
    DWORD id = 0;
    std::string className; // "Button", "Static", ... for the predefined ordinals
    std::string text;
};

struct DialogTemplate {
    WORD version = 0;
    DWORD helpId = 0;
    DWORD exStyle = 0;
    DWORD style = 0;
    short x = 0;
    short y = 0;
    short cx = 0;
    short cy = 0;
    std::string caption;
    WORD pointSize = 0;
    WORD weight = 0;
    BYTE italic = 0;
    BYTE charSet = 0;
    std::string typeface;
    std::vector<DialogItem> items;
};

// Parses a DLGTEMPLATEEX; throws std::runtime_error on anything else.
DialogTemplate ParseDialogTemplate(std::string_view bytes);

} // namespace sim
