#include "ui/core/RuleLayout.h"

#include <algorithm>
#include <cmath>

namespace ruleui {

bool CapturedBefore(const CapturedWindow& a, const CapturedWindow& b) {
    if (std::fabs(a.left - b.left) >= kCaptureColumnSlack) return a.left < b.left;
    return a.top < b.top;
}

namespace {

void MergeSort(std::vector<CapturedWindow>& v, size_t first, size_t count, std::vector<CapturedWindow>& scratch) {
    if (count < 2) return;
    const size_t half = count / 2;
    MergeSort(v, first, half, scratch);
    MergeSort(v, first + half, count - half, scratch);
    scratch.clear();
    size_t i = first, j = first + half;
    const size_t midEnd = first + half, end = first + count;
    while (i < midEnd && j < end) {
        // the second run goes first only when strictly before: equal windows keep their order
        if (CapturedBefore(v[j], v[i])) scratch.push_back(v[j++]);
        else scratch.push_back(v[i++]);
    }
    while (i < midEnd) scratch.push_back(v[i++]);
    while (j < end) scratch.push_back(v[j++]);
    std::copy(scratch.begin(), scratch.end(), v.begin() + static_cast<std::ptrdiff_t>(first));
}

// Truncation toward zero; false for a value a window coordinate cannot be (NaN, beyond 2^30).
bool TruncToInt(double v, int* out) {
    constexpr double kLimit = 1 << 30;
    if (!std::isfinite(v) || v >= kLimit || v <= -kLimit) return false;
    *out = static_cast<int>(v);
    return true;
}

bool IsLiveOfType(const RegionNode& node, int typeId) { return node.deleted != 1 && node.type_id == typeId; }

}  // namespace

void SortCapturedWindows(std::vector<CapturedWindow>& windows) {
    std::vector<CapturedWindow> scratch;
    scratch.reserve(windows.size());
    MergeSort(windows, 0, windows.size(), scratch);
}

FrameBorder BorderOf(const engine::WinRect& window, const engine::WinRect& frame) {
    // a frame that is not inside the rectangle (no compositor, or a stale answer) adds nothing
    FrameBorder b;
    if (frame.left >= window.left && frame.left < window.right) b.left = frame.left - window.left;
    if (frame.top >= window.top && frame.top < window.bottom) b.top = frame.top - window.top;
    return b;
}

bool CapturedOnMonitor(const engine::WinRect& window, const FrameBorder& border, const engine::ScreenRect& m) {
    const long long x = static_cast<long long>(window.left) + border.left;
    const long long y = static_cast<long long>(window.top) + border.top;
    return engine::RectHoldsPoint(m, engine::SaturateInt32(x), engine::SaturateInt32(y));
}

std::vector<RegionNode> CaptureRegions(const std::vector<engine::WinRect>& windows, const engine::ScreenRect& m,
                                       const std::vector<FrameBorder>& borders) {
    std::vector<RegionNode> regions;
    if (m.width <= 0 || m.height <= 0) return regions;
    std::vector<CapturedWindow> captured;
    for (size_t i = 0; i < windows.size(); ++i) {
        const engine::WinRect& r = windows[i];
        if (static_cast<int>(captured.size()) >= kMaxRegionButtons) break;
        if (!CapturedOnMonitor(r, i < borders.size() ? borders[i] : FrameBorder{}, m)) continue;
        CapturedWindow w;
        w.number = static_cast<int>(captured.size()) + 1;
        w.left = r.left;
        w.top = r.top;
        w.width = static_cast<double>(r.right) - r.left;
        w.height = static_cast<double>(r.bottom) - r.top;
        captured.push_back(w);
    }
    SortCapturedWindows(captured);
    for (size_t i = 0; i < captured.size(); ++i) {
        const CapturedWindow& w = captured[i];
        RegionNode node;
        node.number = static_cast<int>(i) + 1;
        node.flag = 1;
        node.type_flg = TYPE_FLG_USER;
        node.type_id = -1;
        node.x = (w.left - m.x) / m.width;
        node.y = (w.top - m.y) / m.height;
        node.width = w.width / m.width;
        node.height = w.height / m.height;
        regions.push_back(node);
    }
    return regions;
}

void ReplaceCapturedRegions(RegionList& regions, const std::vector<RegionNode>& captured) {
    for (RegionNode& node : regions)
        if (node.type_flg == TYPE_FLG_USER) node.deleted = 1;
    regions.insert(regions.end(), captured.begin(), captured.end());
}

std::vector<RegionNode*> RegionsOfType(RegionList& regions, int typeId) {
    std::vector<RegionNode*> out;
    for (RegionNode& node : regions) {
        if (static_cast<int>(out.size()) >= kMaxRegionButtons) break;
        if (IsLiveOfType(node, typeId)) out.push_back(&node);
    }
    return out;
}

std::vector<const RegionNode*> RegionsOfType(const RegionList& regions, int typeId) {
    std::vector<const RegionNode*> out;
    for (RegionNode* node : RegionsOfType(const_cast<RegionList&>(regions), typeId)) out.push_back(node);
    return out;
}

bool DeleteCapturedRegion(RegionList& regions, int typeId, const CString& text) {
    if (text.IsEmpty() || text == L"0") return false;
    for (RegionNode& node : regions) {
        if (node.deleted != 0 || node.type_flg != TYPE_FLG_USER || node.type_id != typeId) continue;
        CString number;
        number.Format(L"%d", node.number);
        if (number == text) {
            node.deleted = 1;
            return true;
        }
    }
    return false;
}

ButtonRect RegionButtonRect(double originX, double originY, double width, double height, const RegionNode& region) {
    ButtonRect r;
    if (!TruncToInt(originX + region.x * width, &r.left) || !TruncToInt(originY + region.y * height, &r.top) ||
        !TruncToInt(region.width * width, &r.width) || !TruncToInt(region.height * height, &r.height))
        return ButtonRect{};
    return r;
}

CString PreviewCaption(int region, const std::vector<TitleRecord>& screenTitles) {
    // records of other screens are left zero by the store and never count
    const auto count = std::count_if(screenTitles.begin(), screenTitles.end(),
                                     [region](const TitleRecord& t) { return t.id != 0 && t.region_id == region; });
    CString caption;
    caption.Format(L"%d(%d)", region, static_cast<int>(count));
    return caption;
}

std::vector<CString> OfferedHotkeyDigits(const CStringArray& freeDigits, const CString& ownDigit) {
    std::vector<CString> digits;
    if (!ownDigit.IsEmpty()) digits.push_back(ownDigit);
    for (int i = 0; i < freeDigits.GetSize(); ++i) {
        const CString& d = freeDigits[i];
        if (d != L"0" && d != ownDigit) digits.push_back(d);
    }
    std::sort(digits.begin(), digits.end());
    return digits;
}

}  // namespace ruleui
