#include "layout/Artboards.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numeric>
#include <string_view>

#include "core/Units.h"
#include "layout/LayoutRequest.h"
#include "layout/ReferencePoints.h"

namespace {

// The named sizes a request's "template" can ask for. The values stand as the application lists
// them: "800 x 600 (SVGA)" is 600 wide, and the video and film sizes give the smaller number first.
constexpr std::array<ArtboardPreset, 41> kArtboardPresets{{
    {"Letter", 612, 792, 1},
    {"Legal", 612, 1008, 1},
    {"Tabloid", 792, 1224, 1},
    {"A4", 595.2756, 841.8898, 1},
    {"A3", 841.8898, 1190.5512, 1},
    {"B5", 498.8976, 708.6614, 1},
    {"B4", 728.5039, 1031.811, 1},
    {"iPhone X", 1125, 2436, 1},
    {"iPhone 8 / 7 / 6 Plus", 1242, 2208, 1},
    {"iPhone 8 / 7 / 6", 750, 1334, 1},
    {"iPad Pro", 2048, 2732, 1},
    {"iPad Retina", 1536, 2048, 1},
    {"iPad", 768, 1024, 1},
    {"Google pixel / Pixel 2", 1080, 1920, 1},
    {"Google pixel XL / Pixel 2 XL", 1440, 2560, 1},
    {"Samsung S8", 1440, 2960, 1},
    {"Surface Pro 4", 1824, 2736, 1},
    {"Surface Pro 3", 1440, 2160, 1},
    {"Apple Watch 42mm", 312, 390, 1},
    {"Apple Watch 38mm", 272, 340, 1},
    {"Nexus 7 (2013)", 1200, 1920, 1},
    {"640 x 480 (VGA)", 640, 480, 1},
    {"800 x 600 (SVGA)", 600, 800, 1},
    {"960 x 560", 960, 560, 1},
    {"1024 x 768 (XGA)", 1024, 768, 1},
    {"1280 x 800", 1280, 800, 1},
    {"NTSC DV", 480, 654, 0.9091},
    {"NTSC DV Widescreen", 480, 873, 1.2121},
    {"NTSC D1", 486, 654, 0.9091},
    {"NTSC D1 Widescreen", 486, 873, 1.2121},
    {"PAL D1 / DV", 576, 788, 1.094},
    {"PAL D1 / DV Widescreen", 576, 1050, 1.4587},
    {"HDV / HDTV 720", 720, 1280, 1},
    {"HDV 1080", 1080, 1920, 1.3333},
    {"DVCPRO HD 720", 720, 1280, 1.3333},
    {"DVCPRO HD 1080", 1080, 1920, 1.5},
    {"HDTV 1080", 1080, 1920, 1},
    {"Cineon Half", 1332, 1828, 1},
    {"Cineon Full", 2664, 3656, 1},
    {"Film(2K)", 1556, 2048, 1},
    {"Film(4K)", 3112, 4096, 1},
}};

bool IsPositive(const std::optional<double>& value) {
    return !value || (std::isfinite(*value) && *value > 0.0);
}

bool IsFinite(const std::optional<double>& value) {
    return !value || std::isfinite(*value);
}

}  // namespace

std::optional<ArtboardPreset> FindArtboardPreset(const std::string& name) {
    const auto found = std::find_if(kArtboardPresets.begin(), kArtboardPresets.end(),
                                    [&](const ArtboardPreset& preset) { return name == preset.name; });
    if (found == kArtboardPresets.end()) {
        return std::nullopt;
    }
    return *found;
}

Artboard::Artboard(double width, double height, std::string anchorPoint, double x, double y)
    : width(width), height(height), x(x), y(y), anchorPoint(std::move(anchorPoint)) {}

Artboard::Artboard(const AIRealRect& rect)
    : Artboard(std::abs(rect.left - rect.right), std::abs(rect.top - rect.bottom), "C",
               (rect.left + rect.right) * 0.5, (rect.top + rect.bottom) * 0.5) {}

Artboard::Artboard(const json& request) {
    if (HasKey(request, "template")) {
        if (const std::optional<ArtboardPreset> preset =
                FindArtboardPreset(ReadTextStrictly(request, "template"))) {
            width = preset->width;
            height = preset->height;
            par = preset->par;
        }
    }
    const std::string units = ReadTextStrictly(request, "units");
    const auto length = [&](const char* key) -> std::optional<double> {
        const std::optional<double> value = ReadOptionalNumberStrictly(request, key);
        return value ? std::optional<double>(LenUnitsToPoints(*value, units)) : std::nullopt;
    };
    if (const std::optional<double> value = length("width")) {
        width = value;
    }
    if (const std::optional<double> value = length("height")) {
        height = value;
    }
    anchorPoint = ReadTextStrictly(request, "anchorPoint", "C");
    x = length("x");
    y = length("y");
    if (const std::optional<double> value = ReadOptionalNumberStrictly(request, "par")) {
        par = value;
    }
    centerMark = ReadOptionalBoolStrictly(request, "centerMark");
    crossHairMark = ReadOptionalBoolStrictly(request, "crossHairMark");
    safeAreasMark = ReadOptionalBoolStrictly(request, "safeAreasMark");
    if (HasKey(request, "newName")) {
        newName = ReadNameStrictly(request, "newName");
    }
    // A ruler origin needs both coordinates; one alone sets nothing.
    if (HasKey(request, "rulerX") && HasKey(request, "rulerY")) {
        const double h = *length("rulerX");
        const double v = *length("rulerY");
        rulerOrigin = AIRealPoint{h, v};
    }
}

std::string Artboard::Check() const {
    if (!IsPositive(width) || !IsPositive(height)) {
        return "The width and height of an artboard must be above 0";
    }
    if (!IsPositive(par)) {
        return "The pixel aspect ratio must be above 0";
    }
    const bool rulerFinite = !rulerOrigin || (std::isfinite(rulerOrigin->h) && std::isfinite(rulerOrigin->v));
    if (!IsFinite(x) || !IsFinite(y) || !rulerFinite) {
        return "The coordinates of an artboard must be finite numbers";
    }
    return {};
}

AIRealRect Artboard::RectFrom(const AIRealRect& current) const {
    AIRealPoint anchor = GetFixedPoint(current, anchorPoint, "move");
    anchor.h = x.value_or(anchor.h);
    anchor.v = y.value_or(anchor.v);
    const double w = width.value_or(std::abs(current.left - current.right));
    const double h = height.value_or(std::abs(current.top - current.bottom));
    const AIRealPoint direction = PointNameToVector(anchorPoint);
    const double cx = anchor.h - direction.h * w * 0.5;
    const double cy = anchor.v - direction.v * h * 0.5;
    return AIRealRect{cx - w * 0.5, cy + h * 0.5, cx + w * 0.5, cy - h * 0.5};
}

void Artboard::AddToArtboard(ai::ArtboardProperties& properties) const {
    AIRealRect current{};
    if (properties.GetPosition(current) == kNoErr) {
        properties.SetPosition(RectFrom(current));
    }
    if (par) {
        properties.SetPixelAspectRatio(*par);
    }
    if (centerMark) {
        properties.SetShowDisplayMark(ai::ArtboardProperties::kCenterMark, *centerMark);
    }
    if (crossHairMark) {
        properties.SetShowDisplayMark(ai::ArtboardProperties::kCrossHairs, *crossHairMark);
    }
    if (safeAreasMark) {
        properties.SetShowDisplayMark(ai::ArtboardProperties::kSafeAreas, *safeAreasMark);
    }
    if (newName) {
        properties.SetName(ai::UnicodeString(*newName, kAIUTF8CharacterEncoding));
    }
    if (rulerOrigin) {
        properties.SetRulerOrigin(*rulerOrigin);
    }
}

bool ApplyArtboardRecord(const Artboard& record, ai::ArtboardProperties& properties) {
    AIRealRect before{};
    if (properties.GetPosition(before) != kNoErr) {
        return false;
    }
    record.AddToArtboard(properties);
    const AIRealRect wanted = record.RectFrom(before);
    AIRealRect now{};
    return properties.GetPosition(now) == kNoErr && now.left == wanted.left && now.top == wanted.top &&
           now.right == wanted.right && now.bottom == wanted.bottom;
}

bool Overlap(const AIRealRect& a, const AIRealRect& b) {
    return a.left <= b.right && b.left <= a.right && a.bottom <= b.top && b.bottom <= a.top;
}

bool ReadProperties(const ai::ArtboardList& list, ArtboardID index, ai::ArtboardProperties& properties) {
    return properties.IsValid() && list.GetArtboardProperties(index, properties) == kNoErr;
}

std::optional<AIRealRect> PositionOf(const ai::ArtboardProperties& properties) {
    AIRealRect rect{};
    if (properties.GetPosition(rect) != kNoErr) {
        return std::nullopt;
    }
    return rect;
}

std::optional<AIRealRect> PositionAt(const ai::ArtboardList& list, ArtboardID index) {
    ai::ArtboardProperties properties;
    if (!ReadProperties(list, index, properties)) {
        return std::nullopt;
    }
    return PositionOf(properties);
}

int CountOf(const ai::ArtboardList& list) {
    ArtboardID count = 0;
    return list.GetCount(count) == kNoErr ? count : 0;
}

std::vector<int> ToIndexes(const std::vector<double>& numbers) {
    std::vector<int> indexes;
    for (const double number : numbers) {
        const double whole = std::trunc(number);
        indexes.push_back(whole >= 1.0 && whole <= 1e6 ? static_cast<int>(whole) - 1 : -1);
    }
    return indexes;
}

bool CreateSingleArtboard(const AIRealRect& rect) {
    ai::ArtboardList list;
    ArtboardID count = 0;
    if (!list.IsValid() || list.GetCount(count) != kNoErr || count < 1) {
        return false;
    }
    ai::ArtboardProperties properties;
    if (list.GetArtboardProperties(0, properties) != kNoErr) {
        return false;
    }
    if (!ApplyArtboardRecord(Artboard(rect), properties) || list.Update(0, properties) != kNoErr) {
        return false;
    }
    if (count == 1) {
        return true;
    }
    std::vector<ArtboardID> others(static_cast<std::size_t>(count - 1));
    std::iota(others.begin(), others.end(), 1);
    return list.Delete(others) == kNoErr;
}

bool CountRowsAndColumns(int n, int first, int second, int& firstCount, int& secondCount) {
    if (n < 1) {
        return false;
    }
    const auto ceilDiv = [](int a, int b) { return (a + b - 1) / b; };
    if (second >= 1) {
        secondCount = std::min(n, second);
        firstCount = ceilDiv(n, secondCount);
    } else if (first < 1) {
        secondCount = static_cast<int>(std::ceil(std::sqrt(static_cast<double>(n))));
        firstCount = ceilDiv(n, secondCount);
    } else {
        firstCount = std::min(n, first);
        secondCount = ceilDiv(n, firstCount);
    }
    return true;
}

bool CheckArtboardsOrder(std::vector<int> order, int n) {
    if (n < 0 || order.size() != static_cast<std::size_t>(n)) {
        return false;
    }
    std::sort(order.begin(), order.end());
    for (int i = 0; i < n; ++i) {
        if (order[static_cast<std::size_t>(i)] != i) {
            return false;
        }
    }
    return true;
}

std::string NameAndNumberToStr(const std::string& name, int number) {
    return name + " " + std::to_string(number);
}
