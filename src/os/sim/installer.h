// The simulated Windows Installer: package and patch files stored in the simulated file
// system (Property table, MsiPatchMetadata table, summary information), installed products
// with their product information and applied patches, and the handles msi.dll hands out.
#pragma once

#include "os/sim/sim_api.h"

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace sim {

struct SummaryValue {
    UINT type = VT_EMPTY;
    INT integer = 0;
    std::int64_t fileTime = 0;
    std::string text;

    static SummaryValue Text(std::string text) { return {VT_LPSTR, 0, 0, std::move(text)}; }
    static SummaryValue Integer(INT value, UINT type = VT_I4) { return {type, value, 0, ""}; }
    static SummaryValue Time(std::int64_t ticks) { return {VT_FILETIME, 0, ticks, ""}; }
};

// The contents of one .msi or .msp file.
struct MsiPackage {
    bool isPatch = false;
    bool hasPropertyTable = true;
    bool hasPatchMetadataTable = false;
    std::vector<std::pair<std::string, std::string>> properties; // Property, Value
    std::vector<std::array<std::string, 3>> patchMetadata;       // Company, Property, Value
    std::map<UINT, SummaryValue> summary;

    // Encoded as the bytes of a file of the simulated file system, and read back.
    std::string Encode() const;
    static std::optional<MsiPackage> Decode(std::string_view bytes);
};

struct AppliedPatch {
    std::string patchCode;
    std::string transforms;
    std::string localPackage;
};

struct InstalledProduct {
    std::map<std::string, std::string> info; // product information by attribute name
    std::vector<AppliedPatch> patches;
};

class Installer {
public:
    // Setting the machine up. A patch code is a braced GUID (anything else throws).
    void InstallProduct(const std::string& productCode, std::map<std::string, std::string> info);
    void ApplyPatch(const std::string& productCode, AppliedPatch patch);
    const InstalledProduct* Product(std::string_view productCode) const;
    const AppliedPatch* Patch(std::string_view patchCode) const;

    // Handles; every one a call hands out counts until MsiCloseHandle.
    struct Database {
        MsiPackage package;
    };
    struct View {
        std::vector<std::vector<std::optional<std::string>>> rows;
        std::size_t next = 0;
        bool executed = false;
    };
    struct Record {
        std::vector<std::optional<std::string>> fields; // field 1 at index 0
    };
    struct Summary {
        std::map<UINT, SummaryValue> values;
    };
    using Object = std::variant<Database, View, Record, Summary>;

    MSIHANDLE Add(Object object);
    Object* Get(MSIHANDLE handle);
    bool Close(MSIHANDLE handle);
    std::size_t OpenHandles() const { return m_handles.size(); }

private:
    // Where an applied patch is found: its product's key in m_products and its place there.
    struct PatchPlace {
        std::string productKey;
        std::size_t index = 0;
    };

    std::map<std::string, InstalledProduct> m_products; // by upper-case product code
    // By upper-case patch code, the first applied patch of that code (products in key order,
    // patches in the order applied): msi.dll finds a patch by its code at once, however many
    // are applied.
    std::map<std::string, PatchPlace> m_patchPlaces;
    std::map<MSIHANDLE, Object> m_handles;
    MSIHANDLE m_nextHandle = 1;
};

// A braced GUID text as msi.dll accepts it: {8-4-4-4-12 hexadecimal digits}.
bool IsGuidText(std::string_view text);

} // namespace sim
