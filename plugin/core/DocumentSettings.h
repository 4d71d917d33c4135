// The current document's settings that lengths depend on: its ruler unit and its scale factor.
#pragma once

#include <optional>
#include <string>

// The name of the current document's ruler unit ("inches", "centimeters", "points", "picas",
// "millimeters", "pixels", "feetInches", "meters", "yards", "feet"); empty when there is no
// document, the host call fails or the unit has no name (quarter millimetres).
std::string GetDocumentLenUnits();
// The host's code of the current document's ruler unit; none when it can't be read.
std::optional<int> GetDocumentRulerUnitsCode();
// The current document's scale factor; 1.0 when it cannot be read or is not above 0.
double GetDocumentScale();
// The same, but none when it cannot be read or is not above 0.
std::optional<double> ReadDocumentScale();
