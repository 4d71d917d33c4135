// The application's writers of document copies in PDF, SVG and EPS, drawn by its renderer. The
// save-a-copy action calls them with the format name and the values of its parameter block; each
// writes its file atomically or not at all.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <variant>

#include "model/Document.h"

namespace host {

// A value of an action parameter block, by its four-character key ("comp", "usps", ...).
using ActionValue = std::variant<bool, std::int64_t, double, std::string>;
using ActionValues = std::map<std::string, ActionValue, std::less<>>;

inline constexpr std::string_view kPdfFormatName = "PDF File Format";
inline constexpr std::string_view kSvgFormatName = "svg file format";
inline constexpr std::string_view kEpsFormatName = "Host EPSF";

// Whether a writer of this file above knows the format name.
bool IsVectorFormat(std::string_view formatName);

// Writes the document to the file in the named format:
// - PDF: one page per artboard, each grown by the bleeds ('btop', 'bbtm', 'blft', 'brht', points)
//   with the artboard as its trim box; the version of the compatibility level 'comp' (19 PDF 1.3
//   to 23 PDF 1.7, default 22); the XMP packet as the metadata stream; the title in the info
//   dictionary; encrypted with the user password 'usps' and the permissions password 'msps' and
//   the permissions 'pmpr', 'pmch' and 'ebcp' when a password is given.
// - SVG: the artboard (the union of all when there are several), with the XMP packet in a metadata
//   element when 'IXAP' is true.
// - EPS: the active artboard as exactly one page, titled with the file's name.
// False with the reason in *error when it can't (a PDF that can't be encrypted is not written).
// Relative links of placed files resolve against linkFolder (empty: the working folder).
bool WriteVectorCopy(const model::Document& document, const std::filesystem::path& file,
                     std::string_view formatName, const ActionValues& values, std::string_view xmpPacket,
                     std::string* error, const std::filesystem::path& linkFolder = {});

}  // namespace host
