// media_tool make on the simulated machine, and the tool's command line.
#include "media_arguments.h"
#include "media_check.h"
#include "media_layout.h"

#include "os/windows_version.h"
#include "support/update_machine.h"

#include <gtest/gtest.h>

namespace {

constexpr char kBravoCode[] = "{5A5A5A5A-0001-0002-0003-0000000000B0}";

class MediaLayoutTest : public ::testing::Test, public test::UpdateMachine {
protected:
    void SetUp() override {
        ProcessWindowsVersionTest() = CWindowsVersionTest{};
        sim::MsiPackage bravo;
        bravo.properties = {{"ProductCode", test::kProductCode},
                            {"ProductVersion", "6.0.1000"},
                            {"DInstallVer", "QernoE6 BRAVO"}};
        bravo.summary[PID_REVNUMBER] = sim::SummaryValue::Text(kBravoCode);
        machine.WritePackage("C:\\pk\\bravo.msi", bravo);
        const std::string patch =
            *machine.Files().ReadFile(std::string(test::kPatchFolder) + "QernoE6_ALPHA_1234.msp");
        machine.Files().WriteFile("C:\\pk\\QernoE6_ALPHA_1234.msp", patch);
        machine.Files().WriteFile("C:\\pk\\QernoE6_BRAVO_1234.msp", patch);
    }
    tagMakeRequest Request() {
        return {"C:\\Out\\表\\Media",
                "C:\\Media\\Setup.exe",
                {"C:\\pk\\QernoE6_BRAVO_1234.msp", "C:\\pk\\QernoE6_ALPHA_1234.msp"},
                {"C:\\pk\\bravo.msi", test::kLocalPackage},
                "https://example.com/"};
    }
};

TEST_F(MediaLayoutTest, MediaForTwoEditionsPassTheirCheck) {
    std::vector<tagSettingsEntry> entries;
    std::string error;
    ASSERT_TRUE(PlanSettings(Request(), entries, error)) << error;
    ASSERT_TRUE(LayOutMedia(Request(), entries, error)) << error;
    // The launcher's edition order, whatever the order given.
    EXPECT_EQ(machine.Files().ReadFile("C:\\Out\\表\\Media\\Install.dat"),
              "[Install]\r\nURL=https://example.com/\r\n\r\n"
              "[Patch_ALPHA]\r\nQernoE6_ALPHA_1234=" +
                  std::string(test::kPackageCode) +
                  "\r\n\r\n"
                  "[Patch_BRAVO]\r\nQernoE6_BRAVO_1234=" +
                  kBravoCode + "\r\n");
    EXPECT_EQ(machine.Files().ReadFile("C:\\Out\\表\\Media\\Setup.exe"), "MZ");
    EXPECT_TRUE(machine.Files().Exists("C:\\Out\\表\\Media\\MSP\\QernoE6_BRAVO_1234.msp"));

    const tagMediaReport report = CheckMedia({Request().strOutDir, Request().astrPackages, {}});
    EXPECT_TRUE(report.aFindings.empty()) << report.aFindings[0].strText;
    ASSERT_EQ(report.aRows.size(), 2u);
    EXPECT_EQ(report.aRows[0].strPatchName, "QernoE6_BRAVO_1234");
    EXPECT_EQ(report.aRows[1].nBox, UpdateBoxSetup);

    EXPECT_FALSE(LayOutMedia(Request(), entries, error));
    EXPECT_EQ(error, Request().strOutDir + " already holds media (Install.dat or MSP\\)");
}

TEST_F(MediaLayoutTest, PlansThatTheLauncherCouldNotFollow) {
    const struct {
        std::vector<std::string> patches;
        std::vector<std::string> packages;
        std::string result; // the error, or the lines planned
    } rows[] = {
        // One patch for two builds with the same package code: listed once.
        {{"C:\\pk\\QernoE6_ALPHA_1234.msp"},
         {test::kLocalPackage, test::kLocalPackage},
         "QernoE6_ALPHA_1234;"},
        {{"C:\\pk\\QernoE6_ALPHA_1234.msp", "C:\\pk\\QernoE6_BRAVO_1234.msp"},
         {test::kLocalPackage, test::kLocalPackage},
         "two patches, QernoE6_ALPHA_1234 and QernoE6_BRAVO_1234, for package code " +
             std::string(test::kPackageCode) +
             " in Patch_ALPHA: the launcher would only ever take the first"},
        {{"C:\\pk\\QernoE6_ALPHA_1234.msp", "C:\\other\\QernoE6_ALPHA_1234.msp"},
         {test::kLocalPackage, "C:\\pk\\bravo.msi"},
         "C:\\pk\\QernoE6_ALPHA_1234.msp and C:\\other\\QernoE6_ALPHA_1234.msp would both be "
         "MSP\\QernoE6_ALPHA_1234.msp"},
        {{"C:\\pk\\QernoE6_ALPHA_1234.msp"},
         {"C:\\pk\\QernoE6_ALPHA_1234.msp"},
         "C:\\pk\\QernoE6_ALPHA_1234.msp: \"DInstallVer\" names no edition"},
    };
    for (const auto& row : rows) {
        tagMakeRequest request = Request();
        request.astrPatches = row.patches;
        request.astrPackages = row.packages;
        std::vector<tagSettingsEntry> entries;
        std::string result;
        if (PlanSettings(request, entries, result)) {
            for (const tagSettingsEntry& entry : entries) {
                result += entry.strPatchName + ";";
            }
        }
        EXPECT_EQ(result, row.result);
    }
}

TEST(MediaArgumentsTest, TheCommandLine) {
    const struct {
        std::vector<std::string> words;
        std::string error; // "" when the words are a use of the tool
    } rows[] = {
        {{"check", "C:\\m", "--package", "a.msi", "b.msi", "/applied", "p.msp", "--json"}, ""},
        {{"make", "C:\\m", "--setup", "S.exe", "--patch", "x.msp", "--package", "a.msi", "b.msi",
          "--url", "https://x/"},
         ""},
        {{"check", "C:\\m", "/?"}, ""},
        {{}, "give a command"},
        {{"check", "--json"}, "give the media folder after the command"},
        {{"verify", "C:\\m"}, "unknown command verify"},
        {{"check", "C:\\m", "extra"}, "unexpected extra"},
        {{"check", "C:\\m", "--package"}, "--package needs a file"},
        {{"check", "C:\\m", "--setup", "S.exe"}, "unknown option --setup for check"},
        {{"make", "C:\\m", "--setup", "S.exe", "--package", "a.msi"},
         "make needs --setup, --patch and --package"},
        {{"make", "C:\\m", "--setup", "S.exe", "--setup", "T.exe"},
         "--setup takes one value, once"},
        {{"make", "C:\\m", "--setup", "S", "--patch", "x.msp", "y.msp", "--package", "a", "b", "c"},
         "give one patch for all packages, or one patch per package"},
        {{"make", "C:\\m", "--setup", "S", "--patch", "x.msi", "--package", "a"},
         "x.msi: a patch package's file name ends in .msp"},
    };
    for (const auto& row : rows) {
        tagMediaArguments arguments;
        std::string error;
        EXPECT_EQ(ParseMediaArguments(row.words, arguments, error), row.error.empty());
        EXPECT_EQ(error, row.error);
    }
    tagMediaArguments arguments;
    std::string error;
    ASSERT_TRUE(ParseMediaArguments(rows[0].words, arguments, error));
    EXPECT_EQ(arguments.nCommand, MediaCommandCheck);
    EXPECT_EQ(arguments.astrPackages, (std::vector<std::string>{"a.msi", "b.msi"}));
    EXPECT_EQ(arguments.astrApplied, std::vector<std::string>{"p.msp"});
    EXPECT_TRUE(arguments.bJson);
}

} // namespace
