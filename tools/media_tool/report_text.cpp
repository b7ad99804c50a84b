#include "report_text.h"

#include "json_text.h"
#include "media_paths.h"
#include "trust_check.h"

#include "run/exit_codes.h"
#include "text/mbstring.h"

#include <algorithm>

namespace {

constexpr char kNone[] = "-";

std::string OrNone(const std::string& text) {
    return text.empty() ? kNone : text;
}

std::string YesNo(const std::optional<bool>& value) {
    return value ? (*value ? "yes" : "no") : kNone;
}

std::string ExitText(const tagPackageRow& row) {
    return row.IsExitCodeFromInstaller() ? "msiexec's" : std::to_string(row.nExitCode);
}

std::string CountText(int count, const char* word) {
    return std::to_string(count) + " " + word + (count == 1 ? "" : "s");
}

std::string FormatSettings(const tagMediaReport& report) {
    if (!report.bSettingsRead) {
        return "Install.dat  (not read)\n";
    }
    std::string out = "Install.dat  URL " + report.strUrl.value_or(kNone) + "\n";
    std::vector<std::vector<std::string>> lines;
    for (const tagSettingsEntry& entry : report.aEntries) {
        lines.push_back({entry.strSection, entry.strPatchName, entry.strPackageCode});
    }
    return out + FormatColumns(lines, "  ");
}

std::string FormatPatches(const tagMediaReport& report) {
    std::vector<std::vector<std::string>> lines;
    for (const tagPatchFile& patch : report.aPatches) {
        if (!patch.bReadable) {
            lines.push_back({patch.strName, "(not a readable patch package)"});
            continue;
        }
        lines.push_back({patch.strName, "\"" + patch.strTitle + "\"", OrNone(patch.strBuildVersion),
                         patch.strTarget, patch.bListed ? "listed" : "unlisted"});
    }
    std::string out =
        "MSP\\  (in the order the launcher's search finds them)\n" + FormatColumns(lines, "  ");
    if (report.probe.nTraceCode != 0) {
        const std::string probe =
            report.probe.strPath.empty()
                ? "none"
                : "MSP\\" + GetFileName(report.probe.strPath) + ", unreadable";
        return out + "Probe package: " + probe + " (trace code " +
               std::to_string(report.probe.nTraceCode) + ")\n";
    }
    return out + "Probe package: MSP\\" + GetFileName(report.probe.strPath) + ", caption \"" +
           report.probe.strCaption + "\"\n";
}

std::vector<std::string> SignatureCells(const std::string& file, const tagSignature& signature) {
    const std::string fault = GetSignatureFault(signature);
    return {file, IsSigned(signature) ? "signed" : "unsigned",
            fault.empty() ? "valid" : (IsSigned(signature) ? "invalid: " + fault : kNone),
            OrNone(signature.strSubject)};
}

std::string DescribePatchCheck(const std::optional<tagSignature>& setup) {
    if (!setup) {
        return "not known, no Setup.exe";
    }
    if (setup->IsValid()) {
        return "Setup.exe applies only patches signed by " + setup->strSubject;
    }
    return IsSigned(*setup) ? "none, Setup.exe's signature is not valid: it applies any patch"
                            : "none, Setup.exe is unsigned (a development build): it applies any "
                              "patch";
}

std::string FormatSignatures(const tagMediaReport& report) {
    std::vector<std::vector<std::string>> lines;
    lines.push_back(report.setupSignature ? SignatureCells("Setup.exe", *report.setupSignature)
                                          : std::vector<std::string>{"Setup.exe", "(missing)"});
    for (const tagPatchFile& patch : report.aPatches) {
        lines.push_back(SignatureCells("MSP\\" + patch.strName, patch.signature));
    }
    return "Signatures  (valid: intact, and by a publisher this machine's roots trust)\n" +
           FormatColumns(lines, "  ") +
           "Patch check: " + DescribePatchCheck(report.setupSignature) + "\n";
}

std::string FormatRows(const tagMediaReport& report) {
    std::vector<std::vector<std::string>> lines = {
        {"PACKAGE", "EDITION", "SECTION", "PATCH", "TARGETS", "MODE", "BOX", "TRACE", "EXIT"}};
    for (const tagPackageRow& row : report.aRows) {
        lines.push_back(
            {GetFileName(row.strPackage), OrNone(row.strEdition), OrNone(row.strSection),
             OrNone(row.strPatchName), YesNo(row.bTargetsProduct),
             row.nInstMode ? std::to_string(*row.nInstMode) : kNone, GetUpdateBoxName(row.nBox),
             std::to_string(row.nTraceCode), ExitText(row)});
    }
    return FormatColumns(lines, "");
}

std::string SignatureJson(const tagSignature& signature) {
    const auto code = [](unsigned long value) { return JsonString(FormatResultCode(value)); };
    return JsonObject({
        {"signed", IsSigned(signature) ? "true" : "false"},
        {"valid", signature.IsValid() ? "true" : "false"},
        {"trustResult", code(static_cast<DWORD>(signature.lTrustResult))},
        {"chainError", signature.bChainChecked ? code(signature.dwChainError) : "null"},
        {"subject", JsonString(signature.strSubject)},
    });
}

std::string PackageJson(const tagPackageRow& row) {
    return JsonObject({
        {"package", JsonString(row.strPackage)},
        {"productCode", JsonString(row.strProductCode)},
        {"packageCode", JsonString(row.strPackageCode)},
        {"edition", JsonString(row.strEdition)},
        {"section", JsonString(row.strSection)},
        {"patch", JsonString(row.strPatchName)},
        {"targetsProduct",
         row.bTargetsProduct ? (*row.bTargetsProduct ? "true" : "false") : "null"},
        {"mode", row.nInstMode ? std::to_string(*row.nInstMode) : "null"},
        {"traceCode", std::to_string(row.nTraceCode)},
        {"box", JsonString(GetUpdateBoxName(row.nBox))},
        {"caption", JsonString(row.strCaption)},
        {"text", JsonString(row.strText)},
        {"exitCode",
         std::to_string(row.IsExitCodeFromInstaller() ? ExitCodeSuccess : row.nExitCode)},
        {"exitCodeFromInstaller", row.IsExitCodeFromInstaller() ? "true" : "false"},
    });
}

} // namespace

const char* GetUpdateBoxName(UpdateBox box) {
    switch (box) {
    case UpdateBoxLaunchFailure:
        return "launch-failure";
    case UpdateBoxNoTarget:
        return "no-target";
    case UpdateBoxAlreadyApplied:
        return "already-applied";
    case UpdateBoxSetup:
        return "setup";
    }
    return "";
}

std::string FormatColumns(const std::vector<std::vector<std::string>>& rows,
                          const std::string& indent) {
    std::vector<std::size_t> widths;
    for (const auto& row : rows) {
        widths.resize(std::max(widths.size(), row.size()));
        // A row's last cell is not padded, so it does not widen its column.
        for (std::size_t column = 0; column + 1 < row.size(); ++column) {
            widths[column] = std::max(widths[column], row[column].size());
        }
    }
    std::string out;
    for (const auto& row : rows) {
        std::string line = indent;
        for (std::size_t column = 0; column < row.size(); ++column) {
            line += row[column];
            if (column + 1 < row.size()) {
                line += std::string(widths[column] - row[column].size() + 2, ' ');
            }
        }
        out += line + "\n";
    }
    return out;
}

std::string FormatReportTable(const tagMediaReport& report) {
    std::string out = "Media " + report.strMedia + "\n" + FormatSettings(report) +
                      FormatPatches(report) + FormatSignatures(report);
    if (!report.aRows.empty()) {
        out += "\n";
        out += FormatRows(report);
    }
    out += "\n";
    for (const tagMediaFinding& finding : report.aFindings) {
        out += std::string(finding.bError ? "error    " : "warning  ") + finding.strSubject + ": " +
               finding.strText + "\n";
    }
    return out + CountText(report.CountFindings(true), "error") + ", " +
           CountText(report.CountFindings(false), "warning") + "\n";
}

std::string FormatReportJson(const tagMediaReport& report) {
    std::vector<std::string> entries;
    for (const tagSettingsEntry& entry : report.aEntries) {
        entries.push_back(JsonObject({{"section", JsonString(entry.strSection)},
                                      {"patch", JsonString(entry.strPatchName)},
                                      {"packageCode", JsonString(entry.strPackageCode)}}));
    }
    std::vector<std::string> patches;
    for (const tagPatchFile& patch : report.aPatches) {
        patches.push_back(JsonObject({{"file", JsonString(patch.strName)},
                                      {"readable", patch.bReadable ? "true" : "false"},
                                      {"title", JsonString(patch.strTitle)},
                                      {"buildVersion", JsonString(patch.strBuildVersion)},
                                      {"targets", JsonString(patch.strTarget)},
                                      {"listed", patch.bListed ? "true" : "false"},
                                      {"signature", SignatureJson(patch.signature)}}));
    }
    const tagUpdateProbe& probe = report.probe;
    const std::string probeJson = JsonObject(
        {{"file", probe.strPath.empty() ? "null" : JsonString(GetFileName(probe.strPath))},
         {"traceCode", std::to_string(probe.nTraceCode)},
         {"title", JsonString(probe.strTitle)},
         {"caption", JsonString(probe.strCaption)}});
    const std::optional<tagSignature>& setup = report.setupSignature;
    std::vector<std::string> packages;
    for (const tagPackageRow& row : report.aRows) {
        packages.push_back(PackageJson(row));
    }
    std::vector<std::string> findings;
    for (const tagMediaFinding& finding : report.aFindings) {
        findings.push_back(JsonObject({{"level", finding.bError ? "\"error\"" : "\"warning\""},
                                       {"subject", JsonString(finding.strSubject)},
                                       {"text", JsonString(finding.strText)}}));
    }
    return "{\n  \"media\": " + JsonString(report.strMedia) +
           ",\n  \"errors\": " + std::to_string(report.CountFindings(true)) +
           ",\n  \"warnings\": " + std::to_string(report.CountFindings(false)) +
           ",\n  \"settingsRead\": " + (report.bSettingsRead ? "true" : "false") +
           ",\n  \"url\": " + JsonStringOrNull(report.strUrl) +
           ",\n  \"entries\": " + JsonArray(entries, 2) +
           ",\n  \"patches\": " + JsonArray(patches, 2) + ",\n  \"probe\": " + probeJson +
           ",\n  \"setupSignature\": " + (setup ? SignatureJson(*setup) : "null") +
           ",\n  \"requiredSigner\": " +
           (setup && setup->IsValid() ? JsonString(setup->strSubject) : "null") +
           ",\n  \"packages\": " + JsonArray(packages, 2) +
           ",\n  \"findings\": " + JsonArray(findings, 2) + "\n}\n";
}
