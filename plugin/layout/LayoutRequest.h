// Reading the numbers of layout requests. Keys read strictly fail the command on a value of
// another type (CommandError naming the key, before anything changes); keys read leniently keep
// their default.
#pragma once

#include <optional>
#include <string>

#include "core/Json.h"

// Whether the request is an object holding the key (of any type).
bool HasKey(const json& request, const std::string& key);

// A number; an absent key gives the fallback, a key of another type fails the command.
double ReadNumber(const json& request, const std::string& key, double fallback);
// A number when the key is present; a key of another type fails the command.
std::optional<double> ReadOptionalNumber(const json& request, const std::string& key);
// A number when the key is present and holds one; otherwise the fallback.
double ReadNumberLeniently(const json& request, const std::string& key, double fallback);
// An integer (a number with a fraction is truncated toward zero); an absent key gives the
// fallback, a key of another type or out of the 32-bit range fails the command.
int ReadInteger(const json& request, const std::string& key, int fallback);

// The bounds options of a request: "usePreviewBounds" (default: the application's preference
// "includeStrokeInBounds", false when it can't be read) and "useClippingBounds" (default
// clippingDefault), both read leniently.
struct BoundsOptions {
    bool visible = false;
    bool clipping = false;
};
BoundsOptions ReadBoundsOptions(const json& request, bool clippingDefault);

// Degrees to radians, as every angle of a request is given in degrees.
double DegreesToRadians(double degrees);
