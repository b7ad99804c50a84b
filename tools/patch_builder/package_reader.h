// Reads an installer package with msi.dll into the builder's model.
#pragma once

#include "database_model.h"

#include <cstdint>
#include <string>

namespace patch_builder {

struct Package {
    Database database;
    std::uint32_t codepage = 0;       // of the database's strings; 0 for neutral
    std::string platformAndLanguages; // summary Template, e.g. "Intel;1041"
};

// Throws std::runtime_error naming the step that failed.
Package ReadPackage(const std::string& path);

// The bytes of a stream of the package's _Streams table.
std::string ReadPackageStream(const std::string& path, const std::string& name);

} // namespace patch_builder
