#include "layout/LayoutRequest.h"

#include <cmath>
#include <limits>

#include "documents/Preferences.h"

namespace {

const json* FindKey(const json& request, const std::string& key) {
    if (!request.is_object()) {
        return nullptr;
    }
    const auto found = request.find(key);
    return found == request.end() ? nullptr : &*found;
}

[[noreturn]] void FailNotANumber(const std::string& key) {
    throw CommandError("\"" + key + "\" must be a number");
}

}  // namespace

bool HasKey(const json& request, const std::string& key) {
    return FindKey(request, key) != nullptr;
}

std::optional<double> ReadOptionalNumber(const json& request, const std::string& key) {
    const json* value = FindKey(request, key);
    if (value == nullptr) {
        return std::nullopt;
    }
    if (!value->is_number()) {
        FailNotANumber(key);
    }
    return value->get<double>();
}

double ReadNumber(const json& request, const std::string& key, double fallback) {
    return ReadOptionalNumber(request, key).value_or(fallback);
}

double ReadNumberLeniently(const json& request, const std::string& key, double fallback) {
    const json* value = FindKey(request, key);
    return value != nullptr && value->is_number() ? value->get<double>() : fallback;
}

int ReadInteger(const json& request, const std::string& key, int fallback) {
    const std::optional<double> number = ReadOptionalNumber(request, key);
    if (!number) {
        return fallback;
    }
    const double truncated = std::trunc(*number);
    if (truncated < std::numeric_limits<int>::min() || truncated > std::numeric_limits<int>::max()) {
        throw CommandError("\"" + key + "\" is out of range");
    }
    return static_cast<int>(truncated);
}

BoundsOptions ReadBoundsOptions(const json& request, bool clippingDefault) {
    BoundsOptions options;
    options.clipping = clippingDefault;
    ReadPluginPrefBool("", "includeStrokeInBounds", options.visible);
    ReadJsonValue(request, "usePreviewBounds", options.visible);
    ReadJsonValue(request, "useClippingBounds", options.clipping);
    return options;
}

double DegreesToRadians(double degrees) {
    return degrees / 180.0 * 3.141592653589793;
}
