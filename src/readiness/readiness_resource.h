// Ids of the version information dialog (template 134) and its controls.
#pragma once

#define IDD_WINDOWS_INSTALLER_VERINFO 134
#define IDC_VERSION_LIST 1003
#define IDC_VERSION_MESSAGE 1004
#define IDC_VERSION_LINK 1005
#define IDC_VERSION_QUESTION 1006
