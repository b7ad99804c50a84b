#include "msiquery/patch_summary.h"

#include "log/trace_scope.h"
#include "msiquery/package_queries.h"
#include "os/scoped_handle.h"

#include <algorithm>
#include <cstdint>

namespace {

struct SummaryName {
    INT id;
    const char* package;
    const char* patch;
};

// Ids 10 (edit time) and 17 (thumbnail) are never read; the tables differ in 7 and 9 only.
constexpr SummaryName kSummaryNames[] = {
    {1, "Codepage", "Codepage"},
    {2, "Title", "Title"},
    {3, "Subject", "Subject"},
    {4, "Author", "Author"},
    {5, "Keywords", "Keywords"},
    {6, "Comments", "Comments"},
    {7, "Template", "Target"},
    {8, "Last Saved By", "Last Saved By"},
    {9, "Revision Number", "Patch Code"},
    {11, "Last Printed", "Last Printed"},
    {12, "Create Time/Date", "Create Time/Date"},
    {13, "Last Saved Time/Date", "Last Saved Time/Date"},
    {14, "Page Count", "Page Count"},
    {15, "Word Count", "Word Count"},
    {16, "Character Count", "Character Count"},
    {18, "Creating Application", "Creating Application"},
    {19, "Security", "Security"},
};

constexpr UINT kTypeText = 30;
constexpr INT kTitle = 2;
constexpr INT kTemplate = 7; // a patch's target list
constexpr INT kRevisionNumber = 9;
constexpr UINT kTypeFileTime = 64;
constexpr std::size_t kTextBufferSize = 512;

std::string FindSummaryText(const std::vector<tagSummaryValue>& values, INT propertyId) {
    for (const tagSummaryValue& value : values) {
        if (value.nPropertyId == propertyId && value.uDataType == kTypeText) {
            return value.strValue;
        }
    }
    return "";
}

} // namespace

bool GetMspSummaryInformation(std::vector<tagSummaryValue>& values, const std::string& path,
                              bool openAsPatch) {
    CTraceScope scope("GetMspSummaryInformation");
    TraceLine("File:" + path);
    std::vector<tagSummaryValue> read;

    // A package's summary is read straight from the file; a patch is opened as a patch first.
    CMsiHandle database;
    if (openAsPatch &&
        MsiOpenDatabaseA(path.c_str(), PatchReadOnlyMode(), database.Put()) != ERROR_SUCCESS) {
        TraceLastError("MsiOpenDatabase Err");
        return false;
    }
    CMsiHandle summary;
    if (MsiGetSummaryInformationA(database.Get(), openAsPatch ? nullptr : path.c_str(), 0,
                                  summary.Put()) != ERROR_SUCCESS) {
        TraceLastError("MsiGetSummaryInformation Err");
        return false;
    }

    for (const SummaryName& row : kSummaryNames) {
        const char* name = openAsPatch ? row.patch : row.package;
        std::vector<char> text;
        DWORD length = kTextBufferSize - 1; // the first buffer holds this and the NUL
        UINT type = 0;
        INT integer = 0;
        FILETIME fileTime{};
        UINT result = ERROR_MORE_DATA;
        // A patch for many products has a long target list: read it whole. The length reported
        // leaves out the NUL; the buffer at least doubles, whatever a version of msi.dll
        // counts (characters or bytes), so that a few more tries always reach it.
        for (int tries = 0; result == ERROR_MORE_DATA && tries < 5; ++tries) {
            text.assign(std::max<std::size_t>(length + 1, text.size() * 2), '\0');
            length = static_cast<DWORD>(text.size());
            result = MsiSummaryInfoGetPropertyA(summary.Get(), static_cast<UINT>(row.id), &type,
                                                &integer, &fileTime, text.data(), &length);
        }
        if (result != ERROR_SUCCESS) {
            TraceLastError("MsiSummaryInfoGetProperty Err");
            TraceLine(name);
            TraceCode(row.id);
            continue;
        }
        tagSummaryValue value;
        value.strName = name;
        value.nPropertyId = row.id;
        value.uDataType = type;
        if (type == kTypeFileTime) {
            value.llFileTime = static_cast<std::int64_t>(
                (static_cast<std::uint64_t>(fileTime.dwHighDateTime) << 32) |
                fileTime.dwLowDateTime);
        }
        if (type == VT_I2 || type == VT_I4) {
            value.nValue = integer;
        }
        if (type == kTypeText) {
            value.strValue = text.data();
        }
        read.push_back(value);
        TraceLine("MsiSummaryInfoGetProperty OK");
        CTraceScope detail("");
        TraceLine(name);
        TraceCode(row.id);
        if (type == kTypeText) {
            TraceLine(value.strValue);
        }
    }
    if (read.empty()) {
        return false;
    }
    values = std::move(read);
    return true;
}

std::string FindPackageCode(const std::vector<tagSummaryValue>& values) {
    return FindSummaryText(values, kRevisionNumber);
}

bool GetMspTargetID(const std::string& patchPath, std::string* target, std::string* patchCode,
                    std::string* title) {
    CTraceScope scope("GetMspTargetID");
    std::vector<tagSummaryValue> values;
    if (!GetMspSummaryInformation(values, patchPath, true)) {
        return false;
    }
    const std::string foundTitle = FindSummaryText(values, kTitle);
    const std::string foundTarget = FindSummaryText(values, kTemplate);
    const std::string foundCode = FindSummaryText(values, kRevisionNumber);
    if (foundTarget.empty() || foundCode.empty()) {
        return false;
    }
    if (target != nullptr) {
        *target = foundTarget;
    }
    if (patchCode != nullptr) {
        *patchCode = foundCode;
    }
    if (title != nullptr) {
        *title = foundTitle;
    }
    TraceLine("Title     :" + foundTitle);
    TraceLine("MSPGUID   :" + foundCode);
    TraceLine("TargetGUID:" + foundTarget);
    return true;
}
