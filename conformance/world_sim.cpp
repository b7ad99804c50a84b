// The simulated world: one machine for the whole run.
#include "world.h"

#include "sample_packages.h"

#include "os/sim/machine.h"

#include <gtest/gtest.h>

#include <memory>

namespace conformance {
namespace {

class SimulatedMachine : public ::testing::Environment {
public:
    void SetUp() override { m_machine = std::make_unique<sim::Machine>(); }
    void TearDown() override { m_machine.reset(); }

private:
    std::unique_ptr<sim::Machine> m_machine;
};

} // namespace

const char* WorldName() {
    return "sim";
}

bool WorldIsWine() {
    return false;
}

void AddWorldEnvironment() {
    ::testing::AddGlobalTestEnvironment(new SimulatedMachine);
}

namespace {

sim::MsiPackage SamplePatch(const std::string& targets, const char* buildVersion) {
    sim::MsiPackage patch;
    patch.isPatch = true;
    patch.hasPropertyTable = false;
    patch.hasPatchMetadataTable = true;
    patch.patchMetadata.push_back({"", "Classification", "Update"});
    if (buildVersion != nullptr) {
        patch.patchMetadata.push_back({"", "DBuildVersion", buildVersion});
    }
    patch.summary[PID_TITLE] = sim::SummaryValue::Text(kSamplePatchTitle);
    patch.summary[PID_SUBJECT] = sim::SummaryValue::Text("QernoE update");
    patch.summary[PID_AUTHOR] = sim::SummaryValue::Text("Nimbra");
    patch.summary[PID_TEMPLATE] = sim::SummaryValue::Text(targets);
    patch.summary[PID_LASTAUTHOR] = sim::SummaryValue::Text(":T;:#T");
    patch.summary[PID_REVNUMBER] = sim::SummaryValue::Text(kSamplePatchCode);
    patch.summary[PID_WORDCOUNT] = sim::SummaryValue::Integer(3);
    return patch;
}

} // namespace

std::string SamplePackagesFolder() {
    const std::string folder = "C:\\samples\\";
    sim::Machine& machine = sim::Machine::Current();
    if (machine.Files().Exists(folder + "product.msi")) {
        return folder;
    }
    // As wixl builds it from e2e/packages/sample_product.wxs.
    sim::MsiPackage product;
    product.properties = {{"ALLUSERS", "1"},
                          {"DInstallVer", kSampleEdition},
                          {"LongProp", std::string(kSampleLongPropLength, 'L')},
                          {"Manufacturer", "Nimbra"},
                          {"ProductLanguage", "1041"},
                          {"ProductCode", kSampleProductCode},
                          {"ProductName", "QernoE6 E"},
                          {"ProductVersion", kSampleProductVersion},
                          {"UpgradeCode", "{0F0E0D0C-0B0A-0908-0706-050403020100}"}};
    product.summary[PID_TITLE] = sim::SummaryValue::Text("Installation Database");
    product.summary[PID_TEMPLATE] = sim::SummaryValue::Text("Intel;1033");
    product.summary[PID_REVNUMBER] =
        sim::SummaryValue::Text("{A17481C3-3FEB-4FFF-B316-68F8D6E00692}");
    product.summary[PID_WORDCOUNT] = sim::SummaryValue::Integer(2);
    machine.WritePackage(folder + "product.msi", product);
    machine.WritePackage(folder + "build1234.msp", SamplePatch(kSampleProductCode, "6.0.1234"));
    machine.WritePackage(folder + "nobuild.msp", SamplePatch(kSampleProductCode, nullptr));
    machine.WritePackage(folder + "twonumbers.msp", SamplePatch(kSampleProductCode, "6.0"));
    machine.WritePackage(folder + "longtarget.msp", SamplePatch(LongTargetList(), "6.0.1234"));
    // Installed, with the installer's cached copy of the package.
    const std::string cached = "C:\\Windows\\Installer\\3f2a1b.msi";
    machine.WritePackage(cached, product);
    machine.Msi().InstallProduct(kSampleProductCode, {{"LocalPackage", cached},
                                                      {"ProductName", "QernoE6 E"},
                                                      {"VersionString", kSampleProductVersion}});
    return folder;
}

std::string ChangedSignedPackage(const std::string& folder) {
    const std::string path = folder + "changed.msp";
    sim::Machine::Current().WritePackage(path, SamplePatch(kSampleProductCode, "6.0.1234"));
    sim::Machine::Current().Files().SetSignature(path, sim::Signature{u"CN=Test", false, true});
    return path;
}

} // namespace conformance
