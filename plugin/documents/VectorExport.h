// Vector export: the job's document cut down to what the file holds and cleaned, then written by
// the host's save-a-copy action ("host_saveACopyAs", dialogs off) with a parameter block of the
// writer's keys (VectorFormats.h).
#pragma once

#include <string>

#include <nlohmann/json.hpp>

#include "art/ArtList.h"
#include "documents/ExportFormats.h"

// Cuts the current document down to the job's art (the selected art with "exportSelected"), its
// layers and its artboards, then outlines text, merges the artboards, cleans swatches and symbols
// as the job asks. False with the error set when there is nothing to export or the artboards
// can't be cut.
bool PrepareVectorExport(const nlohmann::json& job, const ArtList& selectedArt, std::string& error);

// Text frames (of the tag query, or all) turned into outlines; false with "No artwork found" when
// there is no art.
bool OutlineText(const std::string& tagSearch, std::string& error);
// With "exportAsSingleArtboard" true, the artboards become one around all visible art.
bool CreateSingleArtboard(const nlohmann::json& job);
// Removes the swatches whose colour no art uses, except "[None]", "[Registration]", "White" and
// "Black"; false when the document's colours can't be walked.
bool CleanSwatches();

// Deletes the symbols that nothing in the document uses (instances anywhere, arrowheads of styles
// and graphic styles). False, deleting nothing, when the uses can't be found or the symbols can't
// be counted.
bool CleanSymbols();

// ExportAi (declared with the format table, ExportFormats.h) writes the current document as a
// native file at the path through the save-a-copy action with the job's "ai..." options; false
// with the error set when a step fails.
