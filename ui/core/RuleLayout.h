// What the rules page and the rule editor compute before they touch a window: the desktop
// capture (which windows, in which order, as which fractions), the places and captions of the
// zone buttons, and the hotkey digits a rule may take.
#pragma once

#include <vector>

#include "engine/core/EngineTypes.h"
#include "framework/CString.h"
#include "rules/core/RuleStore.h"

namespace ruleui {

constexpr int kMaxRegionButtons = 100;  // button slots of the preview and of the editor's canvas
constexpr int kPreviewFirstId = 36864;  // command id of the preview's first zone button
constexpr int kEditorFirstId = 38144;   // command id of the canvas's first zone button

// The page's preview and the editor's canvas, in client pixels from their anchor label.
constexpr int kPreviewOffsetX = 10, kPreviewOffsetY = 30;
constexpr double kPreviewWidth = 700.0, kPreviewHeight = 420.0;
constexpr int kCanvasOffsetX = 10, kCanvasOffsetY = 35;
constexpr double kCanvasWidth = 740.0, kCanvasHeight = 400.0;

// Columns closer than this are one column.
constexpr double kCaptureColumnSlack = 50.0;

// One window found by a capture, in virtual-screen pixels.
struct CapturedWindow {
    int number = 0;  // order of capture, then the region number after sorting
    double left = 0.0, top = 0.0, width = 0.0, height = 0.0;
};

// Columns from left to right; within a column (left edges less than 50 pixels apart) top first.
// Not transitive across columns, so the order is that of SortCapturedWindows' exact merge.
bool CapturedBefore(const CapturedWindow& a, const CapturedWindow& b);
// Stable top-down merge sort: the first n/2 windows and the rest are sorted each, then merged,
// a window of the second run going first only when it comes strictly before.
void SortCapturedWindows(std::vector<CapturedWindow>& windows);

// How far a window's visible frame lies inside its window rectangle at the left and the top: the
// invisible resize border that the desktop compositor adds (0 without a compositor).
struct FrameBorder {
    int left = 0, top = 0;
};
// The border between a window rectangle and its visible frame; none when the frame is not inside.
FrameBorder BorderOf(const engine::WinRect& window, const engine::WinRect& visibleFrame);

// Whether a window belongs to the capture of `monitor`: the top-left corner of its visible frame
// (its window rectangle moved in by its own invisible border) lies on the monitor, half-open. A
// maximised or snapped window's rectangle starts a few pixels beyond the monitor.
bool CapturedOnMonitor(const engine::WinRect& window, const FrameBorder& border, const engine::ScreenRect& monitor);

// The capture from the top-level windows that passed the filters, in z-order: those that
// CapturedOnMonitor takes (borders[i] belongs to windows[i]; none given is no border), at most
// kMaxRegionButtons of them, sorted and numbered, as captured regions (type flag 99, type id -1)
// of their window rectangles. A monitor of no size captures nothing.
std::vector<RegionNode> CaptureRegions(const std::vector<engine::WinRect>& windows, const engine::ScreenRect& monitor,
                                       const std::vector<FrameBorder>& borders = {});
// A capture replaces every captured region the list holds (marked deleted, in memory only).
void ReplaceCapturedRegions(RegionList& regions, const std::vector<RegionNode>& captured);

// The live regions of one type in list order, at most kMaxRegionButtons of them.
std::vector<RegionNode*> RegionsOfType(RegionList& regions, int typeId);
std::vector<const RegionNode*> RegionsOfType(const RegionList& regions, int typeId);

// "Delete window": marks deleted the first live captured region of `typeId` whose number written
// with "%d" is exactly `text`. False when none matched ("0", "", "01" and " 1" match nothing).
bool DeleteCapturedRegion(RegionList& regions, int typeId, const CString& text);

struct ButtonRect {
    int left = 0, top = 0, width = 0, height = 0;
};
// A region's button on a canvas of width x height pixels at the origin: each edge and size is
// computed in doubles and truncated toward zero. Fractions from a damaged database (NaN, huge)
// give an empty rectangle rather than an undefined conversion.
ButtonRect RegionButtonRect(double originX, double originY, double width, double height, const RegionNode& region);

// "n(count)": the zone's number and the bindings of the shown screen that name it.
CString PreviewCaption(int region, const std::vector<TitleRecord>& screenTitles);

// The digits the key combo offers, ascending: the free digits but "0", which is never handed
// out, plus the rule's own digit when editing (none when it is empty).
std::vector<CString> OfferedHotkeyDigits(const CStringArray& freeDigits, const CString& ownDigit);

}  // namespace ruleui
