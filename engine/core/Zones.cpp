#include "engine/core/Zones.h"

#include "app/core/PathText.h"

#include <algorithm>
#include <cmath>

namespace engine {

int TruncToInt32(double v) {
    if (std::isnan(v)) return 0;
    if (v >= 2147483647.0) return INT32_MAX;
    if (v <= -2147483648.0) return INT32_MIN;
    return static_cast<int>(v);  // the conversion itself truncates toward zero
}

int RegionPixel(double v) {
    // A captured zone's fraction is pixel / monitor size, and multiplying back may land a rounding
    // error short of that pixel; truncating would then move the window by one. Six-decimal and
    // exact-third fractions never come that close to a whole pixel without being on it.
    constexpr double kRoundingSlack = 1e-7;
    const double nearest = std::round(v);
    if (std::fabs(v - nearest) < kRoundingSlack) return TruncToInt32(nearest);
    return TruncToInt32(v);
}

std::vector<ZoneRect> ComputeGridZones(const ScreenRect& m, int rows, int columns) {
    std::vector<ZoneRect> zones;
    if (rows < 1 || columns < 1) return zones;
    // Integer division truncates toward zero; the leftover pixels at the right and bottom edges
    // form strips that no cell covers.
    const int cellWidth = m.width / columns;
    const int cellHeight = m.height / rows;
    const long long count = std::min<long long>(static_cast<long long>(rows) * columns, kMaxLayoutZones);
    zones.reserve(static_cast<size_t>(count));
    for (int k = 0; k < count; ++k) {
        const int column = k % columns;
        const int row = k / columns;
        zones.push_back(ZoneRect{SaturateInt32(m.x + static_cast<long long>(column) * cellWidth),
                                 SaturateInt32(m.y + static_cast<long long>(row) * cellHeight),
                                 cellWidth, cellHeight});
    }
    return zones;
}

int FindZoneHolding(const std::vector<ZoneRect>& zones, int x, int y) {
    for (size_t k = 0; k < zones.size(); ++k) {
        if (RectHoldsPoint(zones[k], x, y)) return static_cast<int>(k);
    }
    return -1;
}

std::vector<int> BuildTypeList(const std::vector<DetailRow>& rows) {
    std::vector<int> types;
    for (const DetailRow& row : rows) {
        if (types.empty() || types.back() != row.typeId) types.push_back(row.typeId);
    }
    return types;
}

int AppendRegionZones(const ScreenRect& m, const std::vector<RegionFraction>& regions,
                      std::vector<ZoneRect>& zones) {
    int dropped = 0;
    for (const RegionFraction& f : regions) {
        if (zones.size() >= static_cast<size_t>(kMaxLayoutZones)) {
            ++dropped;
            continue;
        }
        // The monitor's origin is added before truncating: on a monitor left of or above the
        // primary the sum is negative and truncates toward zero.
        zones.push_back(ZoneRect{RegionPixel(m.x + m.width * f.x), RegionPixel(m.y + m.height * f.y),
                                 RegionPixel(m.width * f.width), RegionPixel(m.height * f.height)});
    }
    return dropped;
}

std::vector<ZoneRect> ComputeUserZones(const ScreenRect& m, const std::vector<int>& typeList,
                                       const std::function<std::vector<RegionFraction>(int typeId)>& loadTypeRegions,
                                       int* dropped) {
    std::vector<ZoneRect> zones;
    int lost = 0;
    for (int type : typeList) {
        if (!loadTypeRegions) break;
        lost += AppendRegionZones(m, loadTypeRegions(type), zones);
    }
    if (dropped) *dropped = lost;
    return zones;
}

int FindRegionByTitle(const std::vector<DetailRow>& rows, int typeId, int rowCount, const CString& title) {
    const int n = std::min<long long>(std::max(rowCount, 0), static_cast<long long>(rows.size()));
    for (int i = 0; i < n; ++i) {
        const DetailRow& row = rows[i];
        if (row.typeId != typeId) continue;
        const CString name = FileNameFromPath(row.filePath, 0);
        if (name.IsEmpty()) {
            // A screen without bindings decides with region 0; a binding whose name came out
            // empty would otherwise pin every window.
            if (row.filePath.IsEmpty()) return row.regionId;
            continue;
        }
        if (title.Find(name.GetString()) >= 0) return row.regionId;
    }
    return -1;
}

}  // namespace engine
