// The phases of a launch, in the order InitInstance runs them.
#pragma once

class CSetupExeApp;

// Copies Install.dat beside the launcher to a temporary file and records it in m_strDatPath.
void CopyDatFile(CSetupExeApp& app);
// Checks the Windows Installer engine files; true when the update must stop.
bool CheckInstallerEngine(CSetupExeApp& app);
// Chooses, announces and applies the one patch the settings name for the installed product.
void InstMSP(CSetupExeApp& app);
// Deletes all but the newest installer logs of the product.
void DeleteOldInstallLogs(const char* productWord);
// Deletes the temporary copy of Install.dat.
void DeleteDatFile(CSetupExeApp& app);
