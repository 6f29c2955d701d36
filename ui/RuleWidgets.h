// Small pieces shared by the rules page, the rule editor and the zone title editor: the zone
// buttons' font and windows, combo box items, trimmed field text.
#pragma once

#include <windows.h>

#include <vector>

#include "framework/CString.h"
#include "ui/core/RuleLayout.h"

namespace ruleui {

// Bold 30-pixel Arial of the zone buttons; the caller deletes it.
HFONT CreateRegionFont();

// A visible child push button with the caption at the rectangle; null when it could not be made.
HWND CreateRegionButton(HWND parent, int id, const wchar_t* caption, const ButtonRect& r, HFONT font);

// The rectangle of a dialog control in its parent's client coordinates.
RECT ControlRectInParent(HWND dialog, int id);

// The text of a control with white space (iswspace) removed at both ends.
CString TrimmedText(HWND dialog, int id);
CString ControlText(HWND dialog, int id);

// Combo box items.
void ComboReset(HWND combo);
int ComboAdd(HWND combo, const wchar_t* text);
CString ComboSelectedText(HWND combo);  // empty without a selection
int ComboCount(HWND combo);
int ComboCurSel(HWND combo);  // -1 without a selection
void ComboSelect(HWND combo, int index);

void EnableControl(HWND dialog, int id, bool enable);

}  // namespace ruleui
