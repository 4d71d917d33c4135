// Pictures of documents drawn by the application's renderer, for people and tests.
#pragma once

#include <filesystem>
#include <string>

#include "model/Document.h"

namespace host {

// Writes a PNG picture of the document's active artboard: one pixel per point, on white, every
// visible layer drawn as the renderer draws art, relative links of placed files resolving against the
// current document's folder. False with the reason in *error when it cannot.
bool WriteArtboardPicture(const model::Document& document, const std::filesystem::path& file,
                          std::string* error);

}  // namespace host
