// A simulated machine set up for whole update runs: the installed product with its cached
// package and registration, update media (Setup.exe, Install.dat, MSP\), the program folder,
// msiexec.exe in the system folder, and a scripted msiexec.exe that registers the patch it was
// given, so that a second run sees it applied.
#pragma once

#include "app/setup_exe_app.h"
#include "log/trace_log.h"
#include "os/sim/machine.h"

#include <string>

namespace test {

constexpr char kProductCode[] = "{12345678-ABCD-EF01-2345-6789ABCDEF01}";
constexpr char kPackageCode[] = "{5A5A5A5A-0001-0002-0003-000000000004}";
constexpr char kLocalPackage[] = "C:\\Windows\\Installer\\3f2a1b.msi";
constexpr char kMedia[] = "C:\\Media\\";
constexpr char kPatchFolder[] = "C:\\Media\\MSP\\";
constexpr char kProgramFolder[] = "C:\\Program Files (x86)\\QernoE\\";
constexpr char kMsiexec[] = "C:\\Windows\\System32\\msiexec.exe";
constexpr char kJournalKey[] = "SOFTWARE\\QernoE\\Setup";
constexpr char kJournalValue[] = "MovedFiles";
constexpr char kProductKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\UserData\\"
                               "S-1-5-18\\Products\\87654321DCBA10FE32547698BADCFE10";

// A patch package for the sample product.
inline sim::MsiPackage SamplePatch(const std::string& title, const std::string& patchCode,
                                   const std::string& buildVersion,
                                   const std::string& target = kProductCode) {
    sim::MsiPackage patch;
    patch.isPatch = true;
    patch.hasPropertyTable = false;
    patch.hasPatchMetadataTable = true;
    if (!buildVersion.empty()) {
        patch.patchMetadata.push_back({"", "DBuildVersion", buildVersion});
    }
    patch.summary[PID_TITLE] = sim::SummaryValue::Text(title);
    patch.summary[PID_TEMPLATE] = sim::SummaryValue::Text(target);
    patch.summary[PID_LASTAUTHOR] = sim::SummaryValue::Text(":T;:#T");
    patch.summary[PID_REVNUMBER] = sim::SummaryValue::Text(patchCode);
    return patch;
}

class UpdateMachine {
public:
    UpdateMachine() {
        machine.SetModulePath(std::string(kMedia) + "Setup.exe");
        machine.Files().WriteFile(std::string(kMedia) + "Setup.exe", "MZ");
        machine.Files().WriteFile(kMsiexec, "MZ");
        InstallProduct("QernoE6 ALPHA");
        WriteSettings("[Install]\r\nURL=https://example.com/\r\n"
                      "[Patch_ALPHA]\r\nQernoE6_ALPHA_1234=" +
                      std::string(kPackageCode) + "\r\n");
        AddPatch("QernoE6_ALPHA_1234", "Ortolan Qerno6 E Build 1234",
                 "{AAAAAAAA-1111-2222-3333-000000001234}", "6.0.1234");
        machine.Keys().SetString(HKEY_LOCAL_MACHINE, sim::RegView::Bits64, kProductKey, "DInstDir",
                                 kProgramFolder);
        machine.Files().CreateFolder(kProgramFolder);
        // msiexec.exe registers the patch it applies, with a cached copy of it. The patch code
        // leads the revision number (obsoleted patches may follow); a patch without one is
        // refused as msiexec refuses it.
        machine.Programs().SetChildProgram([](sim::Machine& m, const sim::ProcessStart& start) {
            const std::string parameters = start.parameters.value_or("");
            const std::size_t open = parameters.find("/p \"");
            const std::size_t close = parameters.find('"', open + 4);
            const std::string patch = parameters.substr(open + 4, close - open - 4);
            auto bytes = m.Files().ReadFile(patch);
            auto package = sim::MsiPackage::Decode(bytes.value_or(""));
            if (!package) {
                return DWORD{1635};
            }
            const std::string code = package->summary[PID_REVNUMBER].text.substr(0, 38);
            if (!sim::IsGuidText(code)) {
                return DWORD{1636};
            }
            const std::string cached = "C:\\Windows\\Installer\\" + code.substr(1, 8) + ".msp";
            m.Files().WriteFile(cached, *bytes);
            m.Msi().ApplyPatch(kProductCode, {code, ":T;:#T", cached});
            return DWORD{0};
        });
    }

    void InstallProduct(const std::string& edition, const std::string& version = "6.0.1000") {
        sim::MsiPackage product;
        product.properties = {
            {"ProductCode", kProductCode}, {"ProductVersion", version}, {"DInstallVer", edition}};
        product.summary[PID_REVNUMBER] = sim::SummaryValue::Text(kPackageCode);
        machine.WritePackage(kLocalPackage, product);
        machine.Msi().InstallProduct(kProductCode, {{"LocalPackage", kLocalPackage}});
    }
    void WriteSettings(const std::string& text) {
        machine.Files().WriteFile(std::string(kMedia) + "Install.dat", text);
    }
    void AddPatch(const std::string& name, const std::string& title, const std::string& code,
                  const std::string& build, const std::string& target = kProductCode) {
        machine.WritePackage(std::string(kPatchFolder) + name + ".msp",
                             SamplePatch(title, code, build, target));
    }
    // A patch applied earlier, with its cached copy.
    void ApplyEarlier(const std::string& code, const std::string& build) {
        const std::string cached = "C:\\Windows\\Installer\\" + code.substr(1, 8) + ".msp";
        machine.WritePackage(cached, SamplePatch("earlier", code, build));
        machine.Msi().ApplyPatch(kProductCode, {code, ":T;:#T", cached});
    }

    // One whole launch with this command line; its exit code.
    int Launch(std::string cmdLine = "") {
        m_cmdLine = std::move(cmdLine);
        CSetupExeApp app;
        app.m_lpCmdLine = m_cmdLine.data();
        app.InitInstance();
        return app.ExitInstance();
    }

    // The journal of moved files a run leaves in the registry (null when none), and one planted.
    const sim::RegValue* Journal() {
        return machine.Keys().Value(HKEY_LOCAL_MACHINE, sim::RegView::Bits32, kJournalKey,
                                    kJournalValue);
    }
    void PlantJournal(const std::string& bytes, DWORD type = REG_MULTI_SZ) {
        machine.Keys().SetValue(HKEY_LOCAL_MACHINE, sim::RegView::Bits32, kJournalKey,
                                kJournalValue, type, bytes);
    }

    std::string Trace() {
        return machine.Files()
            .ReadFile("C:\\Users\\user\\AppData\\Local\\Temp\\Install_Setup_Trace.log")
            .value_or("");
    }

    sim::Machine machine;

private:
    std::string m_cmdLine;
};

} // namespace test
