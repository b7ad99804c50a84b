// The engine check with its dialog, against the simulated machine and a scripted user.
#include "readiness/installer_engine_check.h"
#include "os/windows_version.h"
#include "readiness/readiness_resource.h"

#include "run/launch_context.h"
#include "os/sim/machine.h"
#include "support/compiled_resources.h"
#include "support/trace_file.h"

#include <gtest/gtest.h>

namespace {

using sim::UserAction;
using test::CrLfLines;
using test::TraceOf;

constexpr char kSystem[] = "C:\\Windows\\System32\\";
constexpr char kMessage[] = "Windows Installer の各ファイルの同期がとれていない\n"
                            "ため、正常にインストールできない可能性があります。\n"
                            "詳細は、下記サイトを参照してください。";

class EngineCheckTest : public ::testing::Test {
protected:
    void SetUp() override { test::LoadCompiledResources(machine); }
    void TearDown() override {
        // Everything the dialog and its link made is gone with them.
        EXPECT_EQ(machine.Ui().LiveGdiObjects(), 0u);
        EXPECT_EQ(machine.Ui().LiveOwnCursors(), 0u);
        EXPECT_EQ(machine.Ui().LoadedModules(), 0u);
    }
    void Versions(std::array<WORD, 4> msiexec, std::array<WORD, 4> msi,
                  std::array<WORD, 4> msihnd) {
        auto set = [&](const char* name, const std::array<WORD, 4>& v) {
            machine.Files().SetFileVersion(std::string(kSystem) + name, v[0], v[1], v[2], v[3]);
        };
        set("msiexec.exe", msiexec);
        set("msi.dll", msi);
        set("msihnd.dll", msihnd);
    }
    void Mismatch() { Versions({4, 5, 6001, 22159}, {3, 1, 4000, 2435}, {4, 5, 6001, 22159}); }
    // The check inside a trace run; its result and lines.
    // The check inside a trace run; whether it stops the update, and its lines. `exitCode` gets
    // the code the launch ends with for a stop.
    std::pair<bool, std::string> Check() {
        EngineCheck result = EngineCheck::GoOn;
        const std::string trace = TraceOf(machine, [&] { result = CheckInstallerEngine(context); });
        if (result != EngineCheck::GoOn) {
            exitCode = result == EngineCheck::Declined ? 1602 : 1603;
        }
        return {result != EngineCheck::GoOn, trace};
    }

    sim::Machine machine;
    tagLaunchContext context;
    int exitCode = -7; // untouched unless the update stops
};

TEST_F(EngineCheckTest, VersionsThatAgreeInTheirFirstThreePartsShowNoDialog) {
    Versions({3, 1, 4000, 2435}, {3, 1, 4000, 3959}, {3, 1, 4000, 1823});
    const auto [stop, trace] = Check();
    EXPECT_FALSE(stop);
    EXPECT_EQ(exitCode, -7);
    EXPECT_TRUE(machine.Ui().Dialogs().empty());
    EXPECT_EQ(trace, CrLfLines({"        Check DllVer-Start",
                                "            C:\\Windows\\System32\\msiexec.exe：3.1.4000.2435",
                                "            C:\\Windows\\System32\\msi.dll：3.1.4000.3959",
                                "            C:\\Windows\\System32\\msihnd.dll：3.1.4000.1823",
                                "        Check DllVer-End"}));
}

TEST_F(EngineCheckTest, AMismatchAsksAndYesGoesOn) {
    Mismatch();
    machine.Ui().Script({UserAction::Yes});
    const auto [stop, trace] = Check();
    EXPECT_FALSE(stop);
    EXPECT_EQ(trace, CrLfLines({"        Check DllVer-Start",
                                "            C:\\Windows\\System32\\msiexec.exe：4.5.6001.22159",
                                "            C:\\Windows\\System32\\msi.dll：3.1.4000.2435",
                                "            C:\\Windows\\System32\\msihnd.dll：4.5.6001.22159",
                                "            Dll Ver Compare Fail", "        Check DllVer-End"}));
    ASSERT_EQ(machine.Ui().Dialogs().size(), 1u);
}

TEST_F(EngineCheckTest, NoEscAndEnterStopTheUpdateAsTheUsersCancel) {
    for (const UserAction answer : {UserAction::No, UserAction::Escape, UserAction::Enter}) {
        SCOPED_TRACE(static_cast<int>(answer));
        Mismatch();
        machine.Ui().Script({answer});
        const auto [stop, trace] = Check();
        EXPECT_TRUE(stop);
        EXPECT_EQ(exitCode, 1602);
        const std::string end = CrLfLines({"            Dll Ver Compare Fail",
                                           "            Install END", "        Check DllVer-End"});
        EXPECT_EQ(trace.substr(trace.size() - end.size()), end);
    }
}

TEST_F(EngineCheckTest, NobodyAskedStopsTheUpdateAsAFailure) {
    Mismatch();
    machine.Ui().LoadResources(""); // no template 134
    const auto [stop, trace] = Check();
    EXPECT_TRUE(stop);
    EXPECT_EQ(exitCode, 1603);
    EXPECT_NE(trace.find("            DialogBoxParam Err："), std::string::npos) << trace;

    // Unattended: the dialog is never shown, the trace ends as after No.
    test::LoadCompiledResources(machine);
    context.nSilentMode = 2;
    exitCode = 0;
    const auto [unattendedStop, unattended] = Check();
    EXPECT_TRUE(unattendedStop);
    EXPECT_EQ(exitCode, 1603);
    EXPECT_TRUE(machine.Ui().Dialogs().empty());
    EXPECT_NE(unattended.find(CrLfLines({"            Dll Ver Compare Fail",
                                         "            Install END", "        Check DllVer-End"})),
              std::string::npos)
        << unattended;
}

TEST_F(EngineCheckTest, TheDialogAsTheUserSeesIt) {
    Mismatch();
    machine.Files().WriteFile("C:\\Temp\\settings.tmp",
                              "[Install]\r\nURL=https://example.com/msi\r\n");
    context.strDatPath = "C:\\Temp\\settings.tmp";
    machine.Ui().SetControlClientSize(IDC_VERSION_LIST, 348, 80);
    machine.Ui().Script({UserAction::No});
    Check();
    ASSERT_EQ(machine.Ui().Dialogs().size(), 1u);
    const sim::DialogSnapshot& dialog = machine.Ui().Dialogs()[0];
    EXPECT_EQ(dialog.caption, "Windows Installer バージョン情報");
    // No is the first tab stop and the default button: Enter means No.
    EXPECT_EQ(dialog.focusId, IDCANCEL);
    EXPECT_EQ(dialog.defaultId, IDCANCEL);
    const sim::ControlSnapshot* list = dialog.Control(IDC_VERSION_LIST);
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->columns.size(), 2u);
    EXPECT_EQ(list->columns[0].heading, "ファイル名");
    EXPECT_EQ(list->columns[0].width, 139);
    EXPECT_EQ(list->columns[1].heading, "バージョン");
    EXPECT_EQ(list->columns[1].width, 208);
    EXPECT_EQ(list->rows,
              (std::vector<std::vector<std::string>>{{"msiexec.exe", "4.5.6001.22159"},
                                                     {"msi.dll", "3.1.4000.2435"},
                                                     {"msihnd.dll", "4.5.6001.22159"}}));
    const std::string message = dialog.Control(IDC_VERSION_MESSAGE)->text;
    EXPECT_EQ(message, kMessage);
    EXPECT_EQ(message.size(), 140u);
    EXPECT_EQ(dialog.Control(IDC_VERSION_LINK)->text, "https://example.com/msi");
    EXPECT_EQ(dialog.Control(IDC_VERSION_QUESTION)->text, "インストールを続行しますか？");
}

TEST_F(EngineCheckTest, TheLinkIsBlueUnderlinedOnTheFaceColour) {
    Mismatch();
    machine.Ui().SetColor(COLOR_BTNFACE, RGB(0xEC, 0xE9, 0xD8));
    machine.Ui().Script({UserAction::No});
    Check();
    const sim::ControlSnapshot* link = machine.Ui().Dialogs()[0].Control(IDC_VERSION_LINK);
    ASSERT_TRUE(link->paint.has_value());
    EXPECT_EQ(link->paint->textColor, 0x00FF0000u);
    EXPECT_EQ(link->paint->bkMode, TRANSPARENT);
    ASSERT_TRUE(link->paint->font.has_value());
    EXPECT_EQ(link->paint->font->lfUnderline, 1);
    // The link font is the control's own font, underlined.
    EXPECT_EQ(std::string(link->paint->font->lfFaceName), "MS Shell Dlg");
    EXPECT_EQ(link->paint->brushColor, RGB(0xEC, 0xE9, 0xD8));
    // Other static controls draw as the dialog says.
    EXPECT_FALSE(machine.Ui().Dialogs()[0].Control(IDC_VERSION_MESSAGE)->paint.has_value());
}

TEST_F(EngineCheckTest, AMissingEngineFileLeavesItsCellEmpty) {
    Versions({4, 5, 6001, 22159}, {4, 5, 6001, 22159}, {4, 5, 6001, 22159});
    DeleteFileA((std::string(kSystem) + "msihnd.dll").c_str());
    machine.Ui().Script({UserAction::Yes});
    const auto [stop, trace] = Check();
    EXPECT_FALSE(stop);
    EXPECT_EQ(trace.find("msihnd.dll"), std::string::npos);
    EXPECT_EQ(machine.Ui().Dialogs()[0].Control(IDC_VERSION_LIST)->rows[2],
              (std::vector<std::string>{"msihnd.dll", ""}));
    // No settings copy: the link is empty.
    EXPECT_EQ(machine.Ui().Dialogs()[0].Control(IDC_VERSION_LINK)->text, "");
}

TEST_F(EngineCheckTest, NoReadableEngineFileAtAllAgrees) {
    machine.Files().WriteFile(std::string(kSystem) + "msi.dll", "no version resource");
    const auto [stop, trace] = Check();
    EXPECT_FALSE(stop);
    EXPECT_EQ(exitCode, -7);
    EXPECT_TRUE(machine.Ui().Dialogs().empty());
    EXPECT_EQ(trace, CrLfLines({"        Check DllVer-Start", "        Check DllVer-End"}));
}

TEST_F(EngineCheckTest, NoSystemFolderSkipsTheCheckSilently) {
    Mismatch();
    machine.SetSystemFolder(std::nullopt);
    const auto [stop, trace] = Check();
    EXPECT_FALSE(stop);
    EXPECT_EQ(trace, "");
}

TEST_F(EngineCheckTest, TheShellFolderFailingFallsBackToTheSystemDirectory) {
    Mismatch();
    machine.SetShellFolderFails(true);
    machine.Ui().Script({UserAction::No});
    EXPECT_TRUE(Check().first);
}

TEST_F(EngineCheckTest, ClickingTheLinkOpensItWithTheShell) {
    struct Row {
        std::string url;
        std::optional<std::string> verb;
        std::string file;
    };
    const Row rows[] = {
        {"https://example.com/msi", std::nullopt, "https://example.com/msi"},
        {"HTTP://example.com/", std::nullopt, "HTTP://example.com/"},
        {"mailto:support@example.com", std::nullopt, "mailto:support@example.com"},
        {"support@example.com", "open", "mailto:support@example.com"},
        {"www.example.com", std::nullopt, "http://www.example.com"},
        {"support.example.com/qernoe?x=1", std::nullopt, "http://support.example.com/qernoe?x=1"},
        // Not opened at all: another scheme, a path, a program, plain words, nothing.
        {"file:C:\\Windows\\notepad.exe", std::nullopt, ""},
        {"about:blank", std::nullopt, ""},
        {"javascript:alert(1)", std::nullopt, ""},
        {"C:\\Windows\\System32\\calc.exe", std::nullopt, ""},
        {"\\\\server\\share\\x.exe", std::nullopt, ""},
        {"calc.exe", std::nullopt, "http://calc.exe"},
        {"www.example.com/@team", std::nullopt, "http://www.example.com/@team"},
        {"https://example.com/@team", std::nullopt, "https://example.com/@team"},
        {"support@example.com/x", std::nullopt, ""},
        // Nothing that would end the address on the started program's command line.
        {"a@b.com\" /x", std::nullopt, ""},
        {"https://example.com/\" /x", std::nullopt, ""},
        {"mailto:a@b.com /x", std::nullopt, ""},
        {"a@b.com\t/x", std::nullopt, ""},
        {"support page", std::nullopt, ""},
        {"\x83\x40", std::nullopt, ""}, // ァ: its second byte is "@"
        {"", std::nullopt, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.url);
        Mismatch();
        machine.Files().WriteFile("C:\\Temp\\settings.tmp", "[Install]\r\nURL=" + row.url + "\r\n");
        context.strDatPath = "C:\\Temp\\settings.tmp";
        machine.Ui().Script({UserAction::ClickLink, UserAction::No});
        const std::size_t before = machine.Ui().ShellRequests().size();
        const std::string trace = Check().second;
        if (row.file.empty()) {
            EXPECT_EQ(machine.Ui().ShellRequests().size(), before);
            EXPECT_NE(trace.find("Link Err：" + row.url + "\r\n"), std::string::npos) << trace;
            continue;
        }
        ASSERT_EQ(machine.Ui().ShellRequests().size(), before + 1);
        const sim::ShellRequest& request = machine.Ui().ShellRequests().back();
        EXPECT_EQ(request.verb, row.verb);
        EXPECT_EQ(request.file, row.file);
        EXPECT_EQ(request.parameters, std::nullopt);
        EXPECT_EQ(request.directory, std::nullopt);
        EXPECT_EQ(request.show, SW_SHOWNORMAL);
        // Over the link the cursor is the system's hand.
        EXPECT_EQ(machine.Ui().CurrentCursorName(), "hand");
    }
}

TEST(HrefCursor, OlderWindowsBorrowTheHelpProgramsHandOrShowTheArrow) {
    sim::Machine machine;
    test::LoadCompiledResources(machine);
    machine.SetWindowsVersion({4, 0, 1381, VER_PLATFORM_WIN32_NT, 6});
    machine.Files().WriteFile("C:\\Windows\\winhlp32.exe", "MZ");
    machine.Ui().AddModuleCursor("C:\\Windows\\winhlp32.exe", 106);
    machine.Files().SetFileVersion("C:\\Windows\\System32\\msi.dll", 2, 0, 0, 0);
    machine.Ui().Script({UserAction::ClickLink, UserAction::No});
    tagLaunchContext context;
    EXPECT_EQ(CheckInstallerEngine(context), EngineCheck::Declined);
    EXPECT_EQ(machine.Ui().CurrentCursorName(), "copy of C:\\Windows\\winhlp32.exe#106");
    // The copy was the link's own and went with it, as did the help program.
    EXPECT_EQ(machine.Ui().LiveOwnCursors(), 0u);
    EXPECT_EQ(machine.Ui().LoadedModules(), 0u);

    machine.SetWindowsVersion({4, 10, 2222, VER_PLATFORM_WIN32_WINDOWS, 0});
    DeleteFileA("C:\\Windows\\winhlp32.exe");
    machine.Ui().Script({UserAction::ClickLink, UserAction::No});
    EXPECT_EQ(CheckInstallerEngine(context), EngineCheck::Declined);
    EXPECT_EQ(machine.Ui().CurrentCursorName(), "arrow");
}

TEST(WindowsVersionTest, AsksTheSystemOnce) {
    sim::Machine machine;
    CWindowsVersionTest modern;
    EXPECT_FALSE(modern.IsPreVista());
    machine.SetWindowsVersion({5, 1, 2600, VER_PLATFORM_WIN32_NT, 3});
    EXPECT_FALSE(modern.IsPreVista());
    EXPECT_EQ(machine.VersionChecks(), 1);

    CWindowsVersionTest older;
    EXPECT_TRUE(older.IsPreVista());
    machine.SetWindowsVersion({6, 0, 6002, VER_PLATFORM_WIN32_NT, 2});
    CWindowsVersionTest vista;
    EXPECT_FALSE(vista.IsPreVista());
    EXPECT_EQ(machine.VersionChecks(), 3);
}

} // namespace
