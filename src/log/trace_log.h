// The launcher's trace log: one text file in the temporary folder that every step writes its
// progress to, each run framed by a start and an end line and indented four blanks a level.
#pragma once

#include "os/win32api.h"

#include <cstdio>
#include <memory>
#include <string>

class CTraceLog {
public:
    CTraceLog() = default;
    ~CTraceLog();
    CTraceLog(const CTraceLog&) = delete;
    CTraceLog& operator=(const CTraceLog&) = delete;

    // Starts a run in the file at `path`: appends to a file of at most 1 MiB (after an empty
    // line), otherwise starts the file afresh. A file that cannot be opened leaves the log
    // closed and every later write is skipped.
    void Open(LPCSTR path, LPCSTR label);
    // Writes the run end line and closes the file.
    void Close();
    // Writes `text` on a line of its own at the current depth and flushes it to disk.
    void WriteLine(LPCSTR text);

    bool IsOpen() const { return m_pFile != nullptr; }
    int GetDepth() const { return m_nDepth; }
    void RaiseDepth() { ++m_nDepth; }
    void LowerDepth() { --m_nDepth; }

private:
    struct FileCloser {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    bool OpenForAppend(LPCSTR path);

    std::unique_ptr<std::FILE, FileCloser> m_pFile;
    std::string m_strLabel;
    int m_nDepth = 0;
};

// The run's trace log while one exists; every writer tests it for null first.
extern CTraceLog* g_pTraceLog;

// Lines written to g_pTraceLog; each does nothing when there is no trace log.
void TraceLine(const std::string& text);
void TraceTime();
void TraceCode(int code);
// "<text>：ErrCode = <n>,ErrMsg = <system text>" for the thread's last error, which it keeps.
void TraceLastError(LPCSTR text);
