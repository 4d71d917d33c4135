// Artboards: the pages of a document, each a rectangle of the artwork with the settings the
// application shows it with, and a document's list of them with the active one.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "model/Point.h"
#include "model/Rect.h"
#include "model/Status.h"

namespace host::model {

struct Artboard {
    // Where the artboard lies, in document coordinates (y grows upward); width and height above 0.
    // A new artboard is a letter page.
    Rect bounds{0.0, 792.0, 612.0, 0.0};
    std::string name;  // UTF-8
    // Where the rulers count from, measured from the artboard's top-left corner with y growing
    // downward, as the rulers count.
    Point rulerOrigin;
    double pixelAspectRatio = 1.0;  // above 0
    bool showCenter = false;
    bool showCrossHairs = false;
    bool showSafeAreas = false;
    bool operator==(const Artboard&) const = default;
};

// The artboard a new document has: a letter page named "Artboard 1".
Artboard defaultArtboard();

// Finite numbers, a rectangle of positive width and height, a ratio above 0 and UTF-8 text.
bool isValidArtboard(const Artboard& artboard);

// A document holds at most this many artboards.
inline constexpr std::size_t kMaxArtboards = 1000;

// The artboards of a document in order and the active one, with the edits that keep the list
// between one and kMaxArtboards valid artboards and the active index naming one of them.
class Artboards {
public:
    // The artboard a new document has, active.
    Artboards() : list_{defaultArtboard()} {}
    // The list with the active index (an empty list: the default artboard). badParameter: an
    // artboard that is not valid, too many, or an active index that names none.
    static Result<Artboards> from(std::vector<Artboard> list, std::size_t active);

    const std::vector<Artboard>& list() const { return list_; }
    std::size_t size() const { return list_.size(); }
    const Artboard& operator[](std::size_t index) const { return list_[index]; }
    const Artboard& front() const { return list_.front(); }
    std::vector<Artboard>::const_iterator begin() const { return list_.begin(); }
    std::vector<Artboard>::const_iterator end() const { return list_.end(); }
    std::size_t activeIndex() const { return active_; }
    const Artboard& active() const { return list_[active_]; }
    // The ruler origin of the active artboard in document coordinates: where the rulers show (0, 0).
    Point rulerOrigin() const;

    // badParameter: an index that names no artboard.
    Status setActive(std::size_t index);
    // notFound: an index that names no artboard; badParameter: properties that are not valid
    // (isValidArtboard).
    Status update(std::size_t index, const Artboard& artboard);
    // Adds the artboard at a position (0 to the count) and answers its index: the artboards from
    // there on move one place back and the active artboard stays active. An artboard without a name
    // is named "Artboard N" (N the number of artboards with it). badParameter: a position beyond the
    // count, or an artboard that is not valid; notAllowed: the list holds kMaxArtboards already.
    Result<std::size_t> insertAt(std::size_t index, Artboard artboard);
    // The same after the last one.
    Result<std::size_t> insert(Artboard artboard) { return insertAt(list_.size(), std::move(artboard)); }
    // notFound: no such artboard; notAllowed: the last one. The active artboard stays active; when
    // it is the one removed, the one taking its place (or the new last one) becomes active.
    Status remove(std::size_t index) { return removeMany({index}); }
    // Removes a set of artboards as a whole, or nothing. badParameter: an index repeated;
    // notFound: one that names no artboard; notAllowed: every artboard. The active artboard stays
    // active; when it goes, the first remaining one after it (or the new last one) becomes active.
    Status removeMany(std::vector<std::size_t> indexes);

    bool operator==(const Artboards&) const = default;

private:
    std::vector<Artboard> list_;  // never empty
    std::size_t active_ = 0;
};

}  // namespace host::model
