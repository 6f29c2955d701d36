// Zones of a layout: the grid's cells and a user-defined rule's regions in pixels, and the
// title bindings that pin windows to regions.
#pragma once

#include <functional>
#include <vector>

#include "engine/core/EngineTypes.h"
#include "framework/CString.h"

namespace engine {

// One region of a layout type as fractions of the monitor (a RegionNode's geometry).
struct RegionFraction {
    double x = 0, y = 0, width = 0, height = 0;
};

// One row of a rule's active details (an ActiveDetailRecord): the screen's layout type and, when
// the screen has a title binding, the bound region and title or path.
struct DetailRow {
    int screenId = 0;
    int typeId = 0;
    int regionId = 0;   // 1-based zone number; 0 when the screen has no binding
    CString filePath;   // bound title or path; empty when none
};

// Truncates toward zero into the signed 32-bit range; NaN gives 0 and out-of-range values clamp,
// so damaged fractions cannot trigger undefined conversions.
int TruncToInt32(double v);

// A region's edge or size in pixels: truncated toward zero as TruncToInt32, except that a value
// within a rounding error (1e-7) of a whole pixel is that pixel.
int RegionPixel(double v);

// The grid's cells on monitor M in row-major order (at most kMaxLayoutZones). Cells are
// M.width / columns by M.height / rows, truncated toward zero; the remainder strips at the right
// and bottom belong to no cell. Rows or columns below 1 give no cells.
std::vector<ZoneRect> ComputeGridZones(const ScreenRect& m, int rows, int columns);

// The first zone (ascending) holding the point, half-open; -1 when none does.
int FindZoneHolding(const std::vector<ZoneRect>& zones, int x, int y);

// The rule's type list: the rows' type ids in row order, a type dropped when it repeats the one
// listed just before it.
std::vector<int> BuildTypeList(const std::vector<DetailRow>& rows);

// Appends one zone per region to `zones`: {M.x + M.width*fx, M.y + M.height*fy, M.width*fw,
// M.height*fh}, each value computed in double and truncated toward zero (RegionPixel). Stops at
// kMaxLayoutZones; returns the number of regions that did not fit.
int AppendRegionZones(const ScreenRect& m, const std::vector<RegionFraction>& regions,
                      std::vector<ZoneRect>& zones);

// The zones of every listed type in order, all on monitor M; loadTypeRegions(type id) gives the
// type's regions in region order. `dropped` (optional) receives the number of regions beyond
// kMaxLayoutZones that were left out.
std::vector<ZoneRect> ComputeUserZones(const ScreenRect& m, const std::vector<int>& typeList,
                                       const std::function<std::vector<RegionFraction>(int typeId)>& loadTypeRegions,
                                       int* dropped = nullptr);

// The region id of the first of the first rowCount rows whose type is `typeId` and whose
// file-name part occurs in the title; -1 when none matches. A row with an empty path matches
// every title (its region id 0 pins nothing); a row whose path is set but yields an empty
// file-name part (".NET Reflector", "C:\Temp\") is passed over instead of pinning every window.
int FindRegionByTitle(const std::vector<DetailRow>& rows, int typeId, int rowCount, const CString& title);

}  // namespace engine
