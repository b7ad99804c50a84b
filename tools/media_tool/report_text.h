// The check's report as a table for people and as JSON for a release pipeline.
#pragma once

#include "media_report.h"

#include <string>
#include <vector>

// Cells padded to their column's widest (code page 932 bytes are screen columns), two blanks
// between columns, each line led by `indent`; the last cell of a row is not padded.
std::string FormatColumns(const std::vector<std::vector<std::string>>& rows,
                          const std::string& indent);

// Code page 932 text; the findings last, then their count.
std::string FormatReportTable(const tagMediaReport& report);

// ASCII JSON (see json_text.h).
std::string FormatReportJson(const tagMediaReport& report);
