// Whether the chosen patch may run as administrator: a signed Setup.exe applies only patches
// signed by its own publisher, the one the person saw at the elevation prompt. An unsigned
// Setup.exe (a development build) applies patches as they are.
#pragma once

#include <string>

struct tagLaunchContext;

enum class PatchTrust { NotRequired, Trusted, Rejected };

// Checks `patchPath` against the launcher's own signature, traced in the operation
// "CheckSignature": each file's WinVerifyTrust result and signer.
[[nodiscard]] PatchTrust CheckPatchTrust(const tagLaunchContext& context,
                                         const std::string& patchPath);
