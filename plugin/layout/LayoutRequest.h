// What layout requests share beyond the common request reader: lengths in the request's unit,
// bounds options and angles; and what the geometry commands report of the objects they moved.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/Json.h"
#include "layout/ReferencePoints.h"

// A length read strictly (core/Json.h) and converted from units to points (the fallback is in
// units too). A length that is not
// finite once converted fails the command (CommandError naming the key), as the application would
// refuse to place anything there.
std::optional<double> ReadOptionalLengthStrictly(const json& request, std::string_view key,
                                                 const std::string& units);
double ReadLengthStrictly(const json& request, std::string_view key, const std::string& units,
                          double fallback);
// Fails the command when a length worked out from the request's keys is not finite.
double CheckedLength(double points, std::string_view key);

// The bounds options of a request: "usePreviewBounds" (default: the application's preference
// "includeStrokeInBounds", false when it can't be read) and "useClippingBounds" (default
// clippingDefault), both read leniently.
BoundsOptions ReadBoundsOptions(const json& request, bool clippingDefault);

// How the objects of a geometry command fared.
struct MoveTally {
    int moved = 0;
    int refused = 0;     // the application refused to transform them
    int unmeasured = 0;  // their bounds couldn't be read

    void Count(bool done) { ++(done ? moved : refused); }
};
// What the reply says of the tally: "error" when the application refused every object it was given
// to move, else a "warning" for the objects left as they were.
void ReportTally(json& reply, const MoveTally& tally);

// Degrees to radians, as every angle of a request is given in degrees.
double DegreesToRadians(double degrees);
