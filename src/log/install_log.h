// Names of the installer's verbose logs, and the clean-up that keeps the five newest.
#pragma once

#include <optional>
#include <string>

// The fixed path used when no other can be had (silent mode without a name, or no temporary
// folder).
constexpr char kFallbackInstallLog[] = "C:\\NimbraInstallLog.log";

// Silent mode: the name given on the command line, or the fixed path (a rejected name is traced
// as "LOGFILENAME Err：<value>"). Otherwise
// "<temporary folder>\Install_QernoE_YYYY_MMDD_hhmmss.log" at the current local time.
[[nodiscard]] std::string
GetInstallLogName(int nSilentMode, const std::string& strLogFileName,
                  const std::optional<std::string>& rejected = std::nullopt);

// Deletes all but the five newest "Install_<productWord>_*.log" files of the temporary folder
// (the names sort in time order). Folders and failures are passed over.
void DeleteOldInstallLogs(const char* productWord);
