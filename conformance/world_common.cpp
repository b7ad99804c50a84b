// The scratch-folder and file helpers, written against the door so that they work the same in
// both worlds.
#include "world.h"

#include "os/scoped_handle.h"

#include <cstdio>
#include <stdexcept>

namespace conformance {

std::string MakeScratchFolder(const char* testName) {
    char temp[MAX_PATH] = {};
    const DWORD length = GetTempPathA(MAX_PATH, temp);
    if (length == 0 || length >= MAX_PATH) {
        throw std::runtime_error("no temporary folder");
    }
    std::string root = std::string(temp) + "setup-conformance";
    CreateDirectoryA(root.c_str(), nullptr);
    const std::string folder = root + "\\" + testName;
    RemoveScratchFolder(folder + "\\");
    if (!CreateDirectoryA(folder.c_str(), nullptr)) {
        throw std::runtime_error("cannot create " + folder);
    }
    return folder + "\\";
}

void RemoveScratchFolder(const std::string& folder) {
    WIN32_FIND_DATAA found{};
    {
        CFindHandle find(FindFirstFileA((folder + "*").c_str(), &found));
        if (find.IsValid()) {
            do {
                const std::string name = found.cFileName;
                if (name == "." || name == "..") {
                    continue;
                }
                const std::string path = folder + name;
                SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                    RemoveScratchFolder(path + "\\");
                } else {
                    DeleteFileA(path.c_str());
                }
            } while (FindNextFileA(find.Get(), &found));
        }
    }
    RemoveDirectoryA(folder.substr(0, folder.size() - 1).c_str());
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::FILE* file = _fsopen(path.c_str(), "wb", _SH_DENYNO);
    if (file == nullptr) {
        throw std::runtime_error("cannot write " + path);
    }
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
}

std::string ReadBytes(const std::string& path) {
    std::FILE* file = _fsopen(path.c_str(), "rb", _SH_DENYNO);
    if (file == nullptr) {
        return "<none>";
    }
    std::string bytes;
    char buffer[4096];
    for (std::size_t read; (read = std::fread(buffer, 1, sizeof buffer, file)) > 0;) {
        bytes.append(buffer, read);
    }
    std::fclose(file);
    return bytes;
}

} // namespace conformance
