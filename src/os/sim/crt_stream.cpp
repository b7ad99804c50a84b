// The Microsoft C runtime's _fsopen over the simulated file system. The stream is a glibc
// FILE* made with fopencookie, so the caller uses the standard fputs, fflush and fclose; the
// cookie does what the Microsoft runtime's low-level I/O does: the sharing checks of the open,
// append at the end, and in text mode "\n" written as "\r\n" (and read back as "\n").
#include "os/sim/machine.h"
#include "os/sim/sim_api.h"

#include <cerrno>
#include <cstring>
#include <memory>
#include <string_view>

namespace {

struct StreamCookie {
    std::unique_ptr<sim::OpenFile> file;
    bool textMode = true;
    std::size_t readOffset = 0;
};

ssize_t CookieWrite(void* cookie, const char* buffer, size_t size) {
    auto* stream = static_cast<StreamCookie*>(cookie);
    if (!(stream->file->Access() & GENERIC_WRITE)) {
        errno = EBADF;
        return -1;
    }
    if (!sim::Machine::Current().ChangeState("write " + stream->file->Node().name)) {
        errno = EIO;
        return -1;
    }
    std::string_view bytes(buffer, size);
    if (!stream->textMode) {
        stream->file->Append(bytes);
        return static_cast<ssize_t>(size);
    }
    std::string translated;
    translated.reserve(size + size / 8);
    for (char ch : bytes) {
        if (ch == '\n') {
            translated += '\r';
        }
        translated += ch;
    }
    stream->file->Append(translated);
    return static_cast<ssize_t>(size);
}

ssize_t CookieRead(void* cookie, char* buffer, size_t size) {
    auto* stream = static_cast<StreamCookie*>(cookie);
    if (!(stream->file->Access() & GENERIC_READ)) {
        errno = EBADF;
        return -1;
    }
    const std::string& data = stream->file->Node().data;
    size_t copied = 0;
    while (copied < size && stream->readOffset < data.size()) {
        char ch = data[stream->readOffset++];
        if (stream->textMode && ch == '\r' && stream->readOffset < data.size() &&
            data[stream->readOffset] == '\n') {
            continue;
        }
        buffer[copied++] = ch;
    }
    return static_cast<ssize_t>(copied);
}

int CookieClose(void* cookie) {
    delete static_cast<StreamCookie*>(cookie);
    return 0;
}

int ErrnoFor(DWORD error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
        return EACCES;
    default:
        return EINVAL;
    }
}

} // namespace

std::FILE* _fsopen(const char* filename, const char* mode, int shflag) {
    if (filename == nullptr || mode == nullptr) {
        errno = EINVAL;
        return nullptr;
    }
    DWORD access = 0;
    sim::Disposition disposition{};
    const char* glibcMode = nullptr;
    switch (mode[0]) {
    case 'r':
        access = GENERIC_READ;
        disposition = sim::Disposition::OpenExisting;
        glibcMode = "r";
        break;
    case 'w':
        access = GENERIC_WRITE;
        disposition = sim::Disposition::CreateAlways;
        glibcMode = "w";
        break;
    case 'a':
        access = GENERIC_WRITE;
        disposition = sim::Disposition::OpenAlways;
        glibcMode = "a";
        break;
    default:
        errno = EINVAL;
        return nullptr;
    }
    bool textMode = true;
    for (const char* flag = mode + 1; *flag != '\0'; ++flag) {
        if (*flag == 'b') {
            textMode = false;
        } else if (*flag != 't') {
            errno = EINVAL; // "+" (update) streams are not simulated
            return nullptr;
        }
    }
    DWORD share = 0;
    switch (shflag) {
    case _SH_DENYRW:
        share = 0;
        break;
    case _SH_DENYWR:
        share = FILE_SHARE_READ;
        break;
    case _SH_DENYRD:
        share = FILE_SHARE_WRITE;
        break;
    case _SH_DENYNO:
        share = FILE_SHARE_READ | FILE_SHARE_WRITE;
        break;
    default:
        errno = EINVAL;
        return nullptr;
    }

    if (access == GENERIC_WRITE &&
        !sim::Machine::Current().ChangeState(std::string("open for writing ") + filename)) {
        errno = EIO;
        return nullptr;
    }
    DWORD error = 0;
    auto file = sim::Machine::Current().Files().Open(filename, access, share, disposition, error);
    SetLastError(error);
    if (!file) {
        errno = ErrnoFor(error);
        return nullptr;
    }
    auto* cookie = new StreamCookie{std::move(file), textMode, 0};
    cookie_io_functions_t functions{CookieRead, CookieWrite, nullptr, CookieClose};
    std::FILE* stream = fopencookie(cookie, glibcMode, functions);
    if (stream == nullptr) {
        delete cookie;
    }
    return stream;
}
