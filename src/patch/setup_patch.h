#pragma once

#include <string>

class CSetupExeApp;

// Applies one patch package: backs the program files up, runs msiexec.exe from the system
// folder with the reinstall command line, waits for it, and puts files back that the run left
// missing. The installer's exit code, or 1603 when it could not be started; the details are in
// its own log.
int SetupPatch(CSetupExeApp& app, const std::string& patchPath);
