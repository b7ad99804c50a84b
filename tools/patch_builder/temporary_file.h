// A file in the temporary folder, named by the system and deleted when it goes out of scope:
// msi.dll imports and exports tables only through files in a folder.
#pragma once

#include <windows.h>

#include <stdexcept>
#include <string>

namespace patch_builder {

class TemporaryFile {
public:
    TemporaryFile() {
        char folder[MAX_PATH];
        const DWORD length = GetTempPathA(MAX_PATH, folder);
        char path[MAX_PATH];
        if (length == 0 || length >= MAX_PATH || GetTempFileNameA(folder, "pb", 0, path) == 0) {
            throw std::runtime_error("no temporary file could be made");
        }
        folder_ = folder;
        path_ = path;
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile() { DeleteFileA(path_.c_str()); }

    const std::string& folder() const { return folder_; }
    const std::string& path() const { return path_; }
    std::string name() const { return path_.substr(path_.find_last_of('\\') + 1); }

private:
    std::string folder_;
    std::string path_;
};

} // namespace patch_builder
