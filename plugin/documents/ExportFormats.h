// The formats "exportFile" writes, one row each: the name a request gives, the file's extension,
// the kind (vector formats are written by the host from the prepared document, raster formats drawn
// from it), what a job of it takes by default, and its writer. Everything that depends on a job's
// format reads it here, once per job.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

struct AIRealRect;

enum class FormatKind { vector, raster };

// A vector writer: the current document, prepared for the job, written to the path with the job's
// options. False on failure, with a message in error where there is one.
using VectorWriter = bool (*)(const nlohmann::json& job, const std::string& path, std::string& error);
// A raster writer: the rectangle of the prepared document drawn and written to the path, with the
// job's raster options.
using RasterWriter = bool (*)(const nlohmann::json& job, const std::string& path, const AIRealRect& rect,
                              std::string& error);

// The writers (VectorExport.cpp, VectorFormats.cpp, RasterExports.cpp).
bool ExportAi(const nlohmann::json& job, const std::string& path, std::string& error);
bool ExportPdf(const nlohmann::json& job, const std::string& path, std::string& error);
bool ExportSvg(const nlohmann::json& job, const std::string& path, std::string& error);
bool ExportEps(const nlohmann::json& job, const std::string& path, std::string& error);
bool ExportPng(const nlohmann::json& job, const std::string& path, const AIRealRect& rect,
               std::string& error);
bool ExportJpeg(const nlohmann::json& job, const std::string& path, const AIRealRect& rect,
                std::string& error);
bool ExportTiff(const nlohmann::json& job, const std::string& path, const AIRealRect& rect,
                std::string& error);
bool ExportPsd(const nlohmann::json& job, const std::string& path, const AIRealRect& rect,
               std::string& error);

struct ExportFormat {
    std::string_view name;       // in "formats" (any letter case) and, lower case, in "fileFormat"
    std::string_view extension;  // of the file written, without its dot
    FormatKind kind;
    bool multiPage;             // a job takes its whole artboard range in one file by default
    bool writesAsIs;            // "as_is" writes the document unprepared
    VectorWriter vectorWriter;  // the writer of a vector format
    RasterWriter rasterWriter;  // the writer of a raster format
};

// A row is made by the kind of its writer, so that every format has the one writer of its kind.
constexpr ExportFormat VectorFormat(std::string_view name, bool multiPage, bool writesAsIs,
                                    VectorWriter writer) {
    return {name, name, FormatKind::vector, multiPage, writesAsIs, writer, nullptr};
}
constexpr ExportFormat RasterFormat(std::string_view name, RasterWriter writer) {
    return {name, name, FormatKind::raster, false, false, nullptr, writer};
}

// The file's extension is the format's name.
inline constexpr std::array<ExportFormat, 8> kExportFormats = {
    VectorFormat("ai", true, true, ExportAi),
    VectorFormat("pdf", true, true, ExportPdf),
    VectorFormat("svg", false, false, ExportSvg),
    VectorFormat("eps", true, false, ExportEps),
    RasterFormat("png", ExportPng),
    RasterFormat("jpg", ExportJpeg),
    RasterFormat("tif", ExportTiff),
    RasterFormat("psd", ExportPsd),
};

// What the job list reads of a format, without its writers: the job list is also built where no
// writer is linked (its tests and fuzz target, without a host). Taken from the table above when
// compiling.
struct FormatFacts {
    std::string_view name;
    std::string_view extension;
    FormatKind kind;
    bool multiPage;
};

consteval std::array<FormatFacts, kExportFormats.size()> FactsOfFormats() {
    std::array<FormatFacts, kExportFormats.size()> facts{};
    for (std::size_t i = 0; i < kExportFormats.size(); ++i) {
        const ExportFormat& format = kExportFormats[i];
        facts[i] = {format.name, format.extension, format.kind, format.multiPage};
    }
    return facts;
}
inline constexpr std::array<FormatFacts, kExportFormats.size()> kFormatFacts = FactsOfFormats();

// The row of the format of that (lower-case) name; null for a name of no format.
inline const ExportFormat* FindExportFormat(std::string_view name) {
    for (const ExportFormat& format : kExportFormats) {
        if (format.name == name) {
            return &format;
        }
    }
    return nullptr;
}

// The same for the job list.
inline const FormatFacts* FindFormatFacts(std::string_view name) {
    for (const FormatFacts& facts : kFormatFacts) {
        if (facts.name == name) {
            return &facts;
        }
    }
    return nullptr;
}
