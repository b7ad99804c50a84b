#include "os/sim/installer.h"

#include "text/mbstring.h"

#include <cctype>
#include <charconv>
#include <stdexcept>

namespace sim {
namespace {

constexpr std::string_view kMagic = "SIM-MSI 1\n";

// Each field as "<length>:<bytes>", so any byte can stand in a value.
void Put(std::string& out, std::string_view field) {
    out += std::to_string(field.size());
    out += ':';
    out += field;
}

bool Take(std::string_view& in, std::string& field) {
    const std::size_t colon = in.find(':');
    if (colon == std::string_view::npos) {
        return false;
    }
    std::size_t length = 0;
    auto [end, error] = std::from_chars(in.data(), in.data() + colon, length);
    if (error != std::errc() || end != in.data() + colon || in.size() - colon - 1 < length) {
        return false;
    }
    field = std::string(in.substr(colon + 1, length));
    in.remove_prefix(colon + 1 + length);
    return true;
}

bool TakeNumber(std::string_view& in, long long& number) {
    std::string field;
    if (!Take(in, field)) {
        return false;
    }
    auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), number);
    return error == std::errc() && end == field.data() + field.size();
}

} // namespace

std::string MsiPackage::Encode() const {
    std::string out(kMagic);
    Put(out, isPatch ? "patch" : "package");
    Put(out, hasPropertyTable ? "1" : "0");
    Put(out, hasPatchMetadataTable ? "1" : "0");
    Put(out, std::to_string(properties.size()));
    for (const auto& [name, value] : properties) {
        Put(out, name);
        Put(out, value);
    }
    Put(out, std::to_string(patchMetadata.size()));
    for (const auto& row : patchMetadata) {
        for (const std::string& field : row) {
            Put(out, field);
        }
    }
    Put(out, std::to_string(summary.size()));
    for (const auto& [id, value] : summary) {
        Put(out, std::to_string(id));
        Put(out, std::to_string(value.type));
        Put(out, std::to_string(value.integer));
        Put(out, std::to_string(value.fileTime));
        Put(out, value.text);
    }
    return out;
}

std::optional<MsiPackage> MsiPackage::Decode(std::string_view in) {
    if (in.substr(0, kMagic.size()) != kMagic) {
        return std::nullopt;
    }
    in.remove_prefix(kMagic.size());
    MsiPackage package;
    std::string kind;
    std::string flag;
    long long count = 0;
    if (!Take(in, kind) || (kind != "patch" && kind != "package")) {
        return std::nullopt;
    }
    package.isPatch = kind == "patch";
    if (!Take(in, flag)) {
        return std::nullopt;
    }
    package.hasPropertyTable = flag == "1";
    if (!Take(in, flag)) {
        return std::nullopt;
    }
    package.hasPatchMetadataTable = flag == "1";
    if (!TakeNumber(in, count)) {
        return std::nullopt;
    }
    for (long long row = 0; row < count; ++row) {
        std::string name;
        std::string value;
        if (!Take(in, name) || !Take(in, value)) {
            return std::nullopt;
        }
        package.properties.emplace_back(name, value);
    }
    if (!TakeNumber(in, count)) {
        return std::nullopt;
    }
    for (long long row = 0; row < count; ++row) {
        std::array<std::string, 3> fields;
        for (std::string& field : fields) {
            if (!Take(in, field)) {
                return std::nullopt;
            }
        }
        package.patchMetadata.push_back(fields);
    }
    if (!TakeNumber(in, count)) {
        return std::nullopt;
    }
    for (long long row = 0; row < count; ++row) {
        long long id = 0;
        long long type = 0;
        long long integer = 0;
        long long fileTime = 0;
        SummaryValue value;
        if (!TakeNumber(in, id) || !TakeNumber(in, type) || !TakeNumber(in, integer) ||
            !TakeNumber(in, fileTime) || !Take(in, value.text)) {
            return std::nullopt;
        }
        value.type = static_cast<UINT>(type);
        value.integer = static_cast<INT>(integer);
        value.fileTime = fileTime;
        package.summary[static_cast<UINT>(id)] = value;
    }
    return package;
}

bool IsGuidText(std::string_view text) {
    if (text.size() != 38 || text.front() != '{' || text.back() != '}') {
        return false;
    }
    for (std::size_t at = 1; at < 37; ++at) {
        const bool hyphen = at == 9 || at == 14 || at == 19 || at == 24;
        if (hyphen ? text[at] != '-' : !std::isxdigit(static_cast<unsigned char>(text[at]))) {
            return false;
        }
    }
    return true;
}

void Installer::InstallProduct(const std::string& productCode,
                               std::map<std::string, std::string> info) {
    m_products[text::MakeUpper(productCode)].info = std::move(info);
}

void Installer::ApplyPatch(const std::string& productCode, AppliedPatch patch) {
    // Windows registers nothing else, and MsiEnumPatchesA's caller sizes its buffer for one.
    if (!IsGuidText(patch.patchCode)) {
        throw std::invalid_argument("sim: a patch code is a braced GUID");
    }
    const std::string productKey = text::MakeUpper(productCode);
    std::vector<AppliedPatch>& patches = m_products[productKey].patches;
    const PatchPlace place{productKey, patches.size()};
    auto [known, added] = m_patchPlaces.emplace(text::MakeUpper(patch.patchCode), place);
    if (!added && productKey < known->second.productKey) {
        known->second = place;
    }
    patches.push_back(std::move(patch));
}

const InstalledProduct* Installer::Product(std::string_view productCode) const {
    auto found = m_products.find(text::MakeUpper(productCode));
    return found == m_products.end() ? nullptr : &found->second;
}

const AppliedPatch* Installer::Patch(std::string_view patchCode) const {
    auto found = m_patchPlaces.find(text::MakeUpper(patchCode));
    if (found == m_patchPlaces.end()) {
        return nullptr;
    }
    return &m_products.at(found->second.productKey).patches[found->second.index];
}

MSIHANDLE Installer::Add(Object object) {
    const MSIHANDLE handle = m_nextHandle++;
    m_handles.emplace(handle, std::move(object));
    return handle;
}

Installer::Object* Installer::Get(MSIHANDLE handle) {
    auto found = m_handles.find(handle);
    return found == m_handles.end() ? nullptr : &found->second;
}

bool Installer::Close(MSIHANDLE handle) {
    return m_handles.erase(handle) != 0;
}

} // namespace sim
