#include "os/sim/file_system.h"

#include "text/mbstring.h"
#include "text/split_string.h"

#include <stdexcept>

namespace sim {

std::string NameKey(std::string_view name) {
    return text::MakeUpper(name);
}

namespace {

bool IsSeparatorAt(std::string_view path, std::size_t at) {
    return text::CharLength(path, at) == 1 && (path[at] == '\\' || path[at] == '/');
}

std::vector<std::string> SplitComponents(std::string_view path) {
    std::vector<std::string> parts;
    SplitString(path, "\\/", parts);
    return parts;
}

bool HasDrive(std::string_view path) {
    return path.size() >= 2 && path[1] == ':' &&
           ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
}

bool SharingAllows(const OpenFile& held, DWORD access, DWORD share) {
    if ((access & GENERIC_WRITE) && !(held.Share() & FILE_SHARE_WRITE)) {
        return false;
    }
    if ((access & GENERIC_READ) && !(held.Share() & FILE_SHARE_READ)) {
        return false;
    }
    if ((held.Access() & GENERIC_WRITE) && !(share & FILE_SHARE_WRITE)) {
        return false;
    }
    if ((held.Access() & GENERIC_READ) && !(share & FILE_SHARE_READ)) {
        return false;
    }
    if ((access & DELETE) && !(held.Share() & FILE_SHARE_DELETE)) {
        return false;
    }
    if ((held.Access() & DELETE) && !(share & FILE_SHARE_DELETE)) {
        return false;
    }
    return true;
}

// The child a name (upper case) stands for: by its own name, else by its 8.3 alias.
std::shared_ptr<FileNode> FindChild(const FileNode& folder, const std::string& key,
                                    bool* byAlias = nullptr) {
    if (auto child = folder.children.find(key); child != folder.children.end()) {
        if (byAlias != nullptr) {
            *byAlias = false;
        }
        return child->second;
    }
    auto alias = folder.aliases.find(key);
    if (alias == folder.aliases.end()) {
        return nullptr;
    }
    if (byAlias != nullptr) {
        *byAlias = true;
    }
    return folder.children.at(alias->second);
}

// Takes a child out of its folder, and its alias with it.
void Detach(FileNode& folder, std::map<std::string, std::shared_ptr<FileNode>>::iterator child) {
    if (!child->second->shortName.empty()) {
        folder.aliases.erase(NameKey(child->second->shortName));
    }
    folder.children.erase(child);
}

} // namespace

OpenFile::OpenFile(FileSystem* files, std::shared_ptr<FileNode> node, DWORD access, DWORD share)
    : m_files(files), m_node(std::move(node)), m_access(access), m_share(share) {
    m_node->openFiles.push_back(this);
    m_files->m_openFiles.push_back(this);
}

OpenFile::~OpenFile() {
    std::erase(m_node->openFiles, this);
    if (m_files != nullptr) {
        std::erase(m_files->m_openFiles, this);
    }
}

void OpenFile::Append(std::string_view bytes) {
    m_node->data.append(bytes);
    if (m_files != nullptr) {
        m_node->lastWritten = m_files->Now();
    }
}

FileSystem::FileSystem(const Clock& clock) : m_clock(clock) {
    auto root = std::make_shared<FileNode>();
    root->name = "C:";
    root->attributes = FILE_ATTRIBUTE_DIRECTORY;
    m_drives["C:"] = root;
}

FileSystem::~FileSystem() {
    // A stream the launcher forgot to close must not reach back into a dead machine.
    for (OpenFile* open : m_openFiles) {
        open->m_files = nullptr;
    }
}

std::optional<FileSystem::Parsed> FileSystem::Parse(std::string_view path) const {
    if (path.empty()) {
        return std::nullopt;
    }
    std::string full;
    if (HasDrive(path) && path.size() >= 3 && IsSeparatorAt(path, 2)) {
        full = std::string(path);
    } else if (HasDrive(path)) {
        // "C:name" is relative to the current folder of that drive; one drive is current here.
        full = m_currentFolder + "\\" + std::string(path.substr(2));
    } else if (IsSeparatorAt(path, 0)) {
        if (path.size() >= 2 && IsSeparatorAt(path, 1)) {
            return std::nullopt; // UNC names are not simulated
        }
        full = m_currentFolder.substr(0, 2) + std::string(path);
    } else {
        full = m_currentFolder + "\\" + std::string(path);
    }

    Parsed parsed;
    parsed.drive = text::MakeUpper(full.substr(0, 2));
    for (std::string& part : SplitComponents(std::string_view(full).substr(2))) {
        if (part == ".") {
            continue;
        }
        if (part == "..") {
            if (!parsed.parts.empty()) {
                parsed.parts.pop_back();
            }
            continue;
        }
        // Windows drops trailing dots and blanks of a component (neither byte can be the
        // second byte of a double-byte character).
        while (!part.empty() && (part.back() == '.' || part.back() == ' ')) {
            part.pop_back();
        }
        if (!part.empty()) {
            parsed.parts.push_back(part);
        }
    }
    return parsed;
}

std::shared_ptr<FileNode> FileSystem::Walk(const Parsed& parsed, std::size_t count,
                                           DWORD& error) const {
    auto drive = m_drives.find(parsed.drive);
    if (drive == m_drives.end()) {
        error = ERROR_PATH_NOT_FOUND;
        return nullptr;
    }
    std::shared_ptr<FileNode> node = drive->second;
    for (std::size_t i = 0; i < count; ++i) {
        if (!node->IsFolder()) {
            error = ERROR_PATH_NOT_FOUND;
            return nullptr;
        }
        std::shared_ptr<FileNode> child = FindChild(*node, NameKey(parsed.parts[i]));
        if (!child) {
            error = i + 1 == count ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND;
            return nullptr;
        }
        node = std::move(child);
    }
    return node;
}

std::shared_ptr<FileNode> FileSystem::Find(std::string_view path, DWORD& error) const {
    auto parsed = Parse(path);
    if (!parsed) {
        error = ERROR_PATH_NOT_FOUND;
        return nullptr;
    }
    return Walk(*parsed, parsed->parts.size(), error);
}

const FileNode* FileSystem::Lookup(std::string_view path) const {
    DWORD error = 0;
    return Find(path, error).get();
}

bool FileSystem::Exists(std::string_view path) const {
    return Lookup(path) != nullptr;
}

std::optional<std::string> FileSystem::ReadFile(std::string_view path) const {
    const FileNode* node = Lookup(path);
    if (node == nullptr || node->IsFolder()) {
        return std::nullopt;
    }
    return node->data;
}

std::shared_ptr<FileNode> FileSystem::MakeFolders(const Parsed& parsed, std::size_t count) {
    auto& drive = m_drives[parsed.drive];
    if (!drive) {
        drive = std::make_shared<FileNode>();
        drive->name = parsed.drive;
        drive->attributes = FILE_ATTRIBUTE_DIRECTORY;
    }
    std::shared_ptr<FileNode> node = drive;
    for (std::size_t i = 0; i < count; ++i) {
        auto& child = node->children[NameKey(parsed.parts[i])];
        if (!child) {
            child = std::make_shared<FileNode>();
            child->name = parsed.parts[i];
            child->attributes = FILE_ATTRIBUTE_DIRECTORY;
            child->created = child->lastWritten = child->lastAccessed = Now();
        } else if (!child->IsFolder()) {
            throw std::logic_error("sim: a file stands where a folder is wanted: " +
                                   parsed.parts[i]);
        }
        node = child;
    }
    return node;
}

void FileSystem::CreateFolder(std::string_view path) {
    auto parsed = Parse(path);
    if (!parsed) {
        throw std::invalid_argument("sim: bad folder path");
    }
    MakeFolders(*parsed, parsed->parts.size());
}

void FileSystem::WriteFile(std::string_view path, std::string_view bytes, DWORD attributes) {
    auto parsed = Parse(path);
    if (!parsed || parsed->parts.empty()) {
        throw std::invalid_argument("sim: bad file path");
    }
    auto folder = MakeFolders(*parsed, parsed->parts.size() - 1);
    auto& node = folder->children[NameKey(parsed->parts.back())];
    if (node && node->IsFolder()) {
        throw std::logic_error("sim: a folder stands where a file is wanted");
    }
    if (!node) {
        node = std::make_shared<FileNode>();
        node->name = parsed->parts.back();
        node->created = Now();
    }
    node->attributes = attributes & ~FILE_ATTRIBUTE_DIRECTORY;
    node->data = std::string(bytes);
    node->lastWritten = node->lastAccessed = Now();
}

void FileSystem::SetAttributes(std::string_view path, DWORD attributes) {
    DWORD error = 0;
    auto node = Find(path, error);
    if (!node) {
        throw std::invalid_argument("sim: no such path");
    }
    node->attributes =
        (node->attributes & FILE_ATTRIBUTE_DIRECTORY) | (attributes & ~FILE_ATTRIBUTE_DIRECTORY);
}

void FileSystem::SetShortName(std::string_view path, std::string_view shortName) {
    auto parsed = Parse(path);
    DWORD error = 0;
    std::shared_ptr<FileNode> folder;
    std::shared_ptr<FileNode> node;
    if (parsed && !parsed->parts.empty()) {
        folder = Walk(*parsed, parsed->parts.size() - 1, error);
    }
    if (folder) {
        node = FindChild(*folder, NameKey(parsed->parts.back()));
    }
    if (!node) {
        throw std::invalid_argument("sim: no such path");
    }
    // An alias names one entry of its folder, as on a real volume.
    const std::string key = NameKey(node->name);
    const std::string alias = NameKey(shortName);
    if (auto taken = folder->aliases.find(alias);
        !alias.empty() && taken != folder->aliases.end() && taken->second != key) {
        throw std::logic_error("sim: the alias is taken in that folder");
    }
    if (!node->shortName.empty()) {
        folder->aliases.erase(NameKey(node->shortName));
    }
    node->shortName = std::string(shortName);
    if (!alias.empty()) {
        folder->aliases[alias] = key;
    }
}

void FileSystem::SetSignature(std::string_view path, std::optional<Signature> signature) {
    DWORD error = 0;
    std::shared_ptr<FileNode> node = Find(path, error);
    if (!node) {
        throw std::invalid_argument("no file to sign: " + std::string(path));
    }
    node->signature = std::move(signature);
}

void FileSystem::SetFileVersion(std::string_view path, WORD major, WORD minor, WORD build,
                                WORD revision) {
    if (!Exists(path)) {
        WriteFile(path, "MZ");
    }
    DWORD error = 0;
    Find(path, error)->version = std::array<WORD, 4>{major, minor, build, revision};
}

std::shared_ptr<OpenFile> FileSystem::HoldOpen(std::string_view path, DWORD access, DWORD share) {
    DWORD error = 0;
    std::shared_ptr<OpenFile> open = Open(path, access, share, Disposition::OpenAlways, error);
    if (!open) {
        throw std::runtime_error("sim: another process could not open the file");
    }
    return open;
}

std::unique_ptr<OpenFile> FileSystem::Open(std::string_view path, DWORD access, DWORD share,
                                           Disposition disposition, DWORD& error) {
    auto parsed = Parse(path);
    if (!parsed || parsed->parts.empty()) {
        error = ERROR_PATH_NOT_FOUND;
        return nullptr;
    }
    auto folder = Walk(*parsed, parsed->parts.size() - 1, error);
    if (!folder) {
        error = ERROR_PATH_NOT_FOUND;
        return nullptr;
    }
    if (!folder->IsFolder()) {
        error = ERROR_PATH_NOT_FOUND;
        return nullptr;
    }
    DWORD lookupError = 0;
    std::shared_ptr<FileNode> node = Walk(*parsed, parsed->parts.size(), lookupError);
    if (node) {
        if (node->IsFolder()) {
            error = ERROR_ACCESS_DENIED;
            return nullptr;
        }
        if (disposition == Disposition::CreateNew) {
            error = 80; // ERROR_FILE_EXISTS
            return nullptr;
        }
        if ((access & GENERIC_WRITE) && (node->attributes & FILE_ATTRIBUTE_READONLY)) {
            error = ERROR_ACCESS_DENIED;
            return nullptr;
        }
        for (const OpenFile* held : node->openFiles) {
            if (!SharingAllows(*held, access, share)) {
                error = ERROR_SHARING_VIOLATION;
                return nullptr;
            }
        }
        if (disposition == Disposition::CreateAlways) {
            node->data.clear();
            node->lastWritten = Now();
        }
        error = (disposition == Disposition::CreateAlways || disposition == Disposition::OpenAlways)
                    ? ERROR_ALREADY_EXISTS
                    : ERROR_SUCCESS;
    } else {
        if (disposition == Disposition::OpenExisting) {
            error = ERROR_FILE_NOT_FOUND;
            return nullptr;
        }
        node = AddFile(folder, parsed->parts.back());
        error = ERROR_SUCCESS;
    }
    return std::make_unique<OpenFile>(this, node, access, share);
}

std::shared_ptr<FileNode> FileSystem::ParentFolder(std::string_view path, std::string& name,
                                                   DWORD& error) const {
    auto parsed = Parse(path);
    if (!parsed || parsed->parts.empty()) {
        error = ERROR_PATH_NOT_FOUND;
        return nullptr;
    }
    auto folder = Walk(*parsed, parsed->parts.size() - 1, error);
    if (!folder || !folder->IsFolder()) {
        error = ERROR_PATH_NOT_FOUND;
        return nullptr;
    }
    name = parsed->parts.back();
    return folder;
}

std::shared_ptr<FileNode> FileSystem::AddFile(const std::shared_ptr<FileNode>& folder,
                                              const std::string& name) {
    auto node = std::make_shared<FileNode>();
    node->name = name;
    node->created = node->lastWritten = node->lastAccessed = Now();
    folder->children[NameKey(name)] = node;
    return node;
}

bool FileSystem::MakeFolder(std::string_view path, DWORD& error) {
    std::string name;
    auto folder = ParentFolder(path, name, error);
    if (!folder) {
        return false;
    }
    if (folder->children.count(NameKey(name)) != 0) {
        error = ERROR_ALREADY_EXISTS;
        return false;
    }
    auto node = AddFile(folder, name);
    node->attributes = FILE_ATTRIBUTE_DIRECTORY;
    return true;
}

bool FileSystem::Move(std::string_view from, std::string_view to, DWORD& error, bool replace) {
    std::string fromName;
    auto fromFolder = ParentFolder(from, fromName, error);
    if (!fromFolder) {
        return false;
    }
    auto source = fromFolder->children.find(NameKey(fromName));
    if (source == fromFolder->children.end()) {
        error = ERROR_FILE_NOT_FOUND;
        return false;
    }
    std::string toName;
    auto toFolder = ParentFolder(to, toName, error);
    if (!toFolder) {
        return false;
    }
    auto target = toFolder->children.find(NameKey(toName));
    const bool replacing = target != toFolder->children.end();
    if (replacing && !replace) {
        error = ERROR_ALREADY_EXISTS;
        return false;
    }
    if (replacing && (target->second->IsFolder() || target->second == source->second ||
                      (target->second->attributes & FILE_ATTRIBUTE_READONLY))) {
        error = ERROR_ACCESS_DENIED;
        return false;
    }
    auto inUse = [](const FileNode& node) {
        for (const OpenFile* open : node.openFiles) {
            if (!(open->Share() & FILE_SHARE_DELETE)) {
                return true;
            }
        }
        return false;
    };
    if (inUse(*source->second) || (replacing && inUse(*target->second))) {
        error = ERROR_SHARING_VIOLATION;
        return false;
    }
    if (replacing) {
        Detach(*toFolder, target);
    }
    std::shared_ptr<FileNode> node = source->second;
    Detach(*fromFolder, source);
    node->name = toName;
    node->shortName.clear();
    toFolder->children[NameKey(toName)] = node;
    return true;
}

void FileSystem::SetFileTimes(std::string_view path, std::int64_t created,
                              std::int64_t lastWritten) {
    DWORD error = 0;
    auto node = Find(path, error);
    if (!node) {
        throw std::invalid_argument("sim: no such path");
    }
    node->created = created;
    node->lastWritten = lastWritten;
}

bool FileSystem::Remove(std::string_view path, bool folder, DWORD& error) {
    std::string name;
    auto parent = ParentFolder(path, name, error);
    if (!parent) {
        return false;
    }
    auto child = parent->children.find(NameKey(name));
    if (child == parent->children.end()) {
        error = ERROR_FILE_NOT_FOUND;
        return false;
    }
    FileNode& node = *child->second;
    if (node.IsFolder() != folder) {
        error = folder ? ERROR_DIRECTORY : ERROR_ACCESS_DENIED;
        return false;
    }
    if (folder && !node.children.empty()) {
        error = ERROR_DIR_NOT_EMPTY;
        return false;
    }
    if (node.attributes & FILE_ATTRIBUTE_READONLY) {
        error = ERROR_ACCESS_DENIED;
        return false;
    }
    for (const OpenFile* open : node.openFiles) {
        if (!(open->Share() & FILE_SHARE_DELETE)) {
            error = ERROR_SHARING_VIOLATION;
            return false;
        }
    }
    Detach(*parent, child);
    return true;
}

std::optional<std::string> FileSystem::LongPath(std::string_view path, DWORD& error) const {
    auto parsed = Parse(path);
    if (!parsed) {
        error = ERROR_PATH_NOT_FOUND;
        return std::nullopt;
    }
    if (!Walk(*parsed, parsed->parts.size(), error)) {
        error = ERROR_FILE_NOT_FOUND;
        return std::nullopt;
    }
    // Rewrite the given text component by component, replacing aliases by their long names
    // and keeping everything else (separators, trailing backslash, letter case) as given.
    std::string result;
    std::string component;
    std::shared_ptr<FileNode> node = m_drives.at(parsed->drive);
    if (!(HasDrive(path) && path.size() >= 3 && IsSeparatorAt(path, 2))) {
        return std::string(path); // relative names come back as given
    }
    result.append(path.substr(0, 2));
    std::size_t at = 2;
    auto flush = [&] {
        if (component.empty() || component == "." || component == "..") {
            result += component;
        } else if (node && node->IsFolder()) {
            bool byAlias = false;
            node = FindChild(*node, NameKey(component), &byAlias);
            result += node && byAlias ? node->name : component;
        } else {
            result += component;
        }
        component.clear();
    };
    for (; at < path.size(); at += text::CharLength(path, at)) {
        if (IsSeparatorAt(path, at)) {
            flush();
            result += path[at];
        } else {
            component.append(path.substr(at, text::CharLength(path, at)));
        }
    }
    flush();
    return result;
}

} // namespace sim
