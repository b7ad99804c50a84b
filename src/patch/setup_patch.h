#pragma once

#include <string>

class CSetupExeApp;

// Applies one patch package: backs the program files up, then runs msiexec.exe from the
// system folder with the reinstall command line and waits for it. Reports nothing: what the
// installer did is in its own log.
void SetupPatch(CSetupExeApp& app, const std::string& patchPath);

// The system folder joined with `fileName` by one backslash; "" without a system folder.
std::string GetSystemFolderPath(const std::string& fileName);
