// Whether the chosen patch may run as administrator: a signed Setup.exe applies only patches
// signed by its own publisher, the one the person saw at the elevation prompt. An unsigned
// Setup.exe (a development build) applies patches as they are.
#pragma once

#include "os/scoped_handle.h"

#include <string>

struct tagLaunchContext;

enum class PatchTrust { NotRequired, Trusted, Rejected };

// Checks `patchPath` against the launcher's own signature, traced in the operation
// "CheckSignature": each file's WinVerifyTrust result and signer. When the check is required,
// the patch is first opened into `hold` with only reading shared: whoever can write to the
// media can then neither change, replace, rename nor delete it until `hold` is closed, so the
// caller keeps it until the installer has ended and installs the bytes that were checked. A
// patch that cannot be held so (another has it open for writing) is rejected.
// Opens the launcher's own file with only reading shared, for the run to keep: the publisher
// whose signature the patch check compares is then the one shown at the UAC prompt, however
// long a box waits before the check. Traced when it fails.
[[nodiscard]] CFileHandle HoldLauncherFile(const std::string& exePath);

// A signed launcher that could not hold its own file rejects every patch.
[[nodiscard]] PatchTrust CheckPatchTrust(const tagLaunchContext& context,
                                         const std::string& patchPath, CFileHandle& hold);
