// The simulated registry: HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER, value types, and the two
// views a 32-bit program sees on 64-bit Windows. As on Windows, the 32-bit view of
// HKLM\SOFTWARE is stored under HKLM\SOFTWARE\WOW6432Node.
#pragma once

#include "os/sim/sim_api.h"

#include <map>
#include <memory>
#include <string>
#include <string_view>

namespace sim {

struct RegValue {
    std::string name;
    DWORD type = REG_NONE;
    std::string data;
};

struct RegKeyNode {
    std::string name;
    std::map<std::string, std::unique_ptr<RegKeyNode>> subkeys; // by upper-case name
    std::map<std::string, RegValue> values;                     // by upper-case name
};

enum class RegView { Default, Bits32, Bits64 };

class Registry {
public:
    Registry();

    // Setting the machine up and reading it back; `path` is below the root, e.g.
    // "SOFTWARE\\Microsoft\\...". The view applies to HKLM\SOFTWARE as it does for a program
    // of the simulated bitness.
    void SetValue(HKEY root, RegView view, std::string_view path, std::string_view name, DWORD type,
                  std::string_view data);
    void SetString(HKEY root, RegView view, std::string_view path, std::string_view name,
                   std::string_view text); // REG_SZ with its terminating NUL
    const RegValue* Value(HKEY root, RegView view, std::string_view path,
                          std::string_view name) const;
    bool KeyExists(HKEY root, RegView view, std::string_view path) const;

    // The simulated program is 32-bit; Windows is 64-bit unless told otherwise (then there is
    // one view only).
    void SetWindows64Bit(bool is64Bit) { m_windows64Bit = is64Bit; }

    // For the simulated calls.
    LSTATUS Open(HKEY parent, LPCSTR subKey, REGSAM access, bool create, HKEY* result,
                 DWORD* disposition);
    LSTATUS Query(HKEY key, LPCSTR name, DWORD* type, BYTE* data, DWORD* size) const;
    LSTATUS Set(HKEY key, LPCSTR name, DWORD type, const BYTE* data, DWORD size);
    LSTATUS DeleteValue(HKEY key, LPCSTR name);
    LSTATUS DeleteKey(HKEY parent, LPCSTR subKey, REGSAM access);
    LSTATUS Flush(HKEY key);
    LSTATUS Close(HKEY key);

    std::size_t OpenKeys() const { return m_open.size(); }
    std::size_t Flushes() const { return m_flushes; }

private:
    struct OpenKey {
        int root; // 1 = HKCU, 2 = HKLM
        std::string path;
    };
    const OpenKey* Resolve(HKEY key, OpenKey& scratch) const;
    std::string Redirect(int root, std::string path, REGSAM access) const;
    RegKeyNode* Walk(int root, std::string_view path, bool create);
    const RegKeyNode* Walk(int root, std::string_view path) const;
    std::string ViewPath(HKEY root, RegView view, std::string_view path) const;

    std::unique_ptr<RegKeyNode> m_roots[3];
    std::map<HKEY, std::unique_ptr<OpenKey>> m_open;
    bool m_windows64Bit = true;
    std::size_t m_flushes = 0;
};

} // namespace sim
