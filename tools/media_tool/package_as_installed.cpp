#include "package_as_installed.h"

#include "msiquery/pack_guid.h"
#include "msiquery/package_queries.h"
#include "msiquery/patch_queries.h"
#include "msiquery/patch_summary.h"
#include "text/split_string.h"

#include <algorithm>

bool IsProductTargeted(const std::string& targetList, const std::string& productCode) {
    const std::string product = PackGUID(productCode);
    std::vector<std::string> codes;
    SplitString(targetList, ";", codes);
    return !product.empty() && std::any_of(codes.begin(), codes.end(), [&](const auto& code) {
        return PackGUID(code) == product;
    });
}

bool CPackageAsInstalled::GetLocalPackage(const std::string& targetList,
                                          std::string& localPackage) {
    std::string productCode;
    if (!GetMSIProductCode(m_strPackage, productCode) ||
        !IsProductTargeted(targetList, productCode)) {
        return false;
    }
    localPackage = m_strPackage;
    return true;
}

bool CPackageAsInstalled::GetHighestAppliedBuild(const std::string& productCode,
                                                 DWORD& highestBuild) {
    highestBuild = 0;
    for (const std::string& patch : m_astrAppliedPatches) {
        std::string target;
        std::string versionText;
        DWORD build = 0;
        if (GetMspTargetID(patch, &target, nullptr, nullptr) &&
            IsProductTargeted(target, productCode) &&
            GetMspBuildVersion(patch, versionText, build)) {
            highestBuild = std::max(highestBuild, build);
        }
    }
    return true;
}
