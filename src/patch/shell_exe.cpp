#include "patch/shell_exe.h"

#include "log/trace_scope.h"
#include "os/path_tests.h"

#include <algorithm>

bool ShellExe(std::string path, const std::string& parameters, ULONG mask, int showMode) {
    CTraceScope scope("ShellExe");
    TraceLine("EXE Path：" + path);
    TraceLine("CmdLine ：" + parameters);
    TraceCode(showMode);
    TraceCode(static_cast<int>(mask));

    path.erase(std::remove(path.begin(), path.end(), '"'), path.end());
    if (!IsExistingFile(path)) {
        TraceLine("Error File Not Found");
        return false;
    }
    const std::string quoted = "\"" + path + "\"";
    SHELLEXECUTEINFOA request{};
    request.cbSize = sizeof request;
    request.fMask = mask;
    request.lpFile = quoted.c_str();
    request.lpParameters = parameters.empty() ? nullptr : parameters.c_str();
    request.nShow = showMode;

    if (g_pTraceLog != nullptr) {
        TraceTime();
    }
    const BOOL started = ShellExecuteExA(&request);
    if (!started || reinterpret_cast<INT_PTR>(request.hInstApp) <= 32) {
        if (g_pTraceLog != nullptr) {
            TraceLine("Error ShellExecuteEx");
            TraceCode(static_cast<int>(GetLastError()));
            TraceTime();
        }
        return false;
    }
    if (request.hProcess == nullptr) {
        TraceLine("Process Zero Error");
        TraceTime();
        return false;
    }
    WaitForSingleObject(request.hProcess, INFINITE);
    CloseHandle(request.hProcess);
    TraceTime();
    return true;
}
