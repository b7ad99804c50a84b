#pragma once

#include "log/trace_log.h"

#include <string>

// Marks an operation in the trace: "<name>-Start" when it begins, "<name>-End" when the scope
// ends, and the lines in between indented one level deeper. An empty name only indents.
class CTraceScope {
public:
    explicit CTraceScope(LPCSTR name);
    ~CTraceScope();
    CTraceScope(const CTraceScope&) = delete;
    CTraceScope& operator=(const CTraceScope&) = delete;

private:
    std::string m_strName;
    CTraceLog* m_pLog;
};
