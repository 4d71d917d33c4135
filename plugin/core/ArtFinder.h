// Finding the art that a request's "tagSearch" names. The tag-query language belongs to the art
// model, a folder above core: it registers its finder at start-up, and core's own commands that act
// on found art (the art snapshots) reach it through here.
#pragma once

#include <vector>

#include "AIArt.h"
#include "core/Json.h"

// The art a request names, in the order the finder answers it.
using FoundArt = std::vector<ArtObject*>;

// Echoes the query in the reply and answers the art it finds; when it finds none, the reply gets
// "error" with the given text.
using ArtFinder = FoundArt (*)(const json& request, json& reply, const char* noArtError);

// Called once at start-up by the folder that provides the finder.
void RegisterArtFinder(ArtFinder finder);

// The registered finder's answer. Before one is registered nothing is found, and the reply gets
// the error.
FoundArt FindArtOfRequest(const json& request, json& reply, const char* noArtError);
