#include "msiquery/product_inst_dir.h"

#include "msiquery/pack_guid.h"
#include "msiquery/registry_key.h"

namespace {
constexpr char kProductsKey[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\UserData\\S-1-5-18\\Products\\";
} // namespace

bool GetProductInstDir(const std::string& productCode, std::string& folder) {
    const std::string subKey = kProductsKey + PackGUID(productCode);
    CRegistryKey key;
    key.SetAccess(KEY_READ);
    if (!key.Open(HKEY_LOCAL_MACHINE, subKey.c_str(), false, true)) {
        // 64-bit Windows Installer registers products in the 64-bit view, which a 32-bit
        // program only sees when it asks for it.
        key.SetAccess(KEY_READ | KEY_WOW64_64KEY);
        key.Open(HKEY_LOCAL_MACHINE, subKey.c_str(), false, true);
    }
    return key.IsOpen() && key.QueryString("DInstDir", folder);
}
