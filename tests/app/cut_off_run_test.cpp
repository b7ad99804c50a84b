// A run cut off at any point (a power cut, a run ended from outside) never leaves the product
// without a program file once the next run has been: the moves are journaled before they
// happen, and the next run puts back what was left under a backup name.
#include "support/update_machine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <set>

namespace {

using test::kProgramFolder;

constexpr std::int64_t kFifteenDays = 1'296'000LL * 10'000'000;
const std::string kFolder = kProgramFolder;
constexpr char kPatchCode[] = "{AAAAAAAA-1111-2222-3333-000000001234}";
// The program files a run moves aside, and one it keeps (a main file).
const std::vector<std::string> kMoved = {"a.dll", "b.dll", "Qerno3D\\c.exe"};
const std::vector<std::string> kAll = {"Qerno.exe", "a.dll", "b.dll", "Qerno3D\\c.exe"};

// What the installer does in the run that is cut off.
enum class Installer { LaysAll, LaysAllButOne, Fails, Cancelled, NotStarted };

std::string BackupOf(const std::string& name) {
    const std::size_t slash = name.rfind('\\') + 1;
    return kFolder + name.substr(0, slash) + "Bakup_" + name.substr(slash);
}

class CutOffRun : public test::UpdateMachine {
public:
    CutOffRun() {
        const std::int64_t created = sim::Clock::TicksFromCivil(2026, 11, 1, 0, 0, 0);
        for (const std::string& name : kAll) {
            machine.Files().WriteFile(kFolder + name, name);
            machine.Files().SetFileTimes(kFolder + name, created,
                                         name == "Qerno.exe" ? created : created + kFifteenDays);
        }
        machine.Files().WriteFile(kFolder + "Bakup_a.dll", "older");
    }

    // The installer lays `lays` anew (each a change of the machine's state a cut can stop), and
    // on success registers the patch as applied.
    void SetInstaller(Installer installer) {
        const std::map<Installer, std::pair<DWORD, std::vector<std::string>>> scripts = {
            {Installer::LaysAll, {0, kMoved}},
            {Installer::LaysAllButOne, {0, {"a.dll", "Qerno3D\\c.exe"}}},
            {Installer::Fails, {1603, {"a.dll"}}},
            {Installer::Cancelled, {1602, {}}},
            {Installer::NotStarted, {0, {}}},
        };
        const auto [code, lays] = scripts.at(installer);
        machine.Programs().SetOutcome(installer == Installer::NotStarted
                                          ? sim::Processes::Outcome::Refused
                                          : sim::Processes::Outcome::Started);
        machine.Programs().SetChildProgram([code, lays](sim::Machine& m, const sim::ProcessStart&) {
            for (const std::string& name : lays) {
                if (!m.ChangeState("install " + name)) {
                    return DWORD{1603};
                }
                m.Files().WriteFile(kFolder + name, "new " + name);
            }
            if (code == 0 && m.ChangeState("register the patch")) {
                m.Msi().ApplyPatch(test::kProductCode, {kPatchCode, ":T;:#T", ""});
            }
            return code;
        });
    }

    bool JournalLeft() { return Journal() != nullptr; }

    // What a next run can see of the machine: the program files and their backups, the journal,
    // and whether the patch was registered as applied.
    std::string State() {
        std::string state;
        for (const std::string& name : kAll) {
            for (const std::string& path :
                 {kFolder + name, BackupOf(name), BackupOf(name) + ".old"}) {
                state += path + "=" + machine.Files().ReadFile(path).value_or("-") + "\n";
            }
        }
        const sim::RegValue* journal = Journal();
        state += journal == nullptr ? "no journal" : journal->data;
        return state + (machine.Msi().Patch(kPatchCode) != nullptr ? " applied" : "");
    }

    // What must hold once a run has ended normally ("" when it does): every program file under
    // its own name (so no backup stands alone), the older backup kept or replaced by a newer
    // one, no journal.
    std::string Fault() {
        std::string fault;
        for (const std::string& name : kAll) {
            const auto bytes = machine.Files().ReadFile(kFolder + name);
            if (bytes != name && bytes != "new " + name) {
                fault += name + " is " + bytes.value_or("missing") + "; ";
            }
        }
        const auto older = machine.Files().ReadFile(kFolder + "Bakup_a.dll");
        if (older != "older" && older != "a.dll" && older != "new a.dll") {
            fault += "the older backup is " + older.value_or("missing") + "; ";
        }
        if (JournalLeft()) {
            fault += "a journal is left; ";
        }
        return fault;
    }
};

// The changes of state a whole run makes, uncut.
std::vector<std::string> ChangesOfARun(Installer installer) {
    CutOffRun run;
    run.SetInstaller(installer);
    run.Launch("/silent2");
    return run.machine.StateChanges();
}

// The cuts worth trying among the first `count` changes: a cut at a write of the trace file
// leaves the program files and the registry as the cut at the next change does.
std::vector<std::size_t> DistinctCuts(const std::vector<std::string>& changes, std::size_t count) {
    std::vector<std::size_t> cuts;
    for (std::size_t cut = 1; cut <= count; ++cut) {
        if (changes[cut - 1].find("Install_Setup_Trace.log") == std::string::npos) {
            cuts.push_back(cut);
        }
    }
    return cuts;
}

// A run with this installer, cut at this change; the machine restarted after it. What the next
// run finds.
std::string RunCutOff(CutOffRun& run, Installer installer, std::size_t cut) {
    run.SetInstaller(installer);
    run.machine.CutPowerAt(cut);
    run.Launch("/silent2");
    run.machine.Restart();
    return run.State();
}

TEST(CutOffRunTest, EveryCrashPointIsPutRightByTheNextRun) {
    const std::pair<Installer, const char*> cutRuns[] = {
        {Installer::LaysAll, "lays every file"},
        {Installer::LaysAllButOne, "lays all but one"},
        {Installer::Fails, "fails"},
        {Installer::Cancelled, "is cancelled"},
        {Installer::NotStarted, "cannot be started"},
    };
    std::size_t crashPoints = 0;
    std::set<std::string> left;
    std::size_t tried = 0;
    std::size_t recoveriesCut = 0;
    for (const auto& [installer, what] : cutRuns) {
        const std::vector<std::string> changes = ChangesOfARun(installer);
        crashPoints += changes.size();
        for (const std::size_t cut : DistinctCuts(changes, changes.size())) {
            // Cuts that leave the same machine need one try.
            {
                CutOffRun run;
                if (!left.insert(RunCutOff(run, installer, cut)).second) {
                    continue;
                }
            }
            const std::string where = std::string("installer ") + what + ", cut at change " +
                                      std::to_string(cut) + " (" + changes[cut - 1] + ")";
            for (const Installer next : {Installer::LaysAll, Installer::Fails}) {
                CutOffRun run;
                RunCutOff(run, installer, cut);
                run.SetInstaller(next);
                run.Launch("/silent2");
                ++tried;
                ASSERT_EQ(run.Fault(), "") << where << ", next installer "
                                           << (next == Installer::Fails ? "fails" : "succeeds");
            }
            // The next run cut too, at each change it makes until the journal is gone; then a
            // third run.
            std::vector<std::string> recovery;
            {
                CutOffRun probe;
                RunCutOff(probe, installer, cut);
                probe.SetInstaller(Installer::Fails);
                probe.Launch("/silent2");
                recovery = probe.machine.StateChanges();
            }
            const auto removed =
                std::find(recovery.begin(), recovery.end(), "delete value MovedFiles");
            if (removed == recovery.end()) {
                continue;
            }
            for (const std::size_t inner :
                 DistinctCuts(recovery, static_cast<std::size_t>(removed - recovery.begin()) + 1)) {
                CutOffRun twice;
                RunCutOff(twice, installer, cut);
                RunCutOff(twice, Installer::Fails, inner);
                twice.Launch("/silent2");
                ++recoveriesCut;
                ASSERT_EQ(twice.Fault(), "") << where << ", its recovery cut at " << inner << " ("
                                             << recovery[inner - 1] << ")";
            }
        }
    }
    std::printf("crash points: %zu in whole runs, %zu of them leaving distinct machines; next "
                "runs tried: %zu; recoveries cut at each of their changes: %zu\n",
                crashPoints, left.size(), tried, recoveriesCut);
    EXPECT_GT(recoveriesCut, 0u);
}

} // namespace
