#include "ui/XTab3.h"

#include "app/Settings.h"
#include "res/ui_ids.h"

namespace {
// The machine-wide Run key (without the trailing backslash: the same key, and no doubt about
// how a registry takes it). A 32-bit program on 64-bit Windows lands in the 32-bit view.
const wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const wchar_t kRunValue[] = L"Tessora";
}  // namespace

BEGIN_MESSAGE_MAP(CXTab3, COptionPage)
    ON_COMMAND(IDC_RADIO_ALT, &CXTab3::OnBnClickedRadio)
    ON_COMMAND(IDC_RADIO_CTRL, &CXTab3::OnBnClickedRadio)
    ON_COMMAND(IDC_RADIO_ALT_OR_CTRL, &CXTab3::OnBnClickedRadio)
END_MESSAGE_MAP()

CXTab3::CXTab3() : COptionPage(IDD_XTAB3) {}

CXTab3::~CXTab3() = default;

void CXTab3::DoDataExchange(CDataExchange* dx) {
    COptionPage::DoDataExchange(dx);
    DDX_Control(dx, IDC_CHK_AUTORUN, m_chkAutoRun);
    DDX_Control(dx, IDC_CHK_OVERLAP, m_chkOverlap);
    DDX_Control(dx, IDC_CHK_SHOW_HOTKEY, m_chkShowHotkey);
    DDX_Radio(dx, IDC_RADIO_ALT, m_nExecuteType);
}

BOOL CXTab3::OnInitDialog() {
    COptionPage::OnInitDialog();
    LoadSettings();
    return TRUE;
}

void CXTab3::OnOK() {
    HWND next = ::GetWindow(m_hWnd, GW_HWNDNEXT);
    if (next) ::SetFocus(next);
}

bool CXTab3::IsAutoRun() {
    HKEY key = nullptr;
    if (RegOpenKeyW(HKEY_LOCAL_MACHINE, kRunKey, &key) != ERROR_SUCCESS) return false;
    const bool found = RegQueryValueExW(key, kRunValue, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    RegCloseKey(key);
    return found;
}

void CXTab3::LoadSettings() {
    if (!m_pSettings || !m_hWnd) return;
    m_chkAutoRun.SetCheck(IsAutoRun() ? 1 : 0);
    m_chkOverlap.SetCheck(m_pSettings->m_nOverlapWindows);
    m_nExecuteType = m_pSettings->m_nExecuteHotkeyType;
    UpdateData(FALSE);
    m_chkShowHotkey.SetCheck(m_pSettings->m_nShowHotkey);
}

void CXTab3::SaveSettings() {
    if (!m_pSettings || !m_hWnd) return;
    UpdateData(TRUE);

    wchar_t path[MAX_PATH] = {};
    const DWORD len = GetModuleFileNameW(nullptr, path, MAX_PATH);
    HKEY key = nullptr;
    if (RegCreateKeyW(HKEY_LOCAL_MACHINE, kRunKey, &key) == ERROR_SUCCESS) {
        if (m_chkAutoRun.GetCheck() != 0) {
            RegSetValueExW(key, kRunValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(path),
                           (len + 1) * sizeof(wchar_t));
        } else {
            RegDeleteValueW(key, kRunValue);
        }
        RegCloseKey(key);
    }
    // config.ini records what the registry now holds, also when the write was refused
    m_pSettings->m_nAutomatics = IsAutoRun() ? 1 : 0;
    m_pSettings->m_nOverlapWindows = m_chkOverlap.GetCheck() != 0 ? 1 : 0;
    // a stored type outside 0..2 checks no radio: it stays as it was unless one was clicked
    if (m_nExecuteType >= 0) m_pSettings->m_nExecuteHotkeyType = m_nExecuteType;
    m_pSettings->m_nShowHotkey = m_chkShowHotkey.GetCheck() != 0 ? 1 : 0;
}
