#include "os/sim/machine.h"

#include "text/mbstring.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace sim {
namespace {

Machine* g_current = nullptr;

// The English texts of a Windows system message table, each ending in CR LF as Windows gives
// them.
const std::map<DWORD, std::string>& WindowsMessages() {
    static const std::map<DWORD, std::string> messages = {
        {0, "The operation completed successfully.\r\n"},
        {2, "The system cannot find the file specified.\r\n"},
        {3, "The system cannot find the path specified.\r\n"},
        {5, "Access is denied.\r\n"},
        {6, "The handle is invalid.\r\n"},
        {32, "The process cannot access the file because it is being used by another "
             "process.\r\n"},
        {87, "The parameter is incorrect.\r\n"},
        {122, "The data area passed to a system call is too small.\r\n"},
        {183, "Cannot create a file when that file already exists.\r\n"},
        {1605, "This action is only valid for products that are currently installed.\r\n"},
        {1608, "Unknown property.\r\n"},
    };
    return messages;
}

} // namespace

Machine::Machine() : m_previous(g_current), m_messages(WindowsMessages()) {
    g_current = this;
    m_files.CreateFolder("C:\\Windows\\System32");
    m_files.CreateFolder("C:\\Users\\user\\AppData\\Local\\Temp");
    m_tempPath = "C:\\Users\\user\\AppData\\Local\\Temp\\";
    m_modulePath = "C:\\Setup\\Setup.exe";
    m_files.WriteFile(m_modulePath, "MZ");
    SetLastError(0);
}

Machine::~Machine() {
    for (void* block : m_localBlocks) {
        std::free(block);
    }
    g_current = m_previous;
}

Machine& Machine::Current() {
    if (g_current == nullptr) {
        std::fputs("sim: a simulated Windows call was made with no sim::Machine alive\n", stderr);
        std::abort();
    }
    return *g_current;
}

void Machine::SetKeyDown(int virtualKey, bool down) {
    if (down) {
        m_keysDown.insert(virtualKey);
    } else {
        m_keysDown.erase(virtualKey);
    }
}

ATOM Machine::AddAtom(std::string_view name) {
    if (ATOM existing = FindAtom(name)) {
        return existing;
    }
    // String atoms live in 0xC000-0xFFFF.
    ATOM atom = 0xC000;
    while (m_atoms.count(atom) != 0) {
        ++atom;
    }
    m_atoms[atom] = std::string(name);
    return atom;
}

ATOM Machine::FindAtom(std::string_view name) const {
    const std::string key = text::MakeUpper(name);
    for (const auto& [atom, atomName] : m_atoms) {
        if (text::MakeUpper(atomName) == key) {
            return atom;
        }
    }
    return 0;
}

bool Machine::DeleteAtom(ATOM atom) {
    return m_atoms.erase(atom) != 0;
}

HANDLE Machine::OpenMutex(const std::string& name, bool takeOwnership, bool& existed,
                          DWORD& error) {
    // Object names, unlike file names, match case-sensitively.
    if (m_deniedMutexes.count(name) != 0) {
        error = ERROR_ACCESS_DENIED;
        return nullptr;
    }
    std::shared_ptr<MutexObject> object;
    for (const auto& [handle, held] : m_mutexHandles) {
        if (!name.empty() && held->object->name == name) {
            object = held->object;
        }
    }
    existed = object != nullptr;
    if (!object) {
        object = std::make_shared<MutexObject>();
        object->name = name;
    }
    auto held = std::make_unique<MutexHandle>();
    held->object = object;
    HANDLE handle = held.get();
    m_mutexHandles[handle] = std::move(held);
    // The initial ownership is asked for only by the call that makes the mutex.
    if (takeOwnership && !existed) {
        object->owner = handle;
    }
    return handle;
}

DWORD Machine::WaitMutex(HANDLE handle) {
    MutexObject& object = *m_mutexHandles.at(handle)->object;
    if (object.owner != nullptr && object.owner != handle) {
        return WAIT_TIMEOUT;
    }
    object.owner = handle;
    return std::exchange(object.abandoned, false) ? WAIT_ABANDONED : WAIT_OBJECT_0;
}

bool Machine::ReleaseMutex(HANDLE handle) {
    auto found = m_mutexHandles.find(handle);
    if (found == m_mutexHandles.end() || found->second->object->owner != handle) {
        return false;
    }
    found->second->object->owner = nullptr;
    return true;
}

HANDLE Machine::AddFileHandle(std::unique_ptr<OpenFile> open) {
    HANDLE handle = open.get();
    m_fileHandles[handle] = std::move(open);
    return handle;
}

bool Machine::CloseMutex(HANDLE handle) {
    auto found = m_mutexHandles.find(handle);
    if (found == m_mutexHandles.end()) {
        return false;
    }
    MutexObject& object = *found->second->object;
    if (object.owner == handle) {
        object.owner = nullptr;
        object.abandoned = true;
    }
    m_mutexHandles.erase(found);
    return true;
}

bool Machine::ChangeState(std::string what) {
    m_changes.push_back(std::move(what));
    if (IsPowerCut()) {
        SetLastError(ERROR_NOT_READY);
        return false;
    }
    return true;
}

bool Machine::MutexExists(const std::string& name) const {
    for (const auto& [handle, held] : m_mutexHandles) {
        if (held->object->name == name) {
            return true;
        }
    }
    return false;
}

bool Machine::IsMutexOwned(const std::string& name) const {
    for (const auto& [handle, held] : m_mutexHandles) {
        if (held->object->name == name && held->object->owner != nullptr) {
            return true;
        }
    }
    return false;
}

void Machine::SetSystemMessage(DWORD code, std::optional<std::string> message) {
    if (message) {
        m_messages[code] = std::move(*message);
    } else {
        m_messages.erase(code);
    }
}

std::optional<std::string> Machine::SystemMessage(DWORD code) const {
    auto found = m_messages.find(code);
    if (found == m_messages.end()) {
        return std::nullopt;
    }
    return found->second;
}

void* Machine::OpenFind(std::vector<WIN32_FIND_DATAA> entries) {
    auto find = std::make_unique<Find>();
    find->entries = std::move(entries);
    void* handle = find.get();
    m_finds[handle] = std::move(find);
    return handle;
}

bool Machine::NextFind(void* handle, WIN32_FIND_DATAA& data) {
    auto found = m_finds.find(handle);
    if (found == m_finds.end() || found->second->next >= found->second->entries.size()) {
        return false;
    }
    data = found->second->entries[found->second->next++];
    return true;
}

bool Machine::CloseFind(void* handle) {
    return m_finds.erase(handle) != 0;
}

void* Machine::AllocateLocal(std::size_t bytes) {
    void* block = std::calloc(bytes == 0 ? 1 : bytes, 1);
    if (block != nullptr) {
        m_localBlocks.insert(block);
    }
    return block;
}

bool Machine::FreeLocal(void* block) {
    if (m_localBlocks.erase(block) == 0) {
        return false;
    }
    std::free(block);
    return true;
}

} // namespace sim
