#include "engine/core/Placement.h"

#include <algorithm>
#include <deque>

namespace engine {

bool PlacementArray::Append(const PlacementRecord& r) {
    if (Count() >= capacity) {
        ++skipped;
        return false;
    }
    records.push_back(r);
    return true;
}

PlacementArray AllocPlacementRecords() {
    PlacementArray a;
    a.capacity = kMaxPlacements;
    a.records.reserve(kMaxPlacements);
    return a;
}

void SpreadToFreeZones(int zoneCount, PlacementArray& placements, const std::vector<ZoneRect>& zones) {
    // Zones past the buffer we were given cannot be handed out.
    const int zoneTotal = std::max(0, std::min<int>(zoneCount, static_cast<int>(zones.size())));
    std::vector<char> held(static_cast<size_t>(zoneTotal), 0);
    for (const PlacementRecord& r : placements.records) {
        if (r.zone >= 0 && r.zone < zoneTotal) held[static_cast<size_t>(r.zone)] = 1;
    }
    std::deque<int> freeZones;
    for (int z = 0; z < zoneTotal; ++z) {
        if (!held[static_cast<size_t>(z)]) freeZones.push_back(z);
    }
    // One counter per zone of the layout, however many there are.
    std::vector<int> taken(static_cast<size_t>(zoneTotal), 0);
    for (PlacementRecord& r : placements.records) {
        if (freeZones.empty()) break;
        if (r.zone < 0 || r.zone >= zoneTotal) continue;
        int& counter = taken[static_cast<size_t>(r.zone)];
        if (counter < 1 || r.pinned) {
            ++counter;
            continue;
        }
        const int z = freeZones.front();
        freeZones.pop_front();
        const ZoneRect& zr = zones[static_cast<size_t>(z)];
        r.zone = z;
        r.x = zr.x;
        r.y = zr.y;
        r.width = zr.width;
        r.height = zr.height;
        ++taken[static_cast<size_t>(z)];
    }
}

namespace {

void AddRaise(std::vector<WindowMove>& out, WindowId hwnd, long long x, long long y, long long w,
              long long h, bool keepTopmost) {
    WindowMove m;
    m.hwnd = hwnd;
    m.x = SaturateInt32(x);
    m.y = SaturateInt32(y);
    m.width = SaturateInt32(w);
    m.height = SaturateInt32(h);
    m.insertAfter = InsertAfter::kTopmost;
    out.push_back(m);
    // The topmost call lifts the window above everything; the second call puts it back among
    // ordinary windows at the top, unless the user had made it "always on top" before.
    if (!keepTopmost) {
        m.insertAfter = InsertAfter::kNoTopmost;
        out.push_back(m);
    }
}

// A cascade step is taken only while the next window would keep at least a quarter of the zone.
bool CascadeFits(const PlacementRecord& r, long long nextOffset) {
    return r.width - nextOffset >= r.width / 4 && r.height - nextOffset >= r.height / 4;
}

}  // namespace

std::vector<WindowMove> ApplyPlacements(int zoneCount, const PlacementArray& placements, int overlapWindows) {
    std::vector<WindowMove> moves;
    moves.reserve(placements.records.size() * 2);
    std::vector<std::vector<const PlacementRecord*>> byZone(static_cast<size_t>(std::max(zoneCount, 0)));
    for (const PlacementRecord& r : placements.records) {
        if (r.zone >= 0 && r.zone < zoneCount) byZone[static_cast<size_t>(r.zone)].push_back(&r);
    }
    for (const std::vector<const PlacementRecord*>& zoneRecords : byZone) {
        const int step = overlapWindows == 1 ? kOverlapStep : 0;
        long long offset = 0;
        std::vector<const PlacementRecord*> foreground;
        for (const PlacementRecord* r : zoneRecords) {
            if (r->foreground == 1) {
                foreground.push_back(r);
                continue;
            }
            AddRaise(moves, r->hwnd, r->x + offset, r->y + offset, r->width - offset, r->height - offset,
                     r->topmost != 0);
            if (step > 0 && CascadeFits(*r, offset + step)) offset += step;
        }
        for (const PlacementRecord* r : foreground) {
            AddRaise(moves, r->hwnd, r->x + offset, r->y + offset, r->width - offset, r->height - offset,
                     r->topmost != 0);
        }
    }
    return moves;
}

void RememberLayout(UndoMemory& undo, const PlacementArray& placements) {
    if (undo.armed != 0) return;
    undo.records = placements;
    undo.count = placements.Count();
    undo.armed = 1;
}

std::vector<WindowMove> UndoLayout(UndoMemory& undo, const std::function<bool(WindowId)>& isUsable) {
    undo.armed = 0;
    std::vector<WindowMove> moves;
    const int n = std::min(undo.count, undo.records.Count());
    const PlacementRecord* foreground = nullptr;
    for (int i = 0; i < n; ++i) {
        const PlacementRecord& r = undo.records.records[static_cast<size_t>(i)];
        if (isUsable && !isUsable(r.hwnd)) continue;
        if (r.foreground == 1) {
            foreground = &r;
            continue;
        }
        AddRaise(moves, r.hwnd, r.oldLeft, r.oldTop, r.oldWidth, r.oldHeight, r.topmost != 0);
    }
    if (foreground) {
        AddRaise(moves, foreground->hwnd, foreground->oldLeft, foreground->oldTop, foreground->oldWidth,
                 foreground->oldHeight, foreground->topmost != 0);
    }
    return moves;
}

int ApplyMoves(const std::vector<WindowMove>& moves, const std::function<bool(const WindowMove&)>& setWindowPos) {
    int failures = 0;
    for (const WindowMove& m : moves) {
        if (!setWindowPos || !setWindowPos(m)) ++failures;
    }
    return failures;
}

}  // namespace engine
