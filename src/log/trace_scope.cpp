#include "log/trace_scope.h"

CTraceScope::CTraceScope(LPCSTR name) : m_strName(name), m_pLog(g_pTraceLog) {
    if (m_pLog == nullptr) {
        return;
    }
    if (!m_strName.empty()) {
        m_pLog->WriteLine((m_strName + "-Start").c_str());
    }
    m_pLog->RaiseDepth();
}

CTraceScope::~CTraceScope() {
    if (m_pLog == nullptr) {
        return;
    }
    // The run level (1) is the floor: a scope never pulls lines out to the run's own markers.
    if (m_pLog->GetDepth() > 1) {
        m_pLog->LowerDepth();
    }
    if (!m_strName.empty()) {
        m_pLog->WriteLine((m_strName + "-End").c_str());
    }
}
