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
[[nodiscard]] PatchTrust CheckPatchTrust(const tagLaunchContext& context,
                                         const std::string& patchPath, CFileHandle& hold);
