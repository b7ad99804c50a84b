#include "package_as_installed.h"

#include "msiquery/installed_target.h"
#include "msiquery/package_queries.h"
#include "msiquery/patch_queries.h"
#include "msiquery/patch_summary.h"

#include <algorithm>

bool CPackageAsInstalled::FindInstalled(const std::string& targetList, std::string& productCode,
                                        std::string& localPackage) {
    std::string packageProduct;
    if (!GetMSIProductCode(m_strPackage, packageProduct) ||
        !IsProductTargeted(targetList, packageProduct)) {
        return false;
    }
    productCode = packageProduct;
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
