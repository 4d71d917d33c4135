// The request-side record of one artboard (`Artboard`): size, placement by an anchor point, pixel
// aspect ratio, display marks, name and ruler origin, each optional; the named size presets; and the
// pure helpers of the artboard commands (grid counts, order checks, numbered names).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "AIRealMath.h"
#include "IAIArtboards.hpp"
#include "core/Json.h"

// A named size preset: width and height in points, and the pixel aspect ratio.
struct ArtboardPreset {
    const char* name;
    double width;
    double height;
    double par;
};

// The preset of that exact (case-sensitive) name; none for an unknown name.
std::optional<ArtboardPreset> FindArtboardPreset(const std::string& name);

struct Artboard {
    std::optional<double> width;   // points
    std::optional<double> height;  // points
    std::optional<double> x;       // where the anchor point is to go, points
    std::optional<double> y;
    std::string anchorPoint = "C";  // a reference-point name (ReferencePoints.h)
    std::optional<double> par;      // pixel aspect ratio
    std::optional<bool> centerMark;
    std::optional<bool> crossHairMark;
    std::optional<bool> safeAreasMark;
    std::optional<std::string> newName;  // UTF-8
    std::optional<AIRealPoint> rulerOrigin;

    Artboard() = default;
    Artboard(double width, double height, std::string anchorPoint, double x, double y);
    // The record that reproduces the rectangle: its size, placed by its centre.
    explicit Artboard(const AIRealRect& rect);
    // From a request object: "template", "units", "width", "height", "anchorPoint", "x", "y", "par",
    // the three marks, "newName", "rulerX" with "rulerY". A key of the wrong JSON type throws the
    // JSON library's type error.
    explicit Artboard(const json& request);

    // Empty when the record can be applied; otherwise why not. Sizes must be finite and above 0,
    // the pixel aspect ratio finite and above 0, coordinates finite: the application would refuse
    // anything else, or make an artboard nobody can see.
    std::string Check() const;

    // Writes the set members into the properties; the caller commits them to the document.
    void AddToArtboard(ai::ArtboardProperties& properties) const;
    // The rectangle AddToArtboard gives an artboard whose rectangle is `current`.
    AIRealRect RectFrom(const AIRealRect& current) const;
};

// AddToArtboard, then reads the rectangle back: false when the properties don't hold the rectangle
// the record asked for (the application keeps the old one when it refuses a new one, one without
// an extent or beyond its coordinates), or have none.
bool ApplyArtboardRecord(const Artboard& record, ai::ArtboardProperties& properties);

// Makes the current document hold exactly one artboard, the former first one, with the rectangle.
bool CreateSingleArtboard(const AIRealRect& rect);

// The failures the artboard commands share.
inline constexpr const char* kCantSetPosition = "Can't set a position of an artboard";
inline constexpr const char* kCantUpdate = "Can't update an artboard";

// Rectangles that share a point (touching counts), y up.
bool Overlap(const AIRealRect& a, const AIRealRect& b);

// The artboard list: one artboard's properties, its rectangle (none when it can't be read), and the
// number of artboards (0 when it can't be read).
bool ReadProperties(const ai::ArtboardList& list, ArtboardID index, ai::ArtboardProperties& properties);
std::optional<AIRealRect> PositionOf(const ai::ArtboardProperties& properties);
std::optional<AIRealRect> PositionAt(const ai::ArtboardList& list, ArtboardID index);
int CountOf(const ai::ArtboardList& list);

// Artboard numbers (1-based, truncated) as 0-based indexes; a number no artboard can have becomes -1,
// without overflowing.
std::vector<int> ToIndexes(const std::vector<double>& numbers);

// Rows and columns of a grid of n artboards: second given (>= 1) wins, then first, else a square.
// False (counts untouched) when n < 1.
bool CountRowsAndColumns(int n, int first, int second, int& firstCount, int& secondCount);
// Whether the order holds each of 0 .. n-1 exactly once.
bool CheckArtboardsOrder(std::vector<int> order, int n);
// "Artboard" and 3 give "Artboard 3".
std::string NameAndNumberToStr(const std::string& name, int number);
