// The signatures on the media, Setup.exe's and every patch's, judged by the launcher's own rule:
// a validly signed Setup.exe applies only patches that its own publisher signed.
#pragma once

#include "media_report.h"

#include <string>

struct tagLaunchContext;

// Needs the patches (CheckPatchFolder) and the launcher's path in `context`. Every patch that a
// signed Setup.exe would refuse is an error, listed or not, as every other fault of a patch is.
void CheckTrust(const tagLaunchContext& context, tagMediaReport& report);

// A signature at all, good or bad.
bool IsSigned(const tagSignature& signature);

// Why the signature is not valid: "unsigned", "WinVerifyTrust 0x80096010", "chain policy
// 0x800B0109", ...; "" when it is valid.
std::string GetSignatureFault(const tagSignature& signature);
