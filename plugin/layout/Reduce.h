// Reducing the appearance of art to its basic appearance (one fill and one stroke).
#pragma once

#include "art/ArtList.h"
#include "core/HostScopes.h"

// Parses the art's style, simplifies it to its basic appearance and, without keepPaint, removes
// that fill and stroke too; sets the result on the art. False when the style can't be parsed or a
// host call fails (the art keeps its style then).
bool ReduceArtToBasicAppearance(ArtObject* art, bool keepPaint);
