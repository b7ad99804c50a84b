#include "app/dat_file.h"

#include "app/install_dat_reader.h"
#include "app/setup_exe_app.h"
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

void CopyDatFile(CSetupExeApp& app) {
    CTraceScope scope("CopyDatFile");
    const std::string source = AppendBackslash(app.m_strExeDir) + "Install.dat";
    TraceLine(("CopyFile1:" + source).c_str());
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
    app.m_strDatPath = tempFile;

    TraceLine(("CopyFrom：" + source).c_str());
    TraceLine(("CopyTo  ：" + app.m_strDatPath).c_str());
    if (!CopyFileA(source.c_str(), app.m_strDatPath.c_str(), FALSE)) {
        TraceLastError("CopyFile Err");
    }
    // Media are often read-only, and CopyFile carries that over; the copy must stay writable.
    const DWORD attributes = GetFileAttributesA(app.m_strDatPath.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
        SetFileAttributesA(app.m_strDatPath.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    }
}

void DeleteDatFile(CSetupExeApp& app) {
    if (IsExistingFile(app.m_strDatPath)) {
        DeleteFileA(app.m_strDatPath.c_str());
    }
}

std::string GetInstallDatUrl(const CSetupExeApp& app) {
    if (!IsExistingFile(app.m_strDatPath)) {
        return "";
    }
    std::string url;
    CInstallDatReader(app.m_strDatPath, "Install").ReadString("URL", "", url);
    return url;
}
