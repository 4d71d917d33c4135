// The colour record of every colour that crosses the JSON interface, its partial form for edits,
// and the conversions between it, the host's colours and the document's swatches.
#pragma once

#include <string>

#include "AIPathStyle.h"
#include "AISwatchList.h"
#include "core/Json.h"

// A colour space name that is none of the known ones; its text names the space.
class ColorSpaceError : public CommandError {
public:
    explicit ColorSpaceError(const std::string& space) : CommandError("Unknown color space: " + space) {}
};

class PartialPFieldColor;

class PFieldColor {
public:
    PFieldColor() = default;
    // From a colour object. ok false when it names neither a colour space nor a swatch. Throws
    // ColorSpaceError for an unknown colour space, the JSON library's type error (or CommandError for
    // an integer beyond 32 bits) for a key of the wrong type.
    PFieldColor(const json& object, bool& ok);
    // From a host colour, its swatch and library looked up.
    explicit PFieldColor(const AIColor& color);
    // From the document swatch of that name; ok false (and the defaults) when there is none.
    PFieldColor(const std::string& swatchName, bool& ok);
    // A full colour from a partial one; ok false (and the defaults) when it does not read as one.
    PFieldColor(const PartialPFieldColor& partial, bool& ok);

    json WriteJson() const;
    // Whether the channels keep the ranges of the colour space (and a custom, gradient or pattern
    // colour names its swatch).
    bool Check() const;
    // The host colour; may create or update the document swatch and custom colour it names. Kind
    // none for anything the host can't take (a colour that fails Check included).
    AIColor HostColor() const;
    // The colour in another space through the host's conversion; false (out untouched when this
    // fails Check) when it can't be converted.
    bool ConvertColorSpace(const std::string& destColorSpace, PFieldColor& out) const;

    std::string swatchLibrary;
    std::string swatchName;
    bool spot = false;
    bool global = false;
    std::string colorSpace = "None";
    int channel_1 = 0;
    int channel_2 = 0;
    int channel_3 = 0;
    int channel_4 = 0;
    int customColorTint = 100;
    bool updateSwatches = false;

private:
    AIColor ProcessOrGlobalColor() const;
    AIColor NamedResourceColor() const;
};

// A colour in which every member may be left out: the colour of an edit.
class PartialPFieldColor : public PFieldColor {
public:
    PartialPFieldColor() { colorSpace.clear(); }
    // Nothing here fails; unknown colour spaces and tints outside 0 to 100 are left out. Texts of
    // another type throw the JSON library's type error.
    explicit PartialPFieldColor(const json& object);

    json WriteJson() const;
    bool ColorElementsPresent() const;
    // This colour laid over the base; the base when the result fails the full colour's reader or
    // its Check.
    PFieldColor MergeToPFieldColor(const PFieldColor& base) const;
    // Lays this colour over an existing one, deciding what becomes of swatches (see the algorithm
    // in Colors.cpp).
    void AddToPFieldColor(const PFieldColor& existing, const PFieldColor& reference, PFieldColor& result,
                          AIColor& hostColor, bool& colourOk, bool& swatchOk) const;

    bool hasSpot = false;
    bool hasGlobal = false;
    bool hasChannel[4] = {false, false, false, false};
    bool hasTint = false;
    std::string destColorSpace;
};

// The spelling of a colour space name (ASCII case ignored, "gray" for "Grayscale"), among
// "Grayscale", "RGB", "CMYK", "Lab", "Custom", "Gradient", "Pattern", "None", "document" and
// "remove"; the empty text for any other.
std::string NormalizeColorSpaceName(const std::string& name);
// "CMYK" for a CMYK document, "RGB" otherwise (also without a document).
std::string GetCurDocumentColorSpace();
// The swatch list of the loaded library of that name (index 1 on; the document's own list is not
// looked at).
bool GetLibraryByName(const std::string& name, AISwatchListRef& list);
// The document swatch of that name made (at the end) or found, given the colour; null for an empty
// name or when it can't be made or coloured (a swatch made for it is taken out again).
AISwatchRef EditSwatch(const std::string& name, const AIColor& color);
// The document's swatch list; null without one.
AISwatchListRef DocumentSwatchList();
// The document swatch of that name; null for an empty name or none.
AISwatchRef FindDocumentSwatch(const std::string& name);
// A new swatch at the end of the document's list, named newName, with the colour of the swatch
// named sourceName (also given in color). False when a name is empty or a step fails; a swatch
// made before the failure is taken out again.
bool DuplicateSwatch(const std::string& sourceName, const std::string& newName, AIColor& color);
