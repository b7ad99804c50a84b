#include "readiness/installer_version_dialog.h"

#include "readiness/readiness_resource.h"

namespace {

constexpr char kMessage[] = "Windows Installer の各ファイルの同期がとれていない\n"
                            "ため、正常にインストールできない可能性があります。\n"
                            "詳細は、下記サイトを参照してください。";

} // namespace

CWindowsInstallerVerInfo::CWindowsInstallerVerInfo() : CDialog(IDD_WINDOWS_INSTALLER_VERINFO) {}

void CWindowsInstallerVerInfo::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_VERSION_MESSAGE, m_staticMessage);
    DDX_Control(pDX, IDC_VERSION_LINK, m_staticLink);
    DDX_Control(pDX, IDC_VERSION_LIST, m_listVersions);
}

BOOL CWindowsInstallerVerInfo::OnInitDialog() {
    CDialog::OnInitDialog();

    RECT client{};
    GetClientRect(m_listVersions.m_hWnd, &client);
    const int width = client.right - client.left;
    m_listVersions.InsertColumn(0, "ファイル名", LVCFMT_LEFT, static_cast<int>(width * 0.4));
    m_listVersions.InsertColumn(1, "バージョン", LVCFMT_LEFT, static_cast<int>(width * 0.6));
    for (std::size_t row = 0; row < m_aFiles.size(); ++row) {
        m_listVersions.InsertItem(static_cast<int>(row), m_aFiles[row].first);
        m_listVersions.SetItemText(static_cast<int>(row), 1, m_aFiles[row].second);
    }
    m_staticMessage.SetWindowText(kMessage);
    m_staticLink.SetWindowText(m_strLinkAddress);
    // TRUE: the focus goes to the first tab stop, the No button.
    return TRUE;
}
