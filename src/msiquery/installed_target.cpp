#include "msiquery/installed_target.h"

#include "msiquery/pack_guid.h"
#include "os/win32api.h"
#include "text/split_string.h"

#include <algorithm>
#include <vector>

std::string ChooseInstalledTarget(const std::string& targetList) {
    std::vector<std::string> codes;
    SplitString(targetList, ";", codes);
    for (const std::string& code : codes) {
        if (MsiQueryProductStateA(code.c_str()) == INSTALLSTATE_DEFAULT) {
            return code;
        }
    }
    return targetList;
}

bool IsProductTargeted(const std::string& targetList, const std::string& productCode) {
    const std::string product = PackGUID(productCode);
    std::vector<std::string> codes;
    SplitString(targetList, ";", codes);
    return !product.empty() && std::any_of(codes.begin(), codes.end(), [&](const auto& code) {
        return PackGUID(code) == product;
    });
}
