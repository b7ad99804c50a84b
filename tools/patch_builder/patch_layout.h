// Where a patch puts the files it carries: the rows that turn the upgraded package into the
// upgraded package as patched (the patch's second transform).
#pragma once

#include "database_model.h"
#include "table_diff.h"

#include <string>
#include <vector>

namespace patch_builder {

constexpr int kFilePatchAdded = 0x1000; // File.Attributes: the file comes from a patch

// The File keys whose content the upgrade changes: File rows it inserts or changes, and files
// whose hash row changes. In the upgraded package's sequence order.
std::vector<std::string> ChangedFiles(const Transform& upgrade, const Database& upgraded);

// The upgraded database with `files` on a new medium (cabinet stream `cabinet` of the patch,
// source property PATCHMediaSrcProp) after every existing sequence number, marked as added by
// the patch, and a PatchPackage row that ties the patch code to that medium. Throws
// std::runtime_error when the package lacks the File or Media table.
Database PatchedDatabase(const Database& upgraded, const std::vector<std::string>& files,
                         const std::string& patchCode, const std::string& cabinet);

} // namespace patch_builder
