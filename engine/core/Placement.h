// Placement records, zone sharing, the ordered list of window moves and the undo memory.
#pragma once

#include <functional>
#include <vector>

#include "engine/core/EngineTypes.h"

namespace engine {

// One arranged window.
struct PlacementRecord {
    int zone = 0;                 // index into the layout's zones
    WindowId hwnd = 0;
    int x = 0, y = 0, width = 0, height = 0;                   // the zone's rectangle
    int oldLeft = 0, oldTop = 0, oldWidth = 0, oldHeight = 0;  // before the layout
    int foreground = 0;           // 1 = the foreground window when the record was made
    int pinned = 0;               // 1 = a title binding chose the zone
    int topmost = 0;              // 1 = the window was "always on top" before the layout
};

// A layout's placement array: at most `capacity` records; windows beyond it are left alone.
struct PlacementArray {
    std::vector<PlacementRecord> records;
    int capacity = kMaxPlacements;
    int skipped = 0;  // appends refused because the array was full

    int Count() const { return static_cast<int>(records.size()); }
    bool Append(const PlacementRecord& r);
};

// A fresh, empty array of kMaxPlacements records.
PlacementArray AllocPlacementRecords();

// Windows that share a zone take the zones no window holds, in array (z-) order: the first
// window met in a zone keeps it, a pinned window always keeps its zone, every further unpinned
// window of an occupied zone takes the lowest free zone while one is left. Rewrites `zone` and
// the rectangle of records that move. Records whose zone lies outside the zones stay as they are.
void SpreadToFreeZones(int zoneCount, PlacementArray& placements, const std::vector<ZoneRect>& zones);

// SetWindowPos values, as the platform defines them.
enum class InsertAfter : int { kTopmost = -1, kNoTopmost = -2 };
constexpr unsigned kSwpFrameChanged = 0x0020;
constexpr unsigned kSwpShowWindow = 0x0040;
constexpr unsigned kMoveFlags = kSwpFrameChanged | kSwpShowWindow;

// One SetWindowPos call.
struct WindowMove {
    WindowId hwnd = 0;
    InsertAfter insertAfter = InsertAfter::kTopmost;
    int x = 0, y = 0, width = 0, height = 0;
    unsigned flags = kMoveFlags;
};

// The calls that place the arranged windows: zone by zone in index order, each zone's windows in
// array order with its foreground window last; each window raised with a topmost call followed
// by a not-topmost call (a window that was "always on top" gets only the first, so it stays so).
// With overlapWindows == 1 the k-th window of a zone is moved right and down by k * 25 pixels and
// shrunk by as much; the offset stops growing before a window would shrink below a quarter of
// its zone, so a cascade never leaves the zone. Records whose zone is not below zoneCount are
// not moved.
std::vector<WindowMove> ApplyPlacements(int zoneCount, const PlacementArray& placements, int overlapWindows);

// The first layout since the last undo (or start); armed while it is remembered.
struct UndoMemory {
    PlacementArray records;
    int count = 0;
    int armed = 0;
};

// After a layout's moves: an unarmed memory takes the layout's records and becomes armed; an
// armed one keeps what it has.
void RememberLayout(UndoMemory& undo, const PlacementArray& placements);

// Disarms the memory and returns the calls that move the remembered windows back, skipping those
// that isUsable rejects now (closed, minimised, hung or disabled), the foreground window last.
// The records stay, so a second undo repeats the first.
std::vector<WindowMove> UndoLayout(UndoMemory& undo, const std::function<bool(WindowId)>& isUsable);

// Runs each move through `setWindowPos` in order; a move that fails (the window vanished
// meanwhile) does not stop the others. Returns the number of failed moves.
int ApplyMoves(const std::vector<WindowMove>& moves, const std::function<bool(const WindowMove&)>& setWindowPos);

}  // namespace engine
