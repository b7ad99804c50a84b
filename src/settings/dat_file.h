// The run's private copy of Install.dat: made at the start, read by the later phases and the
// installer runs, deleted at the end.
#pragma once

#include <string>

struct tagLaunchContext;

// Copies Install.dat beside the launcher to a new temporary file and records it in
// `strDatPath`; a read-only original gives a writable copy.
void CopyDatFile(tagLaunchContext& context);
// Deletes the copy, if there is one. Failures are of no consequence to the run.
void DeleteDatFile(const tagLaunchContext& context);
// The "URL" of section "Install" of the copy, or "".
[[nodiscard]] std::string GetInstallDatUrl(const tagLaunchContext& context);
