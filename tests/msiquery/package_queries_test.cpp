#include "msiquery/package_queries.h"

#include "os/sim/machine.h"
#include "support/trace_file.h"

#include <gtest/gtest.h>

namespace {

using test::CrLfLines;
using test::TraceOf;

constexpr char kPackage[] = "C:\\Windows\\Installer\\1a2b3c.msi";
constexpr char kProduct[] = "{12345678-ABCD-EF01-2345-6789ABCDEF01}";

class PackageQueriesTest : public ::testing::Test {
protected:
    void SetUp() override {
        sim::MsiPackage package;
        package.properties = {{"ProductCode", kProduct},
                              {"ProductVersion", "6.0.1234"},
                              {"DInstallVer", "QernoE6 E"},
                              {"Empty", ""},
                              {"Long", std::string(5000, 'L')}};
        machine.WritePackage(kPackage, package);
    }
    void TearDown() override { EXPECT_EQ(machine.Msi().OpenHandles(), 0u); }

    sim::Machine machine;
    std::string value = "untouched";
};

TEST_F(PackageQueriesTest, AFoundPropertyAndItsTrace) {
    EXPECT_EQ(
        TraceOf(machine, [&] { EXPECT_TRUE(GetMSIProperty("DInstallVer", kPackage, value)); }),
        CrLfLines({"    GetMSIProperty-Start", "        Property:DInstallVer",
                   "        Data    :QernoE6 E", "    GetMSIProperty-End"}));
    EXPECT_EQ(value, "QernoE6 E");
}

TEST_F(PackageQueriesTest, AnEmptyValueIsReadAsEmpty) {
    EXPECT_EQ(TraceOf(machine, [&] { EXPECT_TRUE(GetMSIProperty("Empty", kPackage, value)); }),
              CrLfLines({"    GetMSIProperty-Start", "        Property:Empty",
                         "        Data    :", "    GetMSIProperty-End"}));
    EXPECT_EQ(value, "");
}

TEST_F(PackageQueriesTest, AValueOfThousandsOfCharactersIsReadWhole) {
    EXPECT_TRUE(GetMSIProperty("Long", kPackage, value));
    EXPECT_EQ(value, std::string(5000, 'L'));
}

TEST_F(PackageQueriesTest, AMissingPropertyFailsAtTheFetch) {
    SetLastError(0);
    EXPECT_EQ(TraceOf(machine, [&] { EXPECT_FALSE(GetMSIProperty("None", kPackage, value)); }),
              CrLfLines({"    GetMSIProperty-Start", "        Property:None",
                         "        MsiViewFetch Err：ErrCode = 0,ErrMsg = The operation completed "
                         "successfully.",
                         "    GetMSIProperty-End"}));
    EXPECT_EQ(value, "untouched");
}

TEST_F(PackageQueriesTest, ProductCodeWithAndWithoutItsRow) {
    EXPECT_TRUE(GetMSIProductCode(kPackage, value));
    EXPECT_EQ(value, kProduct);
    sim::MsiPackage bare;
    machine.WritePackage("C:\\bare.msi", bare);
    std::string code = "untouched";
    const std::string trace =
        TraceOf(machine, [&] { EXPECT_FALSE(GetMSIProductCode("C:\\bare.msi", code)); });
    EXPECT_NE(trace.find("        Property:ProductCode\r\n        MsiViewFetch Err"),
              std::string::npos)
        << trace;
    EXPECT_EQ(code, "untouched");
}

TEST_F(PackageQueriesTest, PackagesThatCannotBeOpenedOrQueried) {
    SetLastError(0);
    std::string trace = TraceOf(
        machine, [&] { EXPECT_FALSE(GetMSIProperty("DInstallVer", "C:\\none.msi", value)); });
    EXPECT_EQ(trace, CrLfLines({"    GetMSIProperty-Start", "        Property:DInstallVer",
                                "        MsiOpenDatabase Err：ErrCode = 2,ErrMsg = The system "
                                "cannot find the file specified.",
                                "    GetMSIProperty-End"}));
    // A patch is not a package.
    sim::MsiPackage patch;
    patch.isPatch = true;
    machine.WritePackage("C:\\x.msp", patch);
    trace =
        TraceOf(machine, [&] { EXPECT_FALSE(GetMSIProperty("DInstallVer", "C:\\x.msp", value)); });
    EXPECT_NE(trace.find("        MsiOpenDatabase Err："), std::string::npos) << trace;
    // Not an installer file at all.
    machine.Files().WriteFile("C:\\text.msi", "plain text");
    EXPECT_FALSE(GetMSIProperty("DInstallVer", "C:\\text.msi", value));
    // No Property table: the view cannot be opened.
    sim::MsiPackage tableless;
    tableless.hasPropertyTable = false;
    machine.WritePackage("C:\\tableless.msi", tableless);
    trace =
        TraceOf(machine, [&] { EXPECT_FALSE(GetMSIProperty("X", "C:\\tableless.msi", value)); });
    EXPECT_NE(trace.find("        MsiDatabaseOpenView Err："), std::string::npos) << trace;
    EXPECT_EQ(value, "untouched");
}

class ProductInfoTest : public PackageQueriesTest {
protected:
    void SetUp() override {
        machine.Msi().InstallProduct(kProduct, {{"LocalPackage", kPackage},
                                                {"ProductName", "QernoE6"},
                                                {"Limit", std::string(511, 'x')},
                                                {"TooLong", std::string(512, 'x')}});
    }
};

TEST_F(ProductInfoTest, AnAttributeOfAnInstalledProduct) {
    EXPECT_EQ(
        TraceOf(machine, [&] { EXPECT_TRUE(GetMSIProductInfo(kProduct, "LocalPackage", value)); }),
        CrLfLines({"    GetMSIProductInfo-Start", "        Property:LocalPackage",
                   std::string("        Value   :") + kPackage, "    GetMSIProductInfo-End"}));
    EXPECT_EQ(value, kPackage);
    EXPECT_TRUE(GetMSIProductInfo(kProduct, "Limit", value));
    EXPECT_EQ(value.size(), 511u);
}

TEST_F(ProductInfoTest, ValuesOf512CharactersOrMoreAndUnknownProductsFail) {
    value = "untouched";
    SetLastError(0);
    EXPECT_EQ(
        TraceOf(machine, [&] { EXPECT_FALSE(GetMSIProductInfo(kProduct, "TooLong", value)); }),
        CrLfLines({"    GetMSIProductInfo-Start", "        Property:TooLong",
                   "        GetMSIProductInfo Err：ErrCode = 0,ErrMsg = The operation "
                   "completed successfully.",
                   "    GetMSIProductInfo-End"}));
    EXPECT_FALSE(
        GetMSIProductInfo("{00000000-0000-0000-0000-000000000000}", "LocalPackage", value));
    EXPECT_FALSE(GetMSIProductInfo("not a code", "LocalPackage", value));
    EXPECT_FALSE(GetMSIProductInfo(kProduct, "NoSuchAttribute", value));
    EXPECT_EQ(value, "untouched");
}

TEST_F(ProductInfoTest, WithoutTraceTheResultsAreTheSame) {
    g_pTraceLog = nullptr;
    EXPECT_TRUE(GetMSIProductInfo(kProduct, "ProductName", value));
    EXPECT_EQ(value, "QernoE6");
    EXPECT_FALSE(GetMSIProductInfo(kProduct, "TooLong", value));
    EXPECT_EQ(value, "QernoE6");
}

} // namespace
