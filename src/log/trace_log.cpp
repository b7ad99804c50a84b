#include "log/trace_log.h"

#include "text/mbstring.h"
#include "os/date_time_text.h"
#include "os/path_tests.h"

#include <algorithm>

CTraceLog* g_pTraceLog = nullptr;

namespace {

// Runs are appended while the file is at most 1 MiB; the next run starts it afresh.
constexpr DWORD kMaxAppendSize = 0x100000;

std::string CurrentTraceTime() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return FormatDateTime(now);
}

} // namespace

CTraceLog::~CTraceLog() {
    if (IsOpen()) {
        Close();
    }
    if (g_pTraceLog == this) {
        g_pTraceLog = nullptr;
    }
}

bool CTraceLog::OpenForAppend(LPCSTR path) {
    WIN32_FILE_ATTRIBUTE_DATA status{};
    if (!IsExistingFile(path) || !GetFileAttributesExA(path, GetFileExInfoStandard, &status) ||
        status.nFileSizeHigh != 0 || status.nFileSizeLow > kMaxAppendSize) {
        return false;
    }
    // Text mode, every write at the end; others may read the log but not write it.
    m_pFile.reset(_fsopen(path, "at", _SH_DENYWR));
    return IsOpen();
}

void CTraceLog::Open(LPCSTR path, LPCSTR label) {
    if (IsOpen()) {
        Close();
    }
    m_nDepth = 0;
    m_strLabel = label;

    if (OpenForAppend(path)) {
        WriteLine(""); // a blank line between runs
    } else {
        m_pFile.reset(_fsopen(path, "wt", _SH_DENYWR));
    }
    WriteLine((m_strLabel + "-Start " + CurrentTraceTime()).c_str());
    ++m_nDepth;
}

void CTraceLog::Close() {
    --m_nDepth;
    WriteLine((m_strLabel + "-End " + CurrentTraceTime()).c_str());
    m_pFile.reset();
}

void CTraceLog::WriteLine(LPCSTR text) {
    if (!IsOpen()) {
        return;
    }
    std::string line(static_cast<std::size_t>(std::max(m_nDepth, 0)) * 4, ' ');
    line += text;
    line += '\n';
    // One write and a flush per line: the file on disk is complete whenever the launcher stops.
    std::fputs(line.c_str(), m_pFile.get());
    std::fflush(m_pFile.get());
}

void TraceLine(const std::string& text) {
    if (g_pTraceLog != nullptr) {
        g_pTraceLog->WriteLine(text.c_str());
    }
}

void TraceTime() {
    if (g_pTraceLog != nullptr) {
        g_pTraceLog->WriteLine(CurrentTraceTime().c_str());
    }
}

void TraceCode(int code) {
    TraceLine("Code=" + std::to_string(code));
}

void TraceLastError(LPCSTR text) {
    const DWORD error = GetLastError();
    if (g_pTraceLog == nullptr) {
        return;
    }
    LPSTR systemText = nullptr;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
        reinterpret_cast<LPSTR>(&systemText), 0, nullptr);
    // System texts end in CR LF; the line must not.
    const std::string message = text::TrimRightSpace(
        length != 0 && systemText != nullptr ? std::string_view(systemText, length) : "");
    LocalFree(systemText);

    const std::string line = std::string(text) +
                             "：ErrCode = " + std::to_string(static_cast<int>(error)) +
                             ",ErrMsg = " + message;
    g_pTraceLog->WriteLine(line.c_str());
    // Callers may still want the error after tracing it.
    SetLastError(error);
}
