// The check's report as people and a release pipeline read it.
#include "json_text.h"
#include "report_text.h"

#include <gtest/gtest.h>

namespace {

tagMediaReport SampleReport() {
    tagMediaReport report;
    report.strMedia = "C:\\media";
    report.bSettingsRead = true;
    report.strUrl = "https://example.com/";
    report.aEntries = {{"Patch_ALPHA", "A_1234", "{5A5A5A5A-0001-0002-0003-000000000004}"}};
    const tagSignature publisher{0, true, 0, "CN=Qerno, C=JP", u"CN=Qerno, C=JP"};
    report.aPatches = {{"A_1234.msp", true, "Qerno Build 1234", "6.0.1234", "{P}", true, publisher},
                       {"x.msp",
                        false,
                        "",
                        "",
                        "",
                        false,
                        {TRUST_E_BAD_DIGEST, false, 0, "CN=Qerno, C=JP", u"CN=Qerno, C=JP"}}};
    report.probe = {0, "C:\\media\\MSP\\A_1234.msp", "{P}", "Qerno Build 1234", "Qerno"};
    report.setupSignature = publisher;
    tagPackageRow row;
    row.strPackage = "C:\\pk\\product.msi";
    row.strEdition = "ALPHA";
    row.strSection = "Patch_ALPHA";
    row.strPatchName = "A_1234";
    row.bTargetsProduct = true;
    row.nInstMode = 1;
    row.nTraceCode = 2816;
    row.nBox = UpdateBoxSetup;
    row.strCaption = "Qerno";
    row.strText = "Qerno Build 1234のセットアップを行います。\n\n";
    report.aRows = {row};
    row.strPackage = "C:\\pk\\other.msi";
    row.bPatchRejected = true;
    row.nExitCode = 1643;
    report.aRows.push_back(row);
    report.AddError("MSP\\x.msp", "cannot be read");
    report.AddWarning("MSP\\x.msp", "listed in no Patch_<edition> section");
    return report;
}

TEST(MediaReportTest, TheTableForPeople) {
    EXPECT_EQ(FormatReportTable(SampleReport()),
              "Media C:\\media\n"
              "Install.dat  URL https://example.com/\n"
              "  Patch_ALPHA  A_1234  {5A5A5A5A-0001-0002-0003-000000000004}\n"
              "MSP\\  (in the order the launcher's search finds them)\n"
              "  A_1234.msp  \"Qerno Build 1234\"  6.0.1234  {P}  listed\n"
              "  x.msp       (not a readable patch package)\n"
              "Probe package: MSP\\A_1234.msp, caption \"Qerno\"\n"
              "Signatures  (valid: intact, and by a publisher this machine's roots trust)\n"
              "  Setup.exe       signed  valid                               CN=Qerno, C=JP\n"
              "  MSP\\A_1234.msp  signed  valid                               CN=Qerno, C=JP\n"
              "  MSP\\x.msp       signed  invalid: WinVerifyTrust 0x80096010  CN=Qerno, C=JP\n"
              "Patch check: Setup.exe applies only patches signed by CN=Qerno, C=JP\n"
              "\n"
              "PACKAGE      EDITION  SECTION      PATCH   TARGETS  MODE  BOX    TRACE  EXIT\n"
              "product.msi  ALPHA    Patch_ALPHA  A_1234  yes      1     setup  2816   msiexec's\n"
              "other.msi    ALPHA    Patch_ALPHA  A_1234  yes      1     setup  2816   1643\n"
              "\n"
              "error    MSP\\x.msp: cannot be read\n"
              "warning  MSP\\x.msp: listed in no Patch_<edition> section\n"
              "1 error, 1 warning\n");
}

TEST(MediaReportTest, TheJsonForAPipeline) {
    const std::string json = FormatReportJson(SampleReport());
    EXPECT_NE(json.find("\"errors\": 1,\n  \"warnings\": 1,"), std::string::npos);
    EXPECT_NE(json.find("  \"packages\": [\n    {\"package\": \"C:\\\\pk\\\\product.msi\", "),
              std::string::npos);
    EXPECT_NE(json.find("\"mode\": 1, \"traceCode\": 2816, \"box\": \"setup\", \"caption\": "
                        "\"Qerno\", \"text\": \"Qerno Build 1234\\u306e\\u30bb"),
              std::string::npos);
    EXPECT_NE(json.find("\\u3002\\n\\n\", \"exitCode\": 0, \"exitCodeFromInstaller\": true}"),
              std::string::npos);
    EXPECT_NE(json.find("\"probe\": {\"file\": \"A_1234.msp\", \"traceCode\": 0,"),
              std::string::npos);
    EXPECT_NE(json.find("\"listed\": false, \"signature\": {\"signed\": true, \"valid\": false, "
                        "\"trustResult\": \"0x80096010\", \"chainError\": null, \"subject\": "
                        "\"CN=Qerno, C=JP\"}}"),
              std::string::npos);
    EXPECT_NE(json.find("\"setupSignature\": {\"signed\": true, \"valid\": true, \"trustResult\": "
                        "\"0x00000000\", \"chainError\": \"0x00000000\", \"subject\": \"CN=Qerno, "
                        "C=JP\"},\n  \"requiredSigner\": \"CN=Qerno, C=JP\",\n"),
              std::string::npos);
    EXPECT_NE(json.find("\"exitCode\": 1643, \"exitCodeFromInstaller\": false}"),
              std::string::npos);
    EXPECT_NE(json.find("{\"level\": \"warning\", \"subject\": \"MSP\\\\x.msp\", \"text\": "),
              std::string::npos);
    // Nothing but ASCII, whatever the texts held.
    for (unsigned char ch : json) {
        ASSERT_LT(ch, 0x80);
    }

    tagMediaReport none;
    none.AddError("C:\\none", "is not a folder");
    const std::string empty = FormatReportJson(none);
    EXPECT_NE(empty.find("\"url\": null,\n  \"entries\": [],"), std::string::npos);
    EXPECT_NE(empty.find("\"probe\": {\"file\": null, \"traceCode\": 0,"), std::string::npos);
    EXPECT_NE(empty.find("\"setupSignature\": null,\n  \"requiredSigner\": null,"),
              std::string::npos);
}

TEST(MediaReportTest, JsonStringsOfCodePage932Texts) {
    const struct {
        std::string text;
        std::string json;
    } rows[] = {
        {"", "\"\""},
        {"a\"b\\c\r\n\t", "\"a\\\"b\\\\c\\r\\n\\t\""},
        {"表示", "\"\\u8868\\u793a\""}, // 表's second byte is 0x5C, a backslash alone
        {std::string("\x01", 1), "\"\\u0001\""},
        {"ok\x81", "\"ok\\ufffd\""}, // a lead byte with nothing after it is no text
    };
    for (const auto& row : rows) {
        EXPECT_EQ(JsonString(row.text), row.json) << row.json;
    }
    EXPECT_EQ(JsonStringOrNull(std::nullopt), "null");
}

} // namespace
