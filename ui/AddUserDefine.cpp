#include "ui/AddUserDefine.h"

#include <algorithm>

#include "app/LanguageTable.h"
#include "engine/WindowUtil.h"
#include "res/rule_ids.h"
#include "ui/RuleWidgets.h"

using namespace ruleui;

namespace {
const int kMsgNameMissing = 80002;
const int kMsgSaveRule = 80003;
const int kMsgDeleteRule = 80004;
const int kMsgSaveFailed = 80006;
const int kTitleAdd = 230;
const int kTitleEdit = 231;
const int kTextEdit = 1172;

// The invisible resize border of a window as the desktop compositor reports it; none without a
// compositor (Windows 7 classic, Wine), where the call fails or returns the window rectangle.
FrameBorder ReadFrameBorder(HWND h, const engine::WinRect& window) {
    using GetAttributeFn = HRESULT(WINAPI*)(HWND, DWORD, void*, DWORD);
    constexpr DWORD kExtendedFrameBounds = 9;  // DWMWA_EXTENDED_FRAME_BOUNDS
    static const GetAttributeFn getAttribute = [] {
        HMODULE dwm = LoadLibraryW(L"dwmapi.dll");
        if (!dwm) return GetAttributeFn{};
        return reinterpret_cast<GetAttributeFn>(reinterpret_cast<void*>(GetProcAddress(dwm, "DwmGetWindowAttribute")));
    }();
    RECT frame = {};
    if (!getAttribute || FAILED(getAttribute(h, kExtendedFrameBounds, &frame, sizeof(frame)))) return FrameBorder{};
    return BorderOf(window, engine::WinRect{frame.left, frame.top, frame.right, frame.bottom});
}
}  // namespace

BEGIN_MESSAGE_MAP(CAddUserDefine, CDialogEx)
    ON_COMMAND(IDCANCEL, &CAddUserDefine::OnBnClickedCancel)
    ON_COMMAND(IDC_RE_PREV_SCREEN, &CAddUserDefine::OnBnClickedPrevScreen)
    ON_COMMAND(IDC_RE_NEXT_SCREEN, &CAddUserDefine::OnBnClickedNextScreen)
    ON_COMMAND(IDC_RE_DELETE, &CAddUserDefine::OnBnClickedDelete)
    ON_COMMAND(IDC_RE_GET_LAYOUT, &CAddUserDefine::OnBnClickedGetDesktopLayout)
    ON_COMMAND(IDC_RE_DELETE_WINDOW, &CAddUserDefine::OnBnClickedDeleteWindow)
    ON_COMMAND(IDC_RE_SAVE, &CAddUserDefine::OnBnClickedAdd)
    ON_COMMAND_RANGE(IDC_RE_TYPE, IDC_RE_TYPE, &CAddUserDefine::OnComboCommand)
    ON_COMMAND_RANGE(IDC_RE_KEY, IDC_RE_KEY, &CAddUserDefine::OnComboCommand)
    ON_COMMAND_RANGE(kEditorFirstId, kEditorFirstId + kMaxRegionButtons, &CAddUserDefine::OnRegionButton)
END_MESSAGE_MAP()

CAddUserDefine::CAddUserDefine(CWnd* parent) : CDialogEx(IDD_ADD_USER_DEFINE, parent) {}

CAddUserDefine::~CAddUserDefine() {
    if (m_pRegionFont) DeleteObject(m_pRegionFont);
    delete m_pWindowUtil;
}

BOOL CAddUserDefine::OnInitDialog() {
    CDialogEx::OnInitDialog();
    EnableControl(m_hWnd, IDC_RE_WINDOW_NO, false);
    EnableControl(m_hWnd, IDC_RE_DELETE_WINDOW, false);
    if (m_pLanguage) m_pLanguage->TranslateWindow(m_hWnd, kTitleAdd);

    m_pWindowUtil = new CWindowUtil();
    m_pRegionFont = CreateRegionFont();
    m_nRegionButtons = 0;
    m_nShownScreen = 1;
    const RECT anchor = ControlRectInParent(m_hWnd, IDC_RE_WINDOW_COUNT_LABEL);
    m_dOriginX = anchor.left + kCanvasOffsetX;
    m_dOriginY = anchor.top + kCanvasOffsetY;
    if (!m_pRuleStore) return TRUE;
    m_regions = m_pRuleStore->LoadTypes(-1);
    HWND keyCombo = Item(IDC_RE_KEY);
    auto text = [this](int id) { return m_pLanguage ? m_pLanguage->GetText(id) : CString(); };

    if (m_pRuleStore->m_nEditMode != RULE_EDIT_EDIT) {
        SetWindowText(text(kTitleAdd));
        m_pEntries.assign(static_cast<size_t>(std::max(1, m_pRuleStore->m_nScreenCount)), ScreenTypeEntry{0, 1, 0, 0});
        m_pEntries[0].active = 1;
        EnableControl(m_hWnd, IDC_RE_DELETE, false);
        SetDlgItemText(IDC_RE_SAVE, text(IDC_RE_SAVE));
        UpdateScreenCounter();
        FillTypeCombo(-1);
        ComboSelect(Item(IDC_RE_TYPE), 0);
        for (const CString& d : OfferedHotkeyDigits(*m_pRuleStore->GetFreeHotkeys(), CString())) ComboAdd(keyCombo, d);
        ComboSelect(keyCombo, 0);
        DrawRegions(1);
    } else {
        SetWindowText(text(kTitleEdit));
        EnableControl(m_hWnd, IDC_RE_DELETE, true);
        SetDlgItemText(IDC_RE_SAVE, text(kTextEdit));
        CString name, key;
        m_pEntries = m_pRuleStore->LoadRule(name, key);
        if (m_pEntries.empty()) {
            // The rule went away meanwhile: only Delete and Cancel make sense.
            m_bRuleMissing = true;
            EnableControl(m_hWnd, IDC_RE_GET_LAYOUT, false);
            EnableControl(m_hWnd, IDC_RE_SAVE, false);
            return TRUE;
        }
        SetDlgItemText(IDC_RE_NAME, name);
        for (const CString& d : OfferedHotkeyDigits(*m_pRuleStore->GetFreeHotkeys(), key)) ComboAdd(keyCombo, d);
        ::SendMessageW(keyCombo, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(key.GetString()));
        UpdateScreenCounter();
        FillTypeCombo(m_pEntries[0].type_id);
        SelectTypeOf(m_pEntries[0].type_id);
        DrawRegions(IsCapturedType(m_pEntries[0].type_id) || (m_pEntries[0].type_id >= 1 &&
                                                              m_pEntries[0].type_id <= PRESET_TYPE_COUNT)
                        ? m_pEntries[0].type_id
                        : 0);
    }
    UpdateSaveButton();
    return TRUE;
}

void CAddUserDefine::FillTypeCombo(int userTypeId) {
    HWND combo = Item(IDC_RE_TYPE);
    ComboReset(combo);
    const int presets = m_pRuleStore ? std::min(m_pRuleStore->m_nPresetTypeCount, PRESET_TYPE_COUNT) : 0;
    for (int k = 1; k <= presets; ++k) {
        CString item;
        item.Format(L"Type %d", k);
        ComboAdd(combo, item);
        m_typeIds[k - 1] = k;
    }
    ComboAdd(combo, L"UserType");
    m_typeIds[presets] = userTypeId;
}

void CAddUserDefine::SelectTypeOf(int typeId) {
    HWND combo = Item(IDC_RE_TYPE);
    const int last = ComboCount(combo) - 1;
    int sel = -1;
    if (typeId >= FIRST_USER_TYPE_ID || typeId == -1) sel = last;
    else if (typeId >= 1 && typeId < last + 1 && typeId <= PRESET_TYPE_COUNT) sel = typeId - 1;
    ComboSelect(combo, sel);
}

void CAddUserDefine::UpdateScreenCounter() {
    CString text;
    text.Format(L"%d / %d", m_nShownScreen, m_pRuleStore ? m_pRuleStore->m_nScreenCount : 0);
    SetDlgItemText(IDC_RE_SCREEN, text);
}

void CAddUserDefine::DestroyRegionButtons() {
    for (int i = 0; i < m_nRegionButtons && i < kMaxRegionButtons; ++i) {
        if (m_pRegionButtons[i]) ::DestroyWindow(m_pRegionButtons[i]);
        m_pRegionButtons[i] = nullptr;
    }
    m_nRegionButtons = 0;
}

void CAddUserDefine::DrawRegions(int typeId) {
    m_nRegionButtons = 0;
    std::vector<RegionNode*> regions = RegionsOfType(m_regions, typeId);
    for (RegionNode* node : regions) {
        const int i = m_nRegionButtons;
        CString caption;
        caption.Format(L"%d", i + 1);
        const ButtonRect r = RegionButtonRect(m_dOriginX, m_dOriginY, m_dCanvasWidth, m_dCanvasHeight, *node);
        m_pRegionButtons[i] = CreateRegionButton(m_hWnd, kEditorFirstId + i, caption, r, m_pRegionFont);
        node->number = i + 1;
        ++m_nRegionButtons;
    }
    CString count;
    count.Format(L"%d", m_nRegionButtons);
    SetDlgItemText(IDC_RE_WINDOW_COUNT, count);
    const bool canDelete = IsCapturedType(typeId) && m_nRegionButtons > 0;
    EnableControl(m_hWnd, IDC_RE_WINDOW_NO, canDelete);
    EnableControl(m_hWnd, IDC_RE_DELETE_WINDOW, canDelete);
    SetDlgItemText(IDC_RE_WINDOW_NO, L"");
    UpdateSaveButton();
}

bool CAddUserDefine::CanSave() const {
    if (m_bRuleMissing || !m_pRuleStore || m_pEntries.empty()) return false;
    // No digit left (Q1..Q9 taken): a rule without a digit could never be called.
    if (ComboCurSel(Item(IDC_RE_KEY)) < 0) return false;
    // A captured layout without a zone could never arrange anything.
    const int type = Screen1TypeId();
    return !IsCapturedType(type) || !RegionsOfType(m_regions, type).empty();
}

void CAddUserDefine::UpdateSaveButton() { EnableControl(m_hWnd, IDC_RE_SAVE, CanSave()); }

void CAddUserDefine::OnCbnSelchangeType() {
    SetDlgItemText(IDC_RE_WINDOW_NO, L"");
    HWND combo = Item(IDC_RE_TYPE);
    const int sel = ComboCurSel(combo);
    if (sel < 0 || sel > PRESET_TYPE_COUNT || m_pEntries.empty()) return;
    int t = m_typeIds[sel];
    if (sel == ComboCount(combo) - 1 && t < FIRST_USER_TYPE_ID) t = -1;
    DestroyRegionButtons();
    m_pEntries[0].type_id = t;  // the choice is always screen 1's
    DrawRegions(t);
}

void CAddUserDefine::OnKeySelchange() { UpdateSaveButton(); }

LRESULT CAddUserDefine::OnComboCommand(WPARAM wp, LPARAM) {
    if (HIWORD(wp) != CBN_SELCHANGE) return 0;
    if (LOWORD(wp) == IDC_RE_TYPE) OnCbnSelchangeType();
    else OnKeySelchange();
    return 0;
}

void CAddUserDefine::OnBnClickedCancel() { CDialog::OnCancel(); }

void CAddUserDefine::ShowScreen(int screen) {
    const int count = m_pRuleStore ? m_pRuleStore->m_nScreenCount : 1;
    const int shown = std::max(1, std::min(screen, count));
    const bool changed = shown != m_nShownScreen;
    m_nShownScreen = shown;
    UpdateScreenCounter();
    if (!changed || static_cast<size_t>(shown) > m_pEntries.size()) return;
    const int typeId = m_pEntries[static_cast<size_t>(shown - 1)].type_id;
    SelectTypeOf(typeId);
    DestroyRegionButtons();
    DrawRegions(typeId);
}

void CAddUserDefine::OnBnClickedPrevScreen() { ShowScreen(m_nShownScreen - 1); }
void CAddUserDefine::OnBnClickedNextScreen() { ShowScreen(m_nShownScreen + 1); }

void CAddUserDefine::OnBnClickedDelete() {
    if (!m_pRuleStore) return;
    if (AfxMessageBox(m_pLanguage ? m_pLanguage->GetText(kMsgDeleteRule) : CString(), MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    if (m_pRuleStore->DeleteRule() != 0) {
        AfxMessageBox(m_pLanguage ? m_pLanguage->GetText(kMsgSaveFailed) : CString(), MB_ICONERROR);
        return;
    }
    DestroyRegionButtons();
    m_pRuleStore->m_nEditMode = RULE_EDIT_DELETED;
    EndDialog(IDOK);
}

void CAddUserDefine::ApplyCapture(const std::vector<engine::WinRect>& windows, const engine::ScreenRect& monitor,
                                  const std::vector<FrameBorder>& borders) {
    DestroyRegionButtons();
    if (m_pEntries.empty()) return;
    m_pEntries[0].type_id = -1;
    ReplaceCapturedRegions(m_regions, CaptureRegions(windows, monitor, borders));
    DrawRegions(-1);
    // "UserType" now stands for this capture, also in edit mode of a rule with a stored one.
    HWND combo = Item(IDC_RE_TYPE);
    const int last = ComboCount(combo) - 1;
    if (last >= 0 && last <= PRESET_TYPE_COUNT) m_typeIds[last] = -1;
    ComboSelect(combo, last);
}

void CAddUserDefine::OnBnClickedGetDesktopLayout() {
    if (m_pEntries.empty()) return;
    m_pWindowUtil->ProbeUwpHosts();
    m_pWindowUtil->GetMonitorRects(&m_nScreens, m_screens);
    POINT cursor = {};
    GetCursorPos(&cursor);
    const engine::ScreenRect monitor = m_screens[CWindowUtil::MonitorIndexFromPoint(m_screens, m_nScreens, cursor.x, cursor.y)];
    // The user's exclude list does not apply: a capture records what the desktop shows.
    std::vector<engine::WinRect> windows;
    std::vector<FrameBorder> borders;
    for (const engine::WindowFacts& f : m_pWindowUtil->ReadTopLevelWindows()) {
        if (!engine::IsLayoutCandidate(f, {}, m_pWindowUtil->HostFlags())) continue;
        windows.push_back(f.rect);
        borders.push_back(ReadFrameBorder(reinterpret_cast<HWND>(f.id), f.rect));
    }
    ApplyCapture(windows, monitor, borders);
}

void CAddUserDefine::OnBnClickedDeleteWindow() {
    const CString text = ControlText(m_hWnd, IDC_RE_WINDOW_NO);
    if (text.IsEmpty() || text == L"0" || m_pEntries.empty()) return;
    SetDlgItemText(IDC_RE_WINDOW_NO, L"");
    DeleteCapturedRegion(m_regions, m_pEntries[0].type_id, text);
    DestroyRegionButtons();
    DrawRegions(m_pEntries[0].type_id);
    ::SetFocus(Item(IDC_RE_WINDOW_NO));
}

LRESULT CAddUserDefine::OnRegionButton(WPARAM wp, LPARAM) {
    const int id = LOWORD(wp);
    if (HIWORD(wp) != BN_CLICKED || id >= kEditorFirstId + kMaxRegionButtons) return 0;
    CString text;
    text.Format(L"%d", id - (kEditorFirstId - 1));
    SetDlgItemText(IDC_RE_WINDOW_NO, text);
    return 0;
}

void CAddUserDefine::OnBnClickedAdd() {
    if (!CanSave()) return;
    const CString name = TrimmedText(m_hWnd, IDC_RE_NAME);
    if (name.IsEmpty()) {
        AfxMessageBox(m_pLanguage ? m_pLanguage->GetText(kMsgNameMissing) : CString(), MB_ICONEXCLAMATION);
        ::SetFocus(Item(IDC_RE_NAME));
        return;
    }
    const CString digit = ComboSelectedText(Item(IDC_RE_KEY));
    if (digit.IsEmpty()) return;
    if (AfxMessageBox(m_pLanguage ? m_pLanguage->GetText(kMsgSaveRule) : CString(), MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    const CString hotkey = CString(L"Q") + digit;
    const int rc = m_pRuleStore->m_nEditMode == RULE_EDIT_EDIT
                       ? m_pRuleStore->UpdateRule(name, hotkey, m_pEntries, m_regions)
                       : m_pRuleStore->AddRule(name, hotkey, m_pEntries, m_regions);
    if (rc != 0) {
        // Nothing was stored (the file held by another program): everything typed stays for
        // another try.
        AfxMessageBox(m_pLanguage ? m_pLanguage->GetText(kMsgSaveFailed) : CString(), MB_ICONERROR);
        return;
    }
    EndDialog(IDOK);
}
