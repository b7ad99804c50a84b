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
    // Each file's name and version, the version "" when unreadable.
    std::vector<std::pair<std::string, std::string>> m_aFiles;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

private:
    CStatic m_staticMessage;
    CHrefStatic m_staticLink;
    CListCtrl m_listVersions;
};
