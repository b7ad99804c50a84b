// The dialog (a message box or the launcher's own dialog) that a process shows: a visible,
// enabled window of class "#32770" that belongs to it.
#pragma once

#include <windows.h>

#include <string>

namespace process_dialog {

struct Search {
    DWORD process;
    HWND found;
};

inline BOOL CALLBACK Match(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<Search*>(parameter);
    char className[64] = {};
    GetClassNameA(window, className, sizeof className);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (std::string(className) == "#32770" && IsWindowVisible(window) && IsWindowEnabled(window) &&
        process == search->process) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

} // namespace process_dialog

// The process's dialog, or null while it shows none.
inline HWND FindProcessDialog(DWORD processId) {
    process_dialog::Search search{processId, nullptr};
    EnumWindows(process_dialog::Match, reinterpret_cast<LPARAM>(&search));
    return search.found;
}
