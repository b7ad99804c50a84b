#include "settings/dat_file.h"

#include "settings/install_dat_reader.h"
#include "run/launch_context.h"
#include "log/temp_folder.h"
#include "log/trace_scope.h"
#include "os/path_tests.h"
#include "text/append_backslash.h"

#include <cstring>

namespace {

constexpr DWORD kPathBufferSize = 520;

// A result that does not fit has failed too; the error line then says so.
bool FitsOrFlag(DWORD result) {
    if (result >= kPathBufferSize) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
    }
    return FitsBuffer(result, kPathBufferSize);
}

} // namespace

void CopyDatFile(tagLaunchContext& context) {
    CTraceScope scope("CopyDatFile");
    const std::string source = AppendBackslash(context.strExeDir) + "Install.dat";
    TraceLine("CopyFile1:" + source);
    if (!IsExistingFile(source)) {
        TraceLine("Install.dat Err");
        return;
    }

    char folder[kPathBufferSize] = {};
    if (!FitsOrFlag(GetTempPathA(kPathBufferSize, folder))) {
        TraceLastError("GetTempPath Err");
        return;
    }
    char longFolder[kPathBufferSize] = {};
    if (FitsOrFlag(GetLongPathNameA(folder, longFolder, kPathBufferSize))) {
        std::memcpy(folder, longFolder, sizeof folder);
    } else {
        TraceLastError("GetLongPathName Err");
    }
    char tempFile[kPathBufferSize] = {};
    if (GetTempFileNameA(folder, "tmp", 0, tempFile) == 0) {
        TraceLastError("GetTempFileName Err");
    }
    context.strDatPath = tempFile;

    TraceLine("CopyFrom：" + source);
    TraceLine("CopyTo  ：" + context.strDatPath);
    if (!CopyFileA(source.c_str(), context.strDatPath.c_str(), FALSE)) {
        TraceLastError("CopyFile Err");
    }
    // Media are often read-only, and CopyFile carries that over; the copy must stay writable.
    const DWORD attributes = GetFileAttributesA(context.strDatPath.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
        SetFileAttributesA(context.strDatPath.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    }
}

void DeleteDatFile(const tagLaunchContext& context) {
    if (IsExistingFile(context.strDatPath)) {
        DeleteFileA(context.strDatPath.c_str());
    }
}

std::string GetInstallDatUrl(const tagLaunchContext& context) {
    std::string url;
    if (IsExistingFile(context.strDatPath)) {
        CInstallDatReader(context.strDatPath, "Install").ReadString("URL", "", url);
    }
    return url;
}
