// One whole launch on the simulated machine, from the outside inputs of a real one: the command
// line, the media's Install.dat and a patch package on the media. Whatever they hold, the run
// must end with every handle, block and temporary file it made given back. The launcher's
// Japanese texts are not looked at: this build leaves them in UTF-8.
#include "app/installer_atom.h"
#include "text/mbstring.h"

#include "fuzz_input.h"
#include "support/compiled_resources.h"
#include "support/trace_file.h"
#include "support/update_machine.h"

#include <string>
#include <vector>

namespace {

// Sorts before the media's own QernoE6_ALPHA_1234.msp, so it is the package the launcher
// probes for the product first.
constexpr char kExtraPatch[] = "C:\\Media\\MSP\\QernoE6_ALPHA_1000.msp";

// The letters of the last part, each one way the machine differs from the usual one.
void SetUp(test::UpdateMachine& m, std::string_view letters) {
    std::vector<sim::UserAction> answers;
    for (const char letter : letters) {
        switch (letter) {
        case 'E': // the installer engine files disagree, so the dialog asks
            m.machine.Files().SetFileVersion(test::kMsiexec, 4, 5, 6001, 1);
            m.machine.Files().SetFileVersion("C:\\Windows\\System32\\msi.dll", 3, 1, 4000, 1);
            break;
        case 'Y':
            answers.push_back(sim::UserAction::Yes);
            break;
        case 'N':
            answers.push_back(sim::UserAction::No);
            break;
        case 'X':
            answers.push_back(sim::UserAction::Escape);
            break;
        case 'R':
            answers.push_back(sim::UserAction::Enter);
            break;
        case 'L':
            answers.push_back(sim::UserAction::ClickLink);
            break;
        case 'A': // the product's own installer is running
            m.machine.AddAtom(kInstallerAtomName);
            break;
        case 'P':
            m.ApplyEarlier("{BBBBBBBB-1111-2222-3333-000000001234}", "6.0.1234");
            break;
        case 'F':
            m.machine.Programs().SetChildProgram(
                [](sim::Machine&, const sim::ProcessStart&) { return DWORD{1603}; });
            break;
        case 'Q':
            m.machine.Programs().SetOutcome(sim::Processes::Outcome::Refused);
            break;
        default:
            break;
        }
    }
    m.machine.Ui().Script(std::move(answers));
}

bool IsSettingsCopy(const std::string& name) {
    const std::string upper = text::MakeUpper(name);
    return upper.size() >= 7 && upper.rfind("TMP", 0) == 0 &&
           upper.compare(upper.size() - 4, 4, ".TMP") == 0;
}

void CheckEverythingGivenBack(test::UpdateMachine& m, int exitCode) {
    sim::Machine& machine = m.machine;
    FUZZ_CHECK(machine.OpenFinds() == 0);
    FUZZ_CHECK(machine.Msi().OpenHandles() == 0);
    FUZZ_CHECK(machine.Keys().OpenKeys() == 0);
    FUZZ_CHECK(machine.Programs().OpenHandles() == 0);
    FUZZ_CHECK(machine.LiveLocalBlocks() == 0);
    FUZZ_CHECK(machine.OpenMutexHandles() == 0);
    FUZZ_CHECK(machine.Ui().LiveGdiObjects() == 0);
    FUZZ_CHECK(machine.Ui().LiveOwnCursors() == 0);
    FUZZ_CHECK(machine.Ui().LoadedModules() == 0);
    const sim::FileNode* temp = machine.Files().Lookup(test::kTempFolder);
    FUZZ_CHECK(temp != nullptr);
    for (const auto& [key, node] : temp->children) {
        FUZZ_CHECK(!IsSettingsCopy(node->name));
    }
    FUZZ_CHECK(m.Trace().find("Setup ExitCode=" + std::to_string(exitCode) + "\r\n") !=
               std::string::npos);
}

} // namespace

// Parts: the command line; Install.dat (none without the part); the extra patch package (none
// when empty); the machine's letters (see SetUp), where "2" launches a second time.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string resources = test::CompiledResources();
    const std::vector<std::string_view> parts = fuzz::SplitParts(data, size);
    const std::string_view letters = parts.size() > 3 ? parts[3] : "";

    test::UpdateMachine m;
    m.machine.Ui().LoadResources(resources);
    const std::string settings = std::string(test::kMedia) + "Install.dat";
    DeleteFileA(settings.c_str());
    if (parts.size() > 1) {
        const bool readOnly = letters.find('O') != std::string_view::npos;
        m.machine.Files().WriteFile(settings, parts[1],
                                    readOnly ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_ARCHIVE);
    }
    if (parts.size() > 2 && !parts[2].empty()) {
        m.machine.Files().WriteFile(kExtraPatch, parts[2]);
    }
    SetUp(m, letters);

    const int launches = letters.find('2') != std::string_view::npos ? 2 : 1;
    for (int launch = 0; launch < launches; ++launch) {
        const int exitCode = m.Launch(std::string(parts[0]));
        CheckEverythingGivenBack(m, exitCode);
    }
    return 0;
}
