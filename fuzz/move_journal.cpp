// The journal of moved files as the next run finds it in the registry: any bytes at all. Only
// files of the product's program folder may move, and none may be lost.
#include "backup/move_journal.h"
#include "backup/recover_file.h"
#include "support/update_machine.h"

#include "fuzz_input.h"

#include <algorithm>
#include <string>

namespace {

const char* const kOutside[] = {
    "C:\\Windows\\System32\\a.dll", "C:\\Windows\\System32\\Bakup_a.dll",
    "C:\\Program Files (x86)\\a.dll", "C:\\Program Files (x86)\\Bakup_a.dll"};

// The program folder's files and their bytes, its subfolder's included.
std::string Listing(sim::Machine& machine) {
    std::string listing;
    for (const std::string folder : {"", "Qerno3D\\"}) {
        const sim::FileNode* node = machine.Files().Lookup(test::kProgramFolder + folder);
        for (const auto& [key, child] : node->children) {
            if (!child->IsFolder()) {
                listing += child->data + "\n";
            }
        }
    }
    return listing;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    if (const auto decoded = DecodeMoveJournal(bytes)) {
        const auto again = DecodeMoveJournal(EncodeMoveJournal(*decoded));
        FUZZ_CHECK(again && again->strProductCode == decoded->strProductCode);
    }

    test::UpdateMachine update;
    sim::Machine& machine = update.machine;
    for (const char* path : kOutside) {
        machine.Files().WriteFile(path, path);
    }
    const std::string folder = test::kProgramFolder;
    for (const std::string name :
         {"a.dll", "Bakup_b.dll", "Qerno3D\\Bakup_c.exe", "Qerno3D\\d.exe"}) {
        machine.Files().WriteFile(folder + name, name);
    }
    update.PlantJournal(bytes);
    std::string before = Listing(machine);
    RecoverFile();
    for (const char* path : kOutside) {
        FUZZ_CHECK(machine.Files().ReadFile(path) == path);
    }
    // Moves within the folder only: the same files, under whatever names.
    std::string after = Listing(machine);
    std::sort(before.begin(), before.end());
    std::sort(after.begin(), after.end());
    FUZZ_CHECK(before == after);
    return 0;
}
