// In-place patches of files that the host's raster export wrote: the resolution of a PSD file's
// ResolutionInfo resource, the resolution of a TIFF file's first directory, and tags removed from
// that directory. They never change a file's length or move its data; a failure before the first
// write leaves the file as it was.
#pragma once

#include <cstdint>
#include <set>
#include <string>

// Writes the resolution (pixels per inch; outside 1..65535 it is written as 72) into both fields of
// the PSD file's ResolutionInfo resource (1005). Refuses, before writing anything, a file whose
// resource block is missing, shorter than 16 bytes or reaching past the resources.
bool PatchPsdResolution(const std::string& path, std::uint32_t resolution, std::string& error);

// Writes the resolution as XResolution and YResolution (resolution/1) and the unit inch into the
// first directory of a classic TIFF file, in either byte order. Missing entries are not added.
// Both value targets must lie inside the file, clear of the header and the directory, before
// anything is written.
bool PatchTiffResolution(const std::string& path, std::uint32_t resolution, std::string& error);

// Rewrites the first directory of a classic TIFF file without the entries of the tags, in their
// old order, keeping the directory's length and its next-directory offset. A directory that would
// lose no entry, or every entry, is left as it is.
bool RemoveIfdTags(const std::string& path, const std::set<std::uint16_t>& tags, std::string& error);

// The metadata entries the host writes into exported TIFF files: XMP packet, IPTC, image resources
// and the Exif directory pointer.
inline const std::set<std::uint16_t> kTiffMetadataTags = {700, 33723, 34377, 34665};
