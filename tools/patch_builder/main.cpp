// patch_builder: makes a Windows Installer patch (.msp) that brings an installed product from
// one package to an upgraded package of the same product code. Run it on Windows or Wine.
#include "package_reader.h"
#include "patch_layout.h"
#include "patch_writer.h"

#include <windows.h>
#include <objbase.h>

#include <cctype>
#include <cstdio>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

using namespace patch_builder;

namespace {

constexpr char kUsage[] =
    "usage: patch_builder TARGET.msi UPGRADED.msi OUT.msp /build VERSION\n"
    "                     [/code {PATCH-CODE}] [/title TITLE]\n"
    "\n"
    "Builds a patch that brings a product installed from TARGET.msi to UPGRADED.msi. Both\n"
    "packages must have the same ProductCode; UPGRADED.msi keeps its files in an embedded\n"
    "cabinet. The patch carries every file whose row or hash differs, and every table row\n"
    "that differs.\n"
    "\n"
    "  /build VERSION  the build the patch brings, e.g. 6.0.1234 (patch metadata\n"
    "                  DBuildVersion)\n"
    "  /code GUID      the patch code, braced; a new one when left out\n"
    "  /title TITLE    the patch title; \"<ProductName> Build <last number of VERSION>\"\n"
    "                  when left out\n";

constexpr char kCabinetName[] = "PatchFiles.cab";
// Wine reads the low word of the validation flags, Windows the high word: the product code
// is checked (and, on Windows, the upgrade code), not the version, so that patches of later
// builds apply on top of earlier ones.
constexpr std::int32_t kValidationFlags = 0x08020002;
constexpr std::int32_t kMinimumInstallerVersion = 200;

struct Arguments {
    std::string target;
    std::string upgraded;
    std::string output;
    std::string build;
    std::string code;
    std::string title;
};

class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

Arguments ParseArguments(int argc, char** argv) {
    Arguments arguments;
    std::vector<std::string> files;
    std::map<std::string, std::string*> options = {
        {"/build", &arguments.build}, {"/code", &arguments.code}, {"/title", &arguments.title}};
    for (int i = 1; i < argc; ++i) {
        std::string word = argv[i];
        if (word == "/?" || word == "-h" || word == "--help") {
            throw UsageError("");
        }
        if (!word.empty() && (word[0] == '/' || word[0] == '-') && word.size() > 1 &&
            word[1] != ':') {
            word[0] = '/';
            const auto option = options.find(word);
            if (option == options.end()) {
                throw UsageError("unknown option " + std::string(argv[i]));
            }
            if (i + 1 >= argc) {
                throw UsageError(word + " needs a value");
            }
            *option->second = argv[++i];
        } else {
            files.push_back(word);
        }
    }
    if (files.size() != 3) {
        throw UsageError("give the target package, the upgraded package and the patch to write");
    }
    arguments.target = files[0];
    arguments.upgraded = files[1];
    arguments.output = files[2];
    if (arguments.build.empty()) {
        throw UsageError("/build VERSION is required");
    }
    return arguments;
}

// Three or four dot-separated numbers as the installer reads versions; the last one names
// the build in the default title.
std::string BuildNumber(const std::string& version) {
    std::vector<std::string> parts(1);
    for (char c : version) {
        if (c == '.') {
            parts.emplace_back();
        } else if (c >= '0' && c <= '9') {
            parts.back() += c;
        } else {
            parts.clear();
            break;
        }
    }
    bool valid = parts.size() >= 3 && parts.size() <= 4;
    for (const std::string& part : parts) {
        valid = valid && !part.empty() && part.size() <= 5 && std::stoul(part) <= 65535;
    }
    if (!valid) {
        throw UsageError("/build " + version + ": give a version such as 6.0.1234");
    }
    return parts[2];
}

bool IsBracedGuid(const std::string& text) {
    if (text.size() != 38 || text.front() != '{' || text.back() != '}') {
        return false;
    }
    for (std::size_t i = 1; i < 37; ++i) {
        const char c = text[i];
        const bool dash = i == 9 || i == 14 || i == 19 || i == 24;
        if (dash ? c != '-' : !std::isxdigit(static_cast<unsigned char>(c))) {
            return false;
        }
    }
    return true;
}

std::string NewGuid() {
    GUID guid;
    if (FAILED(CoCreateGuid(&guid))) {
        throw std::runtime_error("no new patch code could be made");
    }
    char text[39];
    std::snprintf(text, sizeof text, "{%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                  static_cast<unsigned long>(guid.Data1), guid.Data2, guid.Data3, guid.Data4[0],
                  guid.Data4[1], guid.Data4[2], guid.Data4[3], guid.Data4[4], guid.Data4[5],
                  guid.Data4[6], guid.Data4[7]);
    return text;
}

// The embedded cabinet that holds the upgraded package's copies of `files`.
std::string CabinetOf(const Database& upgraded, const std::vector<std::string>& files) {
    const Table* media = upgraded.Find("Media");
    const Table* fileTable = upgraded.Find("File");
    if (media == nullptr || fileTable == nullptr) {
        throw std::runtime_error("the upgraded package has no Media or File table");
    }
    const int lastSequence = media->ColumnIndex("LastSequence");
    const int cabinetColumn = media->ColumnIndex("Cabinet");
    const int sequenceColumn = fileTable->ColumnIndex("Sequence");
    std::string cabinet;
    for (const std::string& key : files) {
        const Row* file = fileTable->FindRow(Row{Field::Text(key)});
        const std::int32_t sequence = (*file)[sequenceColumn].number;
        const Row* medium = nullptr;
        for (const Row& row : media->rows) {
            if (row[lastSequence].number >= sequence &&
                (medium == nullptr || row[lastSequence].number < (*medium)[lastSequence].number)) {
                medium = &row;
            }
        }
        const std::string name = medium == nullptr ? "" : (*medium)[cabinetColumn].bytes;
        if (name.size() < 2 || name[0] != '#') {
            throw std::runtime_error("file " + key +
                                     " is not in an embedded cabinet of the upgraded package");
        }
        if (!cabinet.empty() && cabinet != name) {
            throw std::runtime_error("the changed files lie in more than one cabinet (" + cabinet +
                                     ", " + name + "); build the upgraded package with one");
        }
        cabinet = name;
    }
    return cabinet.substr(1);
}

std::vector<SummaryProperty> TransformSummary(const Package& from, const Package& to) {
    const Database& a = from.database;
    const Database& b = to.database;
    return {SummaryProperty::Short(summary_id::kCodepage, static_cast<std::int16_t>(GetACP())),
            SummaryProperty::Text(summary_id::kTemplate, from.platformAndLanguages),
            SummaryProperty::Text(summary_id::kLastSavedBy, to.platformAndLanguages),
            SummaryProperty::Text(summary_id::kRevisionNumber,
                                  a.Property("ProductCode") + a.Property("ProductVersion") + ";" +
                                      b.Property("ProductCode") + b.Property("ProductVersion") +
                                      ";" + b.Property("UpgradeCode")),
            SummaryProperty::Long(summary_id::kPageCount, kMinimumInstallerVersion),
            SummaryProperty::Long(summary_id::kCharacterCount, kValidationFlags)};
}

std::string FileName(const Database& database, const std::string& key) {
    const Table* files = database.Find("File");
    const Row* row = files->FindRow(Row{Field::Text(key)});
    std::string name = (*row)[files->ColumnIndex("FileName")].bytes;
    const std::size_t bar = name.find('|');
    return bar == std::string::npos ? name : name.substr(bar + 1);
}

int Build(const Arguments& arguments) {
    const std::string buildNumber = BuildNumber(arguments.build);
    const std::string patchCode = arguments.code.empty() ? NewGuid() : arguments.code;
    if (!IsBracedGuid(patchCode)) {
        throw UsageError("/code " + patchCode + ": give a braced GUID");
    }
    const Package target = ReadPackage(arguments.target);
    Package upgraded = ReadPackage(arguments.upgraded);
    const std::string productCode = target.database.Property("ProductCode");
    if (productCode.empty()) {
        throw std::runtime_error(arguments.target + " has no ProductCode");
    }
    if (upgraded.database.Property("ProductCode") != productCode) {
        throw std::runtime_error("the packages have different product codes (" + productCode +
                                 ", " + upgraded.database.Property("ProductCode") +
                                 "); a patch cannot change the product code");
    }

    PatchContent content;
    content.title = arguments.title.empty()
                        ? upgraded.database.Property("ProductName") + " Build " + buildNumber
                        : arguments.title;
    content.subject = upgraded.database.Property("ProductName");
    content.author = upgraded.database.Property("Manufacturer");
    content.targets = productCode;
    content.patchCode = patchCode;
    content.buildVersion = arguments.build;
    content.family = "Build";
    content.productCode = productCode;
    content.codepage = upgraded.codepage;
    content.upgrade = Diff(target.database, upgraded.database);
    content.upgradeSummary = TransformSummary(target, upgraded);

    const std::vector<std::string> files = ChangedFiles(content.upgrade, upgraded.database);
    if (!files.empty()) {
        content.cabinetName = kCabinetName;
        content.cabinet =
            ReadPackageStream(arguments.upgraded, CabinetOf(upgraded.database, files));
    }
    content.layout =
        Diff(upgraded.database, PatchedDatabase(upgraded.database, files, patchCode, kCabinetName));
    content.layoutSummary = TransformSummary(upgraded, upgraded);
    WritePatch(arguments.output, content);

    std::printf("%s: \"%s\", patch code %s, for product %s\n", arguments.output.c_str(),
                content.title.c_str(), patchCode.c_str(), productCode.c_str());
    std::printf("  build %s; %s -> %s\n", arguments.build.c_str(),
                target.database.Property("ProductVersion").c_str(),
                upgraded.database.Property("ProductVersion").c_str());
    std::printf("  files (%u):", static_cast<unsigned>(files.size()));
    for (const std::string& key : files) {
        std::printf(" %s", FileName(upgraded.database, key).c_str());
    }
    std::printf("\n  rows changed:");
    for (const TableTransform& table : content.upgrade.tables) {
        std::printf(" %s %u", table.table.c_str(), static_cast<unsigned>(table.rows.size()));
    }
    std::printf("\n");
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    try {
        return Build(ParseArguments(argc, argv));
    } catch (const UsageError& error) {
        if (error.what()[0] != '\0') {
            std::fprintf(stderr, "patch_builder: %s\n\n", error.what());
        }
        std::fputs(kUsage, error.what()[0] != '\0' ? stderr : stdout);
        return error.what()[0] != '\0' ? 2 : 0;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "patch_builder: %s\n", error.what());
        return 1;
    }
}
