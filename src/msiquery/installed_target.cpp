#include "msiquery/installed_target.h"

#include "os/win32api.h"
#include "text/split_string.h"

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
