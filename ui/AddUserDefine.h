// The rule editor: adds a user-defined rule, or edits or deletes the rules page's current rule.
// A rule has a name, the hotkey "Q" + a digit and per screen a layout type, preset or captured
// from the desktop. Nothing is stored before the user confirms.
#pragma once

#include <vector>

#include "engine/core/EngineTypes.h"
#include "framework/AfxWin.h"
#include "rules/core/RuleStore.h"
#include "ui/core/RuleLayout.h"

class CLanguageTable;
class CWindowUtil;

class CAddUserDefine : public CDialogEx {
public:
    explicit CAddUserDefine(CWnd* parent = nullptr);
    ~CAddUserDefine() override;

    void SetRuleStore(CRuleStore* pStore) { m_pRuleStore = pStore; }
    void SetLanguage(CLanguageTable* pLanguage) { m_pLanguage = pLanguage; }

    BOOL OnInitDialog() override;

    // Rebuilds the canvas buttons for one type id; the caller has destroyed the old ones.
    void DrawRegions(int typeId);
    void DestroyRegionButtons();
    void UpdateScreenCounter();

    // The capture from a list of window rectangles on one monitor, as "Get desktop layout" does
    // after it walked the desktop; for the benchmark too.
    void ApplyCapture(const std::vector<engine::WinRect>& windows, const engine::ScreenRect& monitor,
                      const std::vector<ruleui::FrameBorder>& borders = {});

    CRuleStore* m_pRuleStore = nullptr;
    CLanguageTable* m_pLanguage = nullptr;
    int m_nShownScreen = 1;
    std::vector<ScreenTypeEntry> m_pEntries;  // entry i for screen i + 1; empty for a vanished rule
    HWND m_pRegionButtons[ruleui::kMaxRegionButtons] = {};
    HFONT m_pRegionFont = nullptr;
    int m_nRegionButtons = 0;
    double m_dOriginX = 0.0, m_dOriginY = 0.0;
    double m_dCanvasWidth = ruleui::kCanvasWidth, m_dCanvasHeight = ruleui::kCanvasHeight;
    CWindowUtil* m_pWindowUtil = nullptr;
    int m_typeIds[PRESET_TYPE_COUNT + 1] = {};
    engine::ScreenRect m_screens[engine::kMaxScreens] = {};
    int m_nScreens = 0;
    RegionList m_regions;

protected:
    void OnCbnSelchangeType();
    void OnBnClickedCancel();
    void OnBnClickedPrevScreen();
    void OnBnClickedNextScreen();
    void OnBnClickedDelete();
    void OnBnClickedGetDesktopLayout();
    void OnBnClickedDeleteWindow();
    void OnBnClickedAdd();
    void OnKeySelchange();
    LRESULT OnRegionButton(WPARAM wp, LPARAM lp);
    LRESULT OnComboCommand(WPARAM wp, LPARAM lp);

    DECLARE_MESSAGE_MAP()

private:
    HWND Item(int id) const { return ::GetDlgItem(m_hWnd, id); }
    bool IsCapturedType(int typeId) const { return typeId == -1 || typeId >= FIRST_USER_TYPE_ID; }
    void FillTypeCombo(int userTypeId);
    void SelectTypeOf(int typeId);
    void ShowScreen(int screen);
    int Screen1TypeId() const { return m_pEntries.empty() ? 0 : m_pEntries[0].type_id; }
    bool CanSave() const;
    void UpdateSaveButton();
    bool m_bRuleMissing = false;
};
