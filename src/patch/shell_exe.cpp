#include "patch/shell_exe.h"

#include "run/exit_codes.h"
#include "log/trace_scope.h"
#include "os/scoped_handle.h"
#include "os/path_tests.h"

#include <algorithm>
#include <string>

bool ShellExe(std::string path, const std::string& parameters, ULONG mask, int showMode,
              DWORD& exitCode) {
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

    TraceTime();
    const BOOL started = ShellExecuteExA(&request);
    if (!started || reinterpret_cast<INT_PTR>(request.hInstApp) <= 32) {
        TraceLine("Error ShellExecuteEx");
        TraceCode(static_cast<int>(GetLastError()));
        TraceTime();
        return false;
    }
    if (request.hProcess == nullptr) {
        TraceLine("Process Zero Error");
        TraceTime();
        return false;
    }
    const CKernelHandle process(request.hProcess);
    WaitForSingleObject(process.Get(), INFINITE);
    if (GetExitCodeProcess(process.Get(), &exitCode)) {
        TraceLine("Process ExitCode=" + std::to_string(exitCode));
    } else {
        TraceLastError("GetExitCodeProcess Err");
        exitCode = ExitCodeFailed;
    }
    TraceTime();
    return true;
}
