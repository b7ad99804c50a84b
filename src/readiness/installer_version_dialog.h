// The dialog that lists the Windows Installer engine files with their versions when they
// disagree, points to a web page, and asks whether to go on (Yes: 1, No or Esc: 2).
#pragma once

#include "framework/dialog.h"
#include "readiness/href_static.h"

#include <string>
#include <vector>

class CWindowsInstallerVerInfo : public CDialog {
public:
    CWindowsInstallerVerInfo();

    std::string m_strLinkAddress;
    std::vector<std::string> m_astrFileNames;
    std::vector<std::string> m_astrFileVersions; // one per file name, "" when unreadable

    // Widths of the name and version columns for a list of this client width.
    static std::pair<int, int> ColumnWidths(int listWidth);

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

private:
    CStatic m_staticMessage;
    CHrefStatic m_staticLink;
    CListCtrl m_listVersions;
};
