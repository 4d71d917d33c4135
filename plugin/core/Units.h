// Lengths in the units requests name. The host works in points (1/72 inch) divided by the
// document's scale factor: a large canvas has a factor above 1, and each of its host units stands
// for that many points.
//
// Unit names, compared exactly (letter case matters): "inches"/"in", "centimeters"/"cm",
// "points"/"pt", "picas"/"pc"/"p", "millimeters"/"mm", "pixels"/"px", "feetInches", "meters"/"m",
// "yards"/"yd", "feet"/"ft", and "current" or "Current" for the document's ruler unit. An empty or
// unknown name means points. Both directions read the names alike and apply the scale alike, so
// converting a length to host units and back gives the length.
#pragma once

#include <string>

// The host value of a length given in the unit: value × unit size / document scale. Without a
// usable scale (no document, a failing host call) the value is returned unchanged.
double LenUnitsToPoints(double value, const std::string& units);
// The reverse: a host value in the unit, value / unit size × document scale; unchanged without a
// usable scale.
double PointsToLenUnits(double value, const std::string& units);
// The value in fixed-point notation, not converted, with precision digits after the point, or when
// precision is negative the unit's own number of digits (points and pixels 0, millimetres 2,
// inches, centimetres and picas 3, the others and unknown units 4). At most 50 digits are written.
std::string LenToString(double value, const std::string& units, int precision);
// LenToString of PointsToLenUnits.
std::string PointsToLenUnitsString(double value, const std::string& units, int precision);

// The number of points in one of the unit, by the rules above (1 for an empty or unknown name).
double UnitSizeInPoints(const std::string& units);
