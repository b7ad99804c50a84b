// The edition's patch list: the installed package's "DInstallVer" and package code, and the
// settings copy's "Patch_<edition>" lines, which name the patch package to apply.
#include "run/launch_context.h"
#include "patch/edition_patch_list.h"

#include "fuzz_input.h"
#include "support/trace_file.h"
#include "support/update_machine.h"

#include <string>
#include <vector>

namespace {

constexpr char kSettings[] = "C:\\Users\\user\\AppData\\Local\\Temp\\tmp1A2B.tmp";

} // namespace

// Parts: the edition text, the installed package's package code, the settings copy.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::string_view> parts = fuzz::SplitParts(data, size);
    test::UpdateMachine m;
    sim::MsiPackage product;
    product.properties = {{"ProductCode", test::kProductCode},
                          {"ProductVersion", "6.0.1000"},
                          {"DInstallVer", std::string(parts[0])}};
    product.summary[PID_REVNUMBER] =
        sim::SummaryValue::Text(std::string(parts.size() > 1 ? parts[1] : test::kPackageCode));
    m.machine.WritePackage(test::kLocalPackage, product);
    if (parts.size() > 2) {
        m.machine.Files().WriteFile(kSettings, parts[2]);
    }

    tagLaunchContext context;
    context.strExeDir = test::kMedia;
    context.strDatPath = kSettings;
    tagPatchListing listing;
    {
        // The listed names and codes go to the trace as they stand.
        CTraceLog log;
        log.Open(test::kTracePath, "QernoE_Update");
        g_pTraceLog = &log;
        listing = ChkInstall(context, test::kLocalPackage);
        log.Close();
        g_pTraceLog = nullptr;
    }
    const bool found = listing.bFound;
    const std::string& chosen = listing.strPatchPath;
    FUZZ_CHECK(!found || m.machine.Files().Exists(chosen));
    // Whatever the settings say, the package applied is one of the media's own.
    if (found) {
        std::string name;
        DWORD error = 0;
        const auto folder = m.machine.Files().ParentFolder(chosen, name, error);
        FUZZ_CHECK(folder != nullptr &&
                   folder.get() == m.machine.Files().Lookup(test::kPatchFolder));
    }
    FUZZ_CHECK(chosen.empty() || chosen.rfind(test::kPatchFolder, 0) == 0);
    FUZZ_CHECK(m.machine.Msi().OpenHandles() == 0);
    return 0;
}
