// The world a conformance test runs in: the simulated machine, or real Windows calls (under
// Wine in CI). The test sources are the same for both; only this part differs.
#pragma once

#include <string>

namespace conformance {

// "sim", "wine" or "windows".
const char* WorldName();
bool WorldIsWine();

// Creates a fresh, empty folder for one test and returns its path with a trailing "\".
std::string MakeScratchFolder(const char* testName);
// Removes the folder and everything in it.
void RemoveScratchFolder(const std::string& folder);

// Writes `bytes` to a new file (binary, replacing any file of that name).
void WriteBytes(const std::string& path, const std::string& bytes);
// The bytes of a file; "<none>" when it cannot be opened.
std::string ReadBytes(const std::string& path);

// A patch package, Authenticode-signed and then changed, in `folder`; "" when this world has
// none (real Windows is given one in CONFORMANCE_CHANGED_SIGNED_MSP).
std::string ChangedSignedPackage(const std::string& folder);

} // namespace conformance
