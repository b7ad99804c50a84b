// A product package standing in for an installed product, so that the launcher's decision can
// be asked about media before they ship: the package is its own local package, and the patches
// said to be applied give the applied builds.
#pragma once

#include "patch/update_decision.h"

#include <string>
#include <vector>

class CPackageAsInstalled : public CInstalledProduct {
public:
    CPackageAsInstalled(std::string strPackage, std::vector<std::string> astrAppliedPatches)
        : m_strPackage(std::move(strPackage)), m_astrAppliedPatches(std::move(astrAppliedPatches)) {
    }

    // The package itself, when its product is among the targets.
    bool FindInstalled(const std::string& targetList, std::string& productCode,
                       std::string& localPackage) override;
    // The highest DBuildVersion among the applied patches that target the product, as
    // Windows Installer lists only those for it.
    bool GetHighestAppliedBuild(const std::string& productCode, DWORD& highestBuild) override;

private:
    std::string m_strPackage;
    std::vector<std::string> m_astrAppliedPatches;
};
