#include "json_text.h"

#include "os/win32api.h"

#include <cstdio>

namespace {

// The launcher's texts are code page 932 whatever the machine's code page is.
constexpr UINT kCodePage932 = 932;

void AppendUnit(std::string& json, unsigned unit) {
    switch (unit) {
    case '"':
        json += "\\\"";
        return;
    case '\\':
        json += "\\\\";
        return;
    case '\n':
        json += "\\n";
        return;
    case '\r':
        json += "\\r";
        return;
    case '\t':
        json += "\\t";
        return;
    default:
        break;
    }
    if (unit >= 0x20 && unit < 0x7F) {
        json += static_cast<char>(unit);
        return;
    }
    char escape[8];
    std::snprintf(escape, sizeof escape, "\\u%04x", unit);
    json += escape;
}

} // namespace

std::string JsonString(std::string_view text) {
    std::string json = "\"";
    const int length = static_cast<int>(text.size());
    std::vector<WCHAR> wide(text.size() + 1);
    const int units = text.empty()
                          ? 0
                          : MultiByteToWideChar(kCodePage932, 0, text.data(), length, wide.data(),
                                                static_cast<int>(wide.size()));
    if (units > 0 || text.empty()) {
        for (int i = 0; i < units; ++i) {
            AppendUnit(json, static_cast<unsigned>(wide[i]));
        }
    } else {
        // Not code page 932 text: its bytes stay recognisable, each as a replacement mark.
        for (unsigned char byte : text) {
            AppendUnit(json, byte < 0x80 ? byte : 0xFFFD);
        }
    }
    return json + "\"";
}

std::string JsonStringOrNull(const std::optional<std::string>& text) {
    return text ? JsonString(*text) : "null";
}

std::string JsonObject(const std::vector<std::pair<const char*, std::string>>& fields) {
    std::string json = "{";
    for (const auto& [name, value] : fields) {
        json += (json.size() > 1 ? ", \"" : "\"") + std::string(name) + "\": " + value;
    }
    return json + "}";
}

std::string JsonArray(const std::vector<std::string>& values, int indent) {
    if (values.empty()) {
        return "[]";
    }
    const std::string margin(static_cast<std::size_t>(indent), ' ');
    std::string json = "[\n";
    for (std::size_t i = 0; i < values.size(); ++i) {
        json += margin + "  " + values[i] + (i + 1 < values.size() ? ",\n" : "\n");
    }
    return json + margin + "]";
}
