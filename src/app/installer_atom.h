#pragma once

// The global atom the product's own installer registers while it runs. The launcher does
// nothing while it exists, so the installer must register exactly this name.
constexpr char kInstallerAtomName[] = "QernoE_Installer_Running";
