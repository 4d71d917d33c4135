// Checked calls into the host's art suites. Each answers "nothing" (an empty optional, false, an
// empty list) when the host reports an error or the suite is not held, so that walks can stop
// quietly at the first failing call and keep what they have.
#pragma once

#include <optional>

#include "AIArt.h"
#include "art/ArtList.h"

namespace hostart {

// The art's host type (kGroupArt, kPathArt, ...).
std::optional<ai::int16> Type(ArtObject* art);
bool IsOfType(ArtObject* art, ai::int16 type);

// The relations of an art: empty on a host error, a null handle where the relation does not exist.
std::optional<ArtObject*> Parent(ArtObject* art);
std::optional<ArtObject*> FirstChild(ArtObject* art);
std::optional<ArtObject*> NextSibling(ArtObject* art);

// The art's children, front to back; the walk stops at the first failing call.
ArtList Children(ArtObject* art);

// Whether the art is a layer's group. A failing test counts as yes, so that art the host cannot
// place is never mistaken for an object of the user's.
bool IsLayerGroup(ArtObject* art);

// Whether all the bits of `bit` are set on the art; false on a host error.
bool HasUserAttr(ArtObject* art, ai::int32 bit);
// Sets or clears the bits of `bit`; false on a host error.
bool SetUserAttr(ArtObject* art, ai::int32 bit, bool on);

// One matching-art query for any art type: over the document (from null) or over one art's
// subtree, every object or those whose attributes (& whichAttr) equal attr. The host's answer is
// freed here; an error gives the empty list.
ArtList MatchingArt(ArtObject* from, ai::int32 whichAttr = 0, ai::int32 attr = 0);

}  // namespace hostart
