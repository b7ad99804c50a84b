// An installer handle closed when it goes out of scope.
#pragma once

#include <windows.h>
#include <msi.h>
#include <msiquery.h>

#include <stdexcept>
#include <string>

namespace patch_builder {

class MsiHandle {
public:
    MsiHandle() = default;
    explicit MsiHandle(MSIHANDLE handle) : handle_(handle) {}
    MsiHandle(const MsiHandle&) = delete;
    MsiHandle& operator=(const MsiHandle&) = delete;
    ~MsiHandle() { Reset(); }

    MSIHANDLE get() const { return handle_; }
    MSIHANDLE* receive() {
        Reset();
        return &handle_;
    }
    void Reset() {
        if (handle_ != 0) {
            MsiCloseHandle(handle_);
            handle_ = 0;
        }
    }

private:
    MSIHANDLE handle_ = 0;
};

inline void Require(UINT result, const std::string& step) {
    if (result != ERROR_SUCCESS) {
        throw std::runtime_error(step + " failed (error " + std::to_string(result) + ")");
    }
}

// A view on `query`, executed.
inline void OpenView(MSIHANDLE database, const std::string& query, MsiHandle& view,
                     MSIHANDLE parameters = 0) {
    Require(MsiDatabaseOpenViewA(database, query.c_str(), view.receive()), "query " + query);
    Require(MsiViewExecute(view.get(), parameters), "query " + query);
}

} // namespace patch_builder
