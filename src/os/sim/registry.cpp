#include "os/sim/registry.h"

#include "text/mbstring.h"
#include "text/split_string.h"

#include <cstring>
#include <stdexcept>
#include <vector>

namespace sim {
namespace {

constexpr std::string_view kSoftware = "SOFTWARE";
constexpr std::string_view kWow64Node = "WOW6432NODE";

int RootIndex(HKEY key) {
    if (key == HKEY_CURRENT_USER) {
        return 1;
    }
    if (key == HKEY_LOCAL_MACHINE) {
        return 2;
    }
    return 0;
}

std::vector<std::string> SplitKeyPath(std::string_view path) {
    std::vector<std::string> parts;
    SplitString(path, "\\", parts);
    return parts;
}

std::string JoinKeyPath(std::string_view parent, std::string_view child) {
    if (parent.empty()) {
        return std::string(child);
    }
    if (child.empty()) {
        return std::string(parent);
    }
    return std::string(parent) + "\\" + std::string(child);
}

} // namespace

Registry::Registry() {
    for (auto& root : m_roots) {
        root = std::make_unique<RegKeyNode>();
    }
}

std::string Registry::Redirect(int root, std::string path, REGSAM access) const {
    // A 32-bit program on 64-bit Windows sees HKLM\SOFTWARE\WOW6432Node as HKLM\SOFTWARE,
    // unless it asks for the 64-bit view.
    if (root != 2 || !m_windows64Bit || (access & KEY_WOW64_64KEY)) {
        return path;
    }
    std::vector<std::string> parts = SplitKeyPath(path);
    if (parts.empty() || text::MakeUpper(parts[0]) != kSoftware ||
        (parts.size() > 1 && text::MakeUpper(parts[1]) == kWow64Node)) {
        return path;
    }
    std::string redirected = parts[0] + "\\WOW6432Node";
    for (std::size_t i = 1; i < parts.size(); ++i) {
        redirected += "\\" + parts[i];
    }
    return redirected;
}

std::string Registry::ViewPath(HKEY root, RegView view, std::string_view path) const {
    REGSAM access = view == RegView::Bits64 ? KEY_WOW64_64KEY : KEY_WOW64_32KEY;
    return Redirect(RootIndex(root), std::string(path), access);
}

RegKeyNode* Registry::Walk(int root, std::string_view path, bool create) {
    RegKeyNode* node = m_roots[root].get();
    for (const std::string& part : SplitKeyPath(path)) {
        auto& child = node->subkeys[text::MakeUpper(part)];
        if (!child) {
            if (!create) {
                node->subkeys.erase(text::MakeUpper(part));
                return nullptr;
            }
            child = std::make_unique<RegKeyNode>();
            child->name = part;
        }
        node = child.get();
    }
    return node;
}

const RegKeyNode* Registry::Walk(int root, std::string_view path) const {
    const RegKeyNode* node = m_roots[root].get();
    for (const std::string& part : SplitKeyPath(path)) {
        auto child = node->subkeys.find(text::MakeUpper(part));
        if (child == node->subkeys.end()) {
            return nullptr;
        }
        node = child->second.get();
    }
    return node;
}

void Registry::SetValue(HKEY root, RegView view, std::string_view path, std::string_view name,
                        DWORD type, std::string_view data) {
    const int index = RootIndex(root);
    if (index == 0) {
        throw std::invalid_argument("sim: only HKCU and HKLM are simulated");
    }
    RegKeyNode* key = Walk(index, ViewPath(root, view, path), true);
    key->values[text::MakeUpper(name)] = RegValue{std::string(name), type, std::string(data)};
}

void Registry::SetString(HKEY root, RegView view, std::string_view path, std::string_view name,
                         std::string_view text) {
    SetValue(root, view, path, name, REG_SZ, std::string(text) + '\0');
}

const RegValue* Registry::Value(HKEY root, RegView view, std::string_view path,
                                std::string_view name) const {
    const RegKeyNode* key = Walk(RootIndex(root), ViewPath(root, view, path));
    if (key == nullptr) {
        return nullptr;
    }
    auto value = key->values.find(text::MakeUpper(name));
    return value == key->values.end() ? nullptr : &value->second;
}

bool Registry::KeyExists(HKEY root, RegView view, std::string_view path) const {
    return Walk(RootIndex(root), ViewPath(root, view, path)) != nullptr;
}

const Registry::OpenKey* Registry::Resolve(HKEY key, OpenKey& scratch) const {
    if (const int root = RootIndex(key); root != 0) {
        scratch = OpenKey{root, ""};
        return &scratch;
    }
    auto open = m_open.find(key);
    return open == m_open.end() ? nullptr : open->second.get();
}

LSTATUS Registry::Open(HKEY parent, LPCSTR subKey, REGSAM access, bool create, HKEY* result,
                       DWORD* disposition) {
    OpenKey scratch;
    const OpenKey* base = Resolve(parent, scratch);
    if (base == nullptr || result == nullptr) {
        return static_cast<LSTATUS>(ERROR_INVALID_HANDLE);
    }
    const std::string path =
        Redirect(base->root, JoinKeyPath(base->path, subKey == nullptr ? "" : subKey), access);
    const bool existed = Walk(base->root, std::string_view(path)) != nullptr;
    if (!existed && !create) {
        return static_cast<LSTATUS>(ERROR_FILE_NOT_FOUND);
    }
    Walk(base->root, path, true);
    if (disposition != nullptr) {
        *disposition = existed ? REG_OPENED_EXISTING_KEY : REG_CREATED_NEW_KEY;
    }
    auto open = std::make_unique<OpenKey>(OpenKey{base->root, path});
    HKEY handle = reinterpret_cast<HKEY>(open.get());
    m_open[handle] = std::move(open);
    *result = handle;
    return static_cast<LSTATUS>(ERROR_SUCCESS);
}

LSTATUS Registry::Query(HKEY key, LPCSTR name, DWORD* type, BYTE* data, DWORD* size) const {
    OpenKey scratch;
    const OpenKey* open = Resolve(key, scratch);
    if (open == nullptr) {
        return static_cast<LSTATUS>(ERROR_INVALID_HANDLE);
    }
    const RegKeyNode* node = Walk(open->root, std::string_view(open->path));
    if (node == nullptr) {
        return static_cast<LSTATUS>(ERROR_FILE_NOT_FOUND); // deleted meanwhile
    }
    auto value = node->values.find(text::MakeUpper(name == nullptr ? "" : name));
    if (value == node->values.end()) {
        return static_cast<LSTATUS>(ERROR_FILE_NOT_FOUND);
    }
    const std::string& bytes = value->second.data;
    if (type != nullptr) {
        *type = value->second.type;
    }
    if (data == nullptr) {
        if (size != nullptr) {
            *size = static_cast<DWORD>(bytes.size());
        }
        return static_cast<LSTATUS>(ERROR_SUCCESS);
    }
    if (size == nullptr) {
        return static_cast<LSTATUS>(ERROR_INVALID_PARAMETER);
    }
    if (*size < bytes.size()) {
        *size = static_cast<DWORD>(bytes.size());
        return static_cast<LSTATUS>(ERROR_MORE_DATA);
    }
    std::memcpy(data, bytes.data(), bytes.size());
    *size = static_cast<DWORD>(bytes.size());
    return static_cast<LSTATUS>(ERROR_SUCCESS);
}

LSTATUS Registry::Set(HKEY key, LPCSTR name, DWORD type, const BYTE* data, DWORD size) {
    OpenKey scratch;
    const OpenKey* open = Resolve(key, scratch);
    if (open == nullptr) {
        return static_cast<LSTATUS>(ERROR_INVALID_HANDLE);
    }
    RegKeyNode* node = Walk(open->root, open->path, true);
    const std::string valueName = name == nullptr ? "" : name;
    node->values[text::MakeUpper(valueName)] =
        RegValue{valueName, type, std::string(reinterpret_cast<const char*>(data), size)};
    return static_cast<LSTATUS>(ERROR_SUCCESS);
}

LSTATUS Registry::DeleteValue(HKEY key, LPCSTR name) {
    OpenKey scratch;
    const OpenKey* open = Resolve(key, scratch);
    if (open == nullptr) {
        return static_cast<LSTATUS>(ERROR_INVALID_HANDLE);
    }
    RegKeyNode* node = Walk(open->root, open->path, false);
    if (node == nullptr || node->values.erase(text::MakeUpper(name == nullptr ? "" : name)) == 0) {
        return static_cast<LSTATUS>(ERROR_FILE_NOT_FOUND);
    }
    return static_cast<LSTATUS>(ERROR_SUCCESS);
}

LSTATUS Registry::DeleteKey(HKEY parent, LPCSTR subKey, REGSAM access) {
    OpenKey scratch;
    const OpenKey* base = Resolve(parent, scratch);
    if (base == nullptr) {
        return static_cast<LSTATUS>(ERROR_INVALID_HANDLE);
    }
    const std::string path =
        Redirect(base->root, JoinKeyPath(base->path, subKey == nullptr ? "" : subKey), access);
    std::vector<std::string> parts = SplitKeyPath(path);
    if (parts.empty()) {
        return static_cast<LSTATUS>(ERROR_ACCESS_DENIED);
    }
    const std::string last = text::MakeUpper(parts.back());
    parts.pop_back();
    std::string parentPath;
    for (const std::string& part : parts) {
        parentPath = JoinKeyPath(parentPath, part);
    }
    RegKeyNode* node = Walk(base->root, parentPath, false);
    auto child = node == nullptr ? decltype(node->subkeys)::iterator{} : node->subkeys.find(last);
    if (node == nullptr || child == node->subkeys.end()) {
        return static_cast<LSTATUS>(ERROR_FILE_NOT_FOUND);
    }
    if (!child->second->subkeys.empty()) {
        return static_cast<LSTATUS>(ERROR_ACCESS_DENIED);
    }
    node->subkeys.erase(child);
    return static_cast<LSTATUS>(ERROR_SUCCESS);
}

LSTATUS Registry::Flush(HKEY key) {
    OpenKey scratch;
    if (Resolve(key, scratch) == nullptr) {
        return static_cast<LSTATUS>(ERROR_INVALID_HANDLE);
    }
    ++m_flushes;
    return static_cast<LSTATUS>(ERROR_SUCCESS);
}

LSTATUS Registry::Close(HKEY key) {
    if (RootIndex(key) != 0) {
        return static_cast<LSTATUS>(ERROR_SUCCESS);
    }
    return static_cast<LSTATUS>(m_open.erase(key) != 0 ? ERROR_SUCCESS : ERROR_INVALID_HANDLE);
}

} // namespace sim
