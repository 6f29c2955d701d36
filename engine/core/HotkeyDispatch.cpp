#include "engine/core/HotkeyDispatch.h"

#include "engine/core/Monitors.h"
#include "engine/core/Zones.h"

namespace engine {

namespace {

bool ConsistsOf(const CString& s, const wchar_t* set) {
    for (int i = 0; i < s.GetLength(); ++i) {
        bool found = false;
        for (const wchar_t* p = set; *p; ++p) {
            if (*p == s.GetAt(i)) {
                found = true;
                break;
            }
        }
        if (!found) return false;
    }
    return true;
}

bool StartsWithDigit(const CString& s) {
    const wchar_t c = s.GetAt(0);
    return c >= L'0' && c <= L'9';
}

int DecimalValue(const CString& s) {
    int v = 0;
    for (int i = 0; i < s.GetLength() && v < 100000; ++i) v = v * 10 + (s.GetAt(i) - L'0');
    return v;
}

}  // namespace

CString DefaultKeyByteToText(unsigned char byte) {
    if (byte == 0) return CString();
    return CString(static_cast<wchar_t>(byte));
}

bool IsDigitsText(const CString& s) { return ConsistsOf(s, L"0123456789"); }
bool IsRuleLetterText(const CString& s) { return ConsistsOf(s, L"Q"); }
bool IsLettersText(const CString& s) { return ConsistsOf(s, L"ABCDEFGHIJKLMNOPQRSTUVWXYZ"); }

HotkeyDecision ClassifyHotkeyMessage(std::uintptr_t dwData, const void* data, std::uint32_t size, int ready,
                                     int showHotkey, KeyByteToText toText) {
    HotkeyDecision d;
    // Anyone may send WM_COPYDATA; the library always sends three bytes, so anything shorter is
    // not ours and is dropped before it is read.
    if (!data || size < 3) {
        d.action = HotkeyAction::kMalformed;
        return d;
    }
    if (!toText) toText = DefaultKeyByteToText;
    const unsigned char* bytes = static_cast<const unsigned char*>(data);
    const CString first = toText(bytes[0]);
    const CString second = toText(bytes[1]);
    const CString act = toText(bytes[2]);

    // Stage 1.
    if (dwData == kHookFirstKey && showHotkey == 1) {
        d.stage1HidePanel = true;
        d.stage1SetKey1 = true;
        d.stage1Key1 = first;
        if (IsDigitsText(first) || IsRuleLetterText(first)) {
            d.preview = true;
            d.previewActKey = act;
            d.previewActKeyName = GetModifierName(act);
            d.timerPeriodMs = kPanelPreviewMs;
        }
    } else if (dwData == kHookSequence) {
        d.timerPeriodMs = kPanelSequenceMs;
    }

    // Stage 2.
    if (ready != 1) {
        d.action = HotkeyAction::kBusy;
        return d;
    }
    d.takeKeys = true;
    d.key1 = first;
    d.key2 = second;
    d.actKey = act;
    if (!StartsWithDigit(second)) {
        d.action = HotkeyAction::kIncomplete;
        return d;
    }
    d.refreshMonitors = true;
    d.restoreHook = true;
    d.action = HotkeyAction::kNoLayout;
    const bool panel = showHotkey == 1;
    if (IsDigitsText(first) && IsDigitsText(second)) {
        if (panel) {
            d.panelHide = dwData == kHookSequence;
            d.panelMove = dwData == kHookSequence;
            d.panelShowSecondKey = true;
        }
        d.rows = DecimalValue(first);
        d.columns = DecimalValue(second);
        if (d.rows != 0 && d.columns != 0) d.action = HotkeyAction::kGrid;
        else if (d.rows == 0 && d.columns == 0) d.action = HotkeyAction::kUndo;
    } else if (IsLettersText(first) && IsDigitsText(second)) {
        if (panel) {
            d.panelHide = true;
            d.panelMove = dwData == kHookSequence;
            d.panelShowSecondKey = true;
        }
        d.ruleName.Format(L"%s%s", first.GetString(), second.GetString());
        d.action = HotkeyAction::kUserRule;
    }
    return d;
}

PanelPoint PanelPositionOnWorkArea(int right, int bottom, int width, int height) {
    PanelPoint p;
    p.x = SaturateInt32((static_cast<long long>(right) - width) / 2);
    p.y = TruncToInt32((static_cast<double>(bottom) - height) / 1.05);
    // Work areas smaller than the panel would push it off the top or left of the screen.
    if (p.x < 0) p.x = 0;
    if (p.y < 0) p.y = 0;
    return p;
}

}  // namespace engine
