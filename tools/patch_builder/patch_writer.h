// Writes a patch package: the patch database (metadata, summary) with msi.dll, then the two
// transforms and the cabinet into its compound file with ole32.
#pragma once

#include "summary_stream.h"
#include "table_diff.h"

#include <cstdint>
#include <string>
#include <vector>

namespace patch_builder {

struct PatchContent {
    std::string title;
    std::string subject;
    std::string author;
    std::string targets;      // product codes, ';'-separated
    std::string patchCode;    // braced
    std::string buildVersion; // MsiPatchMetadata DBuildVersion
    std::string family;       // MsiPatchSequence PatchFamily
    std::string productCode;  // MsiPatchSequence ProductCode

    std::uint32_t codepage = 0; // of the transforms' strings
    Transform upgrade;          // target package -> upgraded package ("T")
    std::vector<SummaryProperty> upgradeSummary;
    Transform layout; // upgraded package -> as patched ("#T")
    std::vector<SummaryProperty> layoutSummary;

    std::string cabinetName; // stream name; empty when the patch carries no files
    std::string cabinet;
};

// Throws std::runtime_error naming the step that failed; a partly written file is removed.
void WritePatch(const std::string& path, const PatchContent& content);

} // namespace patch_builder
