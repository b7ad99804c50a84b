// The run's private copy of Install.dat: made at the start, read by the later phases and the
// installer runs, deleted at the end.
#pragma once

#include <string>

class CSetupExeApp;

// Copies Install.dat beside the launcher to a new temporary file and records it in
// m_strDatPath; a read-only original gives a writable copy.
void CopyDatFile(CSetupExeApp& app);
// Deletes the copy, if there is one. Failures are of no consequence to the run.
void DeleteDatFile(CSetupExeApp& app);
// The "URL" of section "Install" of the copy, or "".
std::string GetInstallDatUrl(const CSetupExeApp& app);
