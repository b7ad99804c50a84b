// The simulated machine's file system, with the Windows rules the launcher meets: drive letters,
// "\" (and "/") separators that are never the second byte of a double-byte character,
// case-insensitive names, 8.3 aliases, attributes, times, and sharing modes between open files.
#pragma once

#include "os/sim/clock.h"
#include "os/sim/sim_api.h"

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

class OpenFile;

// An Authenticode signature a file carries, as WinVerifyTrust judges it.
struct Signature {
    std::u16string subject;    // the signer certificate's subject, as CertGetNameStringW gives it
    bool digestMatches = true; // false: the file changed after it was signed
    bool rootTrusted = true;   // false: the chain ends in a root the machine does not trust
};

struct FileNode {
    std::string name;      // as created, in its own letter case
    std::string shortName; // 8.3 alias, empty when the name is its own alias
    DWORD attributes = FILE_ATTRIBUTE_ARCHIVE;
    std::string data;
    std::int64_t created = 0;
    std::int64_t lastWritten = 0;
    std::int64_t lastAccessed = 0;
    // Keyed by the upper-case name, so enumeration follows NTFS's upper-cased ordinal order.
    std::map<std::string, std::shared_ptr<FileNode>> children;
    // The children's 8.3 aliases (upper case) and the key of the child each stands for: a
    // name that is not there is known to be missing without a look at every child.
    std::map<std::string, std::string> aliases;
    std::vector<OpenFile*> openFiles;
    // The file version of its version resource, when it has one.
    std::optional<std::array<WORD, 4>> version;
    std::optional<Signature> signature;

    bool IsFolder() const { return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }
};

enum class Disposition { CreateNew, CreateAlways, OpenExisting, OpenAlways };

class FileSystem;

// One open of a file, by the launcher or by another process of the machine. Closing is
// destruction; sharing checks see every OpenFile that is alive.
class OpenFile {
public:
    OpenFile(FileSystem* files, std::shared_ptr<FileNode> node, DWORD access, DWORD share);
    ~OpenFile();
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;

    DWORD Access() const { return m_access; }
    DWORD Share() const { return m_share; }
    const FileNode& Node() const { return *m_node; }
    void Append(std::string_view bytes);

private:
    friend class FileSystem;
    FileSystem* m_files;
    std::shared_ptr<FileNode> m_node;
    DWORD m_access;
    DWORD m_share;
};

class FileSystem {
public:
    explicit FileSystem(const Clock& clock);
    ~FileSystem();
    FileSystem(const FileSystem&) = delete;
    FileSystem& operator=(const FileSystem&) = delete;

    // Setting the machine up (paths must be absolute; missing parent folders are created).
    void CreateFolder(std::string_view path);
    void WriteFile(std::string_view path, std::string_view bytes,
                   DWORD attributes = FILE_ATTRIBUTE_ARCHIVE);
    void SetAttributes(std::string_view path, DWORD attributes);
    void SetShortName(std::string_view path, std::string_view shortName);
    // Sets a file's creation and last-write times (universal time, file-time units).
    void SetFileTimes(std::string_view path, std::int64_t created, std::int64_t lastWritten);
    // Gives a file (created empty if missing) a version resource with this file version.
    void SetFileVersion(std::string_view path, WORD major, WORD minor, WORD build, WORD revision);
    // Signs an existing file (nullopt removes its signature).
    void SetSignature(std::string_view path, std::optional<Signature> signature);
    // Opens a file as another process would, for as long as the result lives.
    std::shared_ptr<OpenFile> HoldOpen(std::string_view path, DWORD access, DWORD share);

    // Inspecting it.
    bool Exists(std::string_view path) const;
    std::optional<std::string> ReadFile(std::string_view path) const;
    const FileNode* Lookup(std::string_view path) const;

    void SetCurrentFolder(std::string path) { m_currentFolder = std::move(path); }
    const std::string& CurrentFolder() const { return m_currentFolder; }

    // For the simulated calls: the Win32 error code comes back through `error`.
    std::shared_ptr<FileNode> Find(std::string_view path, DWORD& error) const;
    std::unique_ptr<OpenFile> Open(std::string_view path, DWORD access, DWORD share,
                                   Disposition disposition, DWORD& error);
    // The long form of a path whose components may be 8.3 aliases; empty with `error` set when
    // a component does not exist.
    std::optional<std::string> LongPath(std::string_view path, DWORD& error) const;

    // A new empty folder in an existing one.
    bool MakeFolder(std::string_view path, DWORD& error);
    // Gives a file or folder a new path (any folder of the same drive); the target must not
    // exist, unless `replace` allows an existing file there (not a folder, not read-only, not
    // open without delete sharing) to be replaced.
    bool Move(std::string_view from, std::string_view to, DWORD& error, bool replace = false);
    // Removes a file (folder = false) or an empty folder (folder = true).
    bool Remove(std::string_view path, bool folder, DWORD& error);
    // The folder a path names and the name within it; null when the folder does not exist.
    std::shared_ptr<FileNode> ParentFolder(std::string_view path, std::string& name,
                                           DWORD& error) const;
    // Adds a file node to a folder (the caller made sure the name is free).
    std::shared_ptr<FileNode> AddFile(const std::shared_ptr<FileNode>& folder,
                                      const std::string& name);

    std::int64_t Now() const { return m_clock.UniversalTicks(); }

private:
    friend class OpenFile;
    struct Parsed {
        std::string drive; // "C:"
        std::vector<std::string> parts;
    };
    std::optional<Parsed> Parse(std::string_view path) const;
    std::shared_ptr<FileNode> Walk(const Parsed& parsed, std::size_t count, DWORD& error) const;
    std::shared_ptr<FileNode> MakeFolders(const Parsed& parsed, std::size_t count);

    const Clock& m_clock;
    std::map<std::string, std::shared_ptr<FileNode>> m_drives;
    std::string m_currentFolder = "C:\\";
    std::vector<OpenFile*> m_openFiles;
};

// The key under which a name is stored in its folder (upper case, double-byte aware).
std::string NameKey(std::string_view name);

} // namespace sim
