// Lists and sets of art handles, the currency of every art walk and tag query.
#pragma once

#include <set>
#include <vector>

#include "AIArt.h"

// Art handles in a stated order (document order, key order, list order...).
using ArtList = std::vector<ArtObject*>;
// Art handles ordered by handle value: an order without meaning for the user, so callers that
// need one re-sort (SortArtByPaintOrder).
using ArtHandleSet = std::set<ArtObject*>;
