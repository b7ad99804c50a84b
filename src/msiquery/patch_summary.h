// Summary information of packages and patches, and what a patch says it targets.
#pragma once

#include "os/win32api.h"

#include <cstdint>
#include <string>
#include <vector>

// One summary-information property as read.
struct tagSummaryValue {
    std::string strName;         // display name from the names table
    INT nPropertyId = 0;         // summary-information property id
    UINT uDataType = 0;          // 30 text, 2 and 3 integers, 64 file time, 0 empty
    std::int64_t llFileTime = 0; // when the type is 64
    INT nValue = 0;              // when the type is an integer
    std::string strValue;        // when the type is 30
};

// Reads every property of the names table into `values` (replacing what it held): a package's
// table (`openAsPatch` false, read straight from the file) or a patch's (opened as a patch). True
// when at least one property was read; `values` is not touched otherwise.
[[nodiscard]] bool GetMspSummaryInformation(std::vector<tagSummaryValue>& values,
                                            const std::string& path, bool openAsPatch);

// The package code of a product package: the text of its revision number (property 9); "" when
// the summary holds none.
[[nodiscard]] std::string FindPackageCode(const std::vector<tagSummaryValue>& values);

// The patch's target product codes (";"-separated, as stored), patch code and title, each
// written where given; true only when target and patch code are both there.
[[nodiscard]] bool GetMspTargetID(const std::string& patchPath, std::string* target,
                                  std::string* patchCode, std::string* title);
