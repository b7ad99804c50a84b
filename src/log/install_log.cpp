#include "log/install_log.h"

#include "log/temp_folder.h"
#include "log/trace_log.h"
#include "os/folder_search.h"
#include "text/append_backslash.h"
#include "text/mbstring.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {
constexpr char kProductWord[] = "QernoE";
constexpr std::size_t kLogsKept = 5;
} // namespace

std::string GetInstallLogName(int nSilentMode, const std::string& strLogFileName,
                              const std::optional<std::string>& rejected) {
    // Unattended mode (2) is silent mode too.
    if (nSilentMode != 0) {
        if (rejected) {
            TraceLine("LOGFILENAME Err：" + *rejected);
        }
        return strLogFileName.empty() ? kFallbackInstallLog : strLogFileName;
    }
    const std::string folder = GetTempFolderLongForm();
    if (folder.empty()) {
        return kFallbackInstallLog;
    }
    SYSTEMTIME now{};
    GetLocalTime(&now);
    char stamp[64];
    std::snprintf(stamp, sizeof stamp, "%04d_%02d%02d_%02d%02d%02d", now.wYear, now.wMonth,
                  now.wDay, now.wHour, now.wMinute, now.wSecond);
    return AppendBackslash(folder) + "Install_" + kProductWord + "_" + stamp + ".log";
}

void DeleteOldInstallLogs(const char* productWord) {
    const std::string folder = GetTempFolderLongForm();
    if (folder.empty()) {
        return;
    }
    const std::string pattern = folder + "Install_" + productWord + "_*.log";
    std::vector<std::string> logs;
    ForEachFile(pattern, [&](const WIN32_FIND_DATAA& found) {
        logs.push_back(folder + found.cFileName);
        return true;
    });

    if (logs.size() <= kLogsKept) {
        return;
    }
    std::sort(logs.begin(), logs.end(), [](const std::string& left, const std::string& right) {
        return text::CompareMb(left, right) < 0;
    });
    for (std::size_t index = 0; index < logs.size() - kLogsKept; ++index) {
        DeleteFileA(logs[index].c_str());
    }
}
