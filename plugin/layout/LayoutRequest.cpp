#include "layout/LayoutRequest.h"

#include <cmath>

#include "core/Failures.h"
#include "core/Preferences.h"
#include "core/Units.h"

double CheckedLength(double points, std::string_view key) {
    if (!std::isfinite(points)) {
        throw CommandError("\"" + std::string(key) + "\" is out of range");
    }
    return points;
}

std::optional<double> ReadOptionalLengthStrictly(const json& request, std::string_view key,
                                                 const std::string& units) {
    const std::optional<double> length = ReadOptionalNumberStrictly(request, key);
    if (!length) {
        return std::nullopt;
    }
    return CheckedLength(LenUnitsToPoints(*length, units), key);
}

double ReadLengthStrictly(const json& request, std::string_view key, const std::string& units,
                          double fallback) {
    return CheckedLength(LenUnitsToPoints(ReadNumberStrictly(request, key, fallback), units), key);
}

BoundsOptions ReadBoundsOptions(const json& request, bool clippingDefault) {
    BoundsOptions options;
    options.clipping = clippingDefault;
    ReadPluginPrefBool("", "includeStrokeInBounds", options.visible);
    ReadJsonValue(request, "usePreviewBounds", options.visible);
    ReadJsonValue(request, "useClippingBounds", options.clipping);
    return options;
}

void ReportTally(json& reply, const MoveTally& tally) {
    if (tally.refused > 0 && tally.moved == 0) {
        reply["error"] = kAllRefused;
    } else if (tally.refused > 0) {
        reply["warning"] = kRefusedWarning;
    } else if (tally.unmeasured > 0) {
        reply["warning"] = kUnmeasuredWarning;
    }
}

double DegreesToRadians(double degrees) {
    return degrees / 180.0 * 3.141592653589793;
}
