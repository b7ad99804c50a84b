#include "readiness/installer_version_dialog.h"

#include "readiness/readiness_resource.h"

namespace {

constexpr char kMessage[] = "Windows Installer の各ファイルの同期がとれていない\n"
                            "ため、正常にインストールできない可能性があります。\n"
                            "詳細は、下記サイトを参照してください。";

} // namespace

CWindowsInstallerVerInfo::CWindowsInstallerVerInfo() : CDialog(IDD_WINDOWS_INSTALLER_VERINFO) {}

std::pair<int, int> CWindowsInstallerVerInfo::ColumnWidths(int listWidth) {
    return {static_cast<int>(listWidth * 0.4), static_cast<int>(listWidth * 0.6)};
}

void CWindowsInstallerVerInfo::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_VERSION_MESSAGE, m_staticMessage);
    DDX_Control(pDX, IDC_VERSION_LINK, m_staticLink);
    DDX_Control(pDX, IDC_VERSION_LIST, m_listVersions);
}

BOOL CWindowsInstallerVerInfo::OnInitDialog() {
    CDialog::OnInitDialog();

    const RECT client = m_listVersions.GetClientRect();
    const auto [nameWidth, versionWidth] = ColumnWidths(client.right - client.left);
    m_listVersions.InsertColumn(0, "ファイル名", LVCFMT_LEFT, nameWidth);
    m_listVersions.InsertColumn(1, "バージョン", LVCFMT_LEFT, versionWidth);
    m_listVersions.DeleteAllItems();
    for (std::size_t index = 0; index < m_astrFileNames.size(); ++index) {
        const int row = static_cast<int>(index);
        m_listVersions.InsertItem(row, m_astrFileNames[index]);
        m_listVersions.SetItemText(
            row, 1, index < m_astrFileVersions.size() ? m_astrFileVersions[index] : std::string());
    }
    m_staticMessage.SetWindowText(kMessage);
    m_staticLink.SetWindowText(m_strLinkAddress);
    // TRUE: the focus goes to the first tab stop, the No button.
    return TRUE;
}
