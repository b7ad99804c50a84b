#pragma once

#include "os/win32api.h"

#include <string>

// Starts a program through the shell and waits, without a time-out, until it has ended. True
// when it was started, gave a process handle and ended; `exitCode` is then the process's exit
// code (1603 when it cannot be read) and is not touched otherwise.
[[nodiscard]] bool ShellExe(std::string path, const std::string& parameters, ULONG mask,
                            int showMode, DWORD& exitCode);
