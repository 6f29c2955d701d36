// Plain data shared by the layout engine's logic. No platform types: the Win32 side converts
// handles and rectangles into these and back.
#pragma once

#include <cstdint>

namespace engine {

// A window handle as an opaque number; the engine never dereferences it.
using WindowId = std::uintptr_t;

constexpr int kMaxScreens = 100;           // entries of the monitor table
constexpr int kMaxDisplayDeviceIndex = 50; // display-device indexes tried when filling it
constexpr int kMaxLayoutZones = 500;       // zones of one layout
constexpr int kMaxPlacements = 100;        // arranged windows of one layout
constexpr int kOverlapStep = 25;           // cascade step in pixels

// One monitor in virtual-screen pixels.
struct ScreenRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// One zone of a layout in virtual-screen pixels.
struct ZoneRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// A window rectangle as the system reports it: edges, right and bottom exclusive.
struct WinRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

inline bool operator==(const ScreenRect& a, const ScreenRect& b) {
    return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
}
inline bool operator==(const ZoneRect& a, const ZoneRect& b) {
    return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
}

// Clamps a wide intermediate result into the signed 32-bit range instead of overflowing.
inline int SaturateInt32(long long v) {
    if (v > INT32_MAX) return INT32_MAX;
    if (v < INT32_MIN) return INT32_MIN;
    return static_cast<int>(v);
}

// Half-open test: left and top edges inside, right and bottom edges outside. Sums are taken in
// 64 bits so that a damaged entry near the integer limits cannot overflow.
inline bool RectHoldsPoint(int x, int y, int width, int height, int px, int py) {
    const long long right = static_cast<long long>(x) + width;
    const long long bottom = static_cast<long long>(y) + height;
    return x <= px && px < right && y <= py && py < bottom;
}
inline bool RectHoldsPoint(const ScreenRect& r, int px, int py) {
    return RectHoldsPoint(r.x, r.y, r.width, r.height, px, py);
}
inline bool RectHoldsPoint(const ZoneRect& r, int px, int py) {
    return RectHoldsPoint(r.x, r.y, r.width, r.height, px, py);
}

}  // namespace engine
