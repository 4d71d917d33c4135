#include "VectorWriters.h"

#include <cairo-pdf.h>
#include <cairo-ps.h>
#include <cairo-svg.h>
#include <cairo.h>
// qpdf 11 without its old PointerHolder class.
#define POINTERHOLDER_TRANSITION 4
#include <qpdf/Buffer.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFWriter.hh>

#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "XmlMetadata.h"
#include "model/AtomicFile.h"
#include "render/PictureProcess.h"
#include "render/Renderer.h"

namespace host {

namespace {

using model::Document;
using model::Rect;

cairo_status_t WriteBytes(void* closure, const unsigned char* data, unsigned int length) {
    return static_cast<PictureOutput*>(closure)->Write(data, length) ? CAIRO_STATUS_SUCCESS
                                                                     : CAIRO_STATUS_WRITE_ERROR;
}

// What a vector copy of the document holds: its art, on every page.
PictureLoad VectorLoad(const Document& document, std::size_t pages) {
    PictureLoad load = HeldLoad(document, LayerGroupsBottomFirst(document));
    load.pages = std::max<std::size_t>(pages, 1);
    return load;
}

// Draws the pages onto a vector surface made by make (with the writer's setting), as a whole by the
// job's worker under the picture's bound (PictureProcess.h): the file's bytes as the surface wrote
// them; none, with the reason in error, when the document could not be drawn or went beyond the
// bound.
std::optional<std::string> DrawVectorCopy(const Document& document, const std::vector<Rect>& pages,
                                          VectorSurfaceMaker make, std::string_view setting,
                                          PageSizeSetter setSize, const std::filesystem::path& linkFolder,
                                          std::string* error) {
    PictureResult picture = DrawVectorPages(document, pages, make, setting, setSize, linkFolder,
                                            VectorLoad(document, pages.size()));
    if (!picture.made()) {
        *error = "the document could not be drawn";
        return std::nullopt;
    }
    return std::string(picture.bytes.view());
}

template <typename T>
T ValueOr(const ActionValues& values, std::string_view key, T fallback) {
    const auto found = values.find(key);
    if (found == values.end()) {
        return fallback;
    }
    if (const T* value = std::get_if<T>(&found->second)) {
        return *value;
    }
    return fallback;
}

double RealOr(const ActionValues& values, std::string_view key, double fallback) {
    const auto found = values.find(key);
    if (found == values.end()) {
        return fallback;
    }
    if (const auto* real = std::get_if<double>(&found->second)) {
        return *real;
    }
    if (const auto* integer = std::get_if<std::int64_t>(&found->second)) {
        return static_cast<double>(*integer);
    }
    return fallback;
}

struct Bleed {
    double left = 0;
    double top = 0;
    double right = 0;
    double bottom = 0;
};

std::string PdfVersion(std::int64_t compatibility) {
    switch (compatibility) {
        case 19:
            return "1.3";
        case 20:
            return "1.4";
        case 21:
            return "1.5";
        case 23:
            return "1.7";
        default:
            return "1.6";
    }
}

QPDFObjectHandle BoxArray(double left, double bottom, double right, double top) {
    return QPDFObjectHandle::newArray(std::vector<QPDFObjectHandle>{
        QPDFObjectHandle::newReal(left, 3), QPDFObjectHandle::newReal(bottom, 3),
        QPDFObjectHandle::newReal(right, 3), QPDFObjectHandle::newReal(top, 3)});
}

// The permissions a permissions password grants, from the enumerations of the PDF options: the
// older PDF 1.3 values 4, 5 (printing) and 6 to 9 (changes), or the newer 1 to 3 and 1 to 5.
struct Permissions {
    bool print = true;
    bool printHigh = true;
    bool modify = true;
    bool assemble = true;
    bool annotate = true;
    bool fillForms = true;
    bool extract = true;
};

Permissions PermissionsOf(const ActionValues& values) {
    Permissions granted;
    granted.extract = ValueOr<bool>(values, "ebcp", true);
    switch (ValueOr<std::int64_t>(values, "pmpr", 0)) {
        case 1:
        case 4:
            granted.print = granted.printHigh = false;
            break;
        case 2:
            granted.printHigh = false;
            break;
        default:
            break;
    }
    const std::int64_t changes = ValueOr<std::int64_t>(values, "pmch", 0);
    const auto allow = [&granted](bool assemble, bool fillForms, bool annotate, bool modify) {
        granted.assemble = assemble;
        granted.fillForms = fillForms;
        granted.annotate = annotate;
        granted.modify = modify;
    };
    switch (changes) {
        case 1:
        case 6:
            allow(false, false, false, false);
            break;
        case 2:
            allow(true, false, false, false);
            break;
        case 3:
            allow(false, true, false, false);
            break;
        case 4:
        case 7:
            allow(false, true, true, false);
            break;
        case 8:
            allow(true, true, false, false);
            break;
        default:
            break;
    }
    return granted;
}

void Encrypt(QPDFWriter& writer, const std::string& version, const std::string& user,
             const std::string& owner, const Permissions& granted) {
    if (version == "1.3") {
        writer.setR2EncryptionParametersInsecure(user.c_str(), owner.c_str(), granted.print, granted.modify,
                                                 granted.extract, granted.annotate);
        return;
    }
    const qpdf_r3_print_e print = !granted.print       ? qpdf_r3p_none
                                  : !granted.printHigh ? qpdf_r3p_low
                                                       : qpdf_r3p_full;
    if (version == "1.4" || version == "1.5") {
        writer.setR3EncryptionParametersInsecure(user.c_str(), owner.c_str(), true, granted.extract,
                                                 granted.assemble, granted.annotate, granted.fillForms,
                                                 granted.modify, print);
        return;
    }
    writer.setR4EncryptionParametersInsecure(user.c_str(), owner.c_str(), true, granted.extract,
                                             granted.assemble, granted.annotate, granted.fillForms,
                                             granted.modify, print, true, true);
}

// Sets the version, boxes, metadata, info and encryption of the PDF cairo drew.
bool FinishPdf(std::string& pdf, const std::vector<Rect>& artboards, const Bleed& bleed,
               const ActionValues& values, std::string_view xmpPacket, const std::string& title,
               std::string* error) {
    try {
        QPDF document;
        // What qpdf mends in cairo's file (a resource named twice, where one picture is drawn twice)
        // is no concern of the user's: its warnings would go to standard error.
        document.setSuppressWarnings(true);
        document.processMemoryFile("copy", pdf.data(), pdf.size());
        std::vector<QPDFPageObjectHelper> pages = QPDFPageDocumentHelper(document).getAllPages();
        for (std::size_t i = 0; i < pages.size() && i < artboards.size(); ++i) {
            QPDFObjectHandle page = pages[i].getObjectHandle();
            const double width = artboards[i].width() + bleed.left + bleed.right;
            const double height = artboards[i].height() + bleed.top + bleed.bottom;
            page.replaceKey("/MediaBox", BoxArray(0, 0, width, height));
            page.replaceKey("/BleedBox", BoxArray(0, 0, width, height));
            page.replaceKey("/TrimBox",
                            BoxArray(bleed.left, bleed.bottom, width - bleed.right, height - bleed.top));
        }
        QPDFObjectHandle root = document.getRoot();
        if (!xmpPacket.empty()) {
            QPDFObjectHandle metadata = QPDFObjectHandle::newStream(&document, std::string(xmpPacket));
            metadata.getDict().replaceKey("/Type", QPDFObjectHandle::newName("/Metadata"));
            metadata.getDict().replaceKey("/Subtype", QPDFObjectHandle::newName("/XML"));
            root.replaceKey("/Metadata", metadata);
        }
        QPDFObjectHandle info = QPDFObjectHandle::newDictionary();
        info.replaceKey("/Title", QPDFObjectHandle::newUnicodeString(title));
        info.replaceKey("/Creator", QPDFObjectHandle::newUnicodeString("PlimUtils stand-in"));
        document.getTrailer().replaceKey("/Info", document.makeIndirectObject(info));

        QPDFWriter writer(document);
        writer.setOutputMemory();
        const std::string version = PdfVersion(ValueOr<std::int64_t>(values, "comp", 22));
        writer.forcePDFVersion(version);
        const std::string user = ValueOr<std::string>(values, "usps", "");
        const std::string owner = ValueOr<std::string>(values, "msps", "");
        if (!user.empty() || !owner.empty()) {
            writer.setPreserveEncryption(false);
            Encrypt(writer, version, user, owner, owner.empty() ? Permissions{} : PermissionsOf(values));
        }
        writer.write();
        const std::unique_ptr<Buffer> written(writer.getBuffer());
        pdf.assign(reinterpret_cast<const char*>(written->getBuffer()), written->getSize());
        return true;
    } catch (const std::exception& failure) {
        *error = std::string("can't finish the PDF: ") + failure.what();
        return false;
    }
}

bool WritePdf(const Document& document, const std::filesystem::path& linkFolder,
              const std::filesystem::path& file, const ActionValues& values, std::string_view xmpPacket,
              std::string* error) {
    const Bleed bleed{RealOr(values, "blft", 0), RealOr(values, "btop", 0), RealOr(values, "brht", 0),
                      RealOr(values, "bbtm", 0)};
    for (const double side : {bleed.left, bleed.top, bleed.right, bleed.bottom}) {
        if (!std::isfinite(side) || side < 0 || side > 72 * 100) {
            *error = "a bleed is outside 0 to 7200 points";
            return false;
        }
    }
    std::vector<Rect> artboards;
    std::vector<Rect> pages;
    for (const model::Artboard& artboard : document.artboards()) {
        const Rect& a = artboard.bounds;
        artboards.push_back(a);
        pages.push_back(
            Rect(a.left - bleed.left, a.top + bleed.top, a.right + bleed.right, a.bottom - bleed.bottom));
    }
    std::optional<std::string> pdf = DrawVectorCopy(
        document, pages,
        [](PictureOutput& output, const Rect&, std::string_view) {
            cairo_surface_t* surface = cairo_pdf_surface_create_for_stream(WriteBytes, &output, 1, 1);
            cairo_pdf_surface_restrict_to_version(surface, CAIRO_PDF_VERSION_1_4);
            return surface;
        },
        {}, cairo_pdf_surface_set_size, linkFolder, error);
    if (!pdf || !FinishPdf(*pdf, artboards, bleed, values, xmpPacket, file.stem().string(), error)) {
        return false;
    }
    return model::writeFileAtomically(file, *pdf, error);
}

// Puts the elements right after the opening svg tag; false when there is none.
bool InsertAfterSvgTag(std::string& svg, const std::string& elements) {
    const std::size_t svgTag = svg.find("<svg");
    const std::size_t tagEnd = svgTag == std::string::npos ? svgTag : svg.find('>', svgTag);
    if (tagEnd == std::string::npos) {
        return false;
    }
    svg.insert(tagEnd + 1, elements);
    return true;
}

// The area of every artboard together: the one picture of an SVG or EPS copy, so that a copy of a
// document of several artboards shows all of them.
Rect ArtboardsUnion(const Document& document) {
    Rect area = document.artboards().front().bounds;
    for (const model::Artboard& artboard : document.artboards()) {
        area = area.united(artboard.bounds);
    }
    return area;
}

bool WriteSvg(const Document& document, const std::filesystem::path& linkFolder,
              const std::filesystem::path& file, const ActionValues& values, std::string_view xmpPacket,
              std::string* error) {
    const Rect area = ArtboardsUnion(document);
    std::optional<std::string> drawn = DrawVectorCopy(
        document, {area},
        [](PictureOutput& output, const Rect& page, std::string_view) {
            cairo_surface_t* surface =
                cairo_svg_surface_create_for_stream(WriteBytes, &output, page.width(), page.height());
            cairo_svg_surface_restrict_to_version(surface, CAIRO_SVG_VERSION_1_1);
            return surface;
        },
        {}, nullptr, linkFolder, error);
    if (!drawn) {
        return false;
    }
    std::string& svg = *drawn;
    // The file's name as its title, first inside the svg element, then the packet when asked for;
    // both written anew (XmlMetadata.h), so that the document's texts can't add markup.
    std::string elements = "\n<title>" + XmlText(file.stem().string()) + "</title>";
    if (ValueOr<bool>(values, "IXAP", false) && !xmpPacket.empty()) {
        const std::optional<std::string> packet = MetadataElements(xmpPacket, error);
        if (!packet) {
            return false;
        }
        elements += "\n<metadata>" + *packet + "</metadata>";
    }
    if (!InsertAfterSvgTag(svg, elements)) {
        *error = "the SVG has no svg element";
        return false;
    }
    return model::writeFileAtomically(file, svg, error);
}

// cairo refuses a DSC comment longer than this, and with it the whole file.
constexpr std::size_t kMaxDscCommentLength = 255;

// A DSC comment of the prefix and the text: printable ASCII only, so that the comment stays one
// line (every other byte written "_"), and cut after the last whole character of the text that
// fits cairo's length, so that a long name shortens its title instead of failing the file.
std::string DscComment(const std::string& prefix, const std::string& text) {
    std::string comment = prefix;
    for (std::size_t at = 0; at < text.size();) {
        const auto lead = static_cast<unsigned char>(text[at]);
        const std::size_t length = std::min<std::size_t>(lead < 0x80    ? 1
                                                         : lead >= 0xF0 ? 4
                                                         : lead >= 0xE0 ? 3
                                                         : lead >= 0xC0 ? 2
                                                                        : 1,
                                                         text.size() - at);
        if (comment.size() + length > kMaxDscCommentLength) {
            break;
        }
        for (std::size_t i = 0; i < length; ++i) {
            const char c = text[at + i];
            comment += (c >= 0x20 && c < 0x7F) ? c : '_';
        }
        at += length;
    }
    return comment;
}

bool WriteEps(const Document& document, const std::filesystem::path& linkFolder,
              const std::filesystem::path& file, std::string* error) {
    // cairo's EPS of several pages is not a valid EPS: the artboards are drawn as one page, and
    // cairo bounds it by what was drawn.
    const Rect page = ArtboardsUnion(document);
    const std::string title = DscComment("%%Title: ", file.stem().string());
    const std::optional<std::string> eps = DrawVectorCopy(
        document, {page},
        [](PictureOutput& output, const Rect& drawn, std::string_view title) {
            cairo_surface_t* surface =
                cairo_ps_surface_create_for_stream(WriteBytes, &output, drawn.width(), drawn.height());
            cairo_ps_surface_set_eps(surface, true);
            cairo_ps_surface_dsc_comment(surface, std::string(title).c_str());
            return surface;
        },
        title, nullptr, linkFolder, error);
    return eps && model::writeFileAtomically(file, *eps, error);
}

}  // namespace

bool IsVectorFormat(std::string_view formatName) {
    return formatName == kPdfFormatName || formatName == kSvgFormatName || formatName == kEpsFormatName;
}

bool WriteVectorCopy(const Document& document, const std::filesystem::path& file, std::string_view formatName,
                     const ActionValues& values, std::string_view xmpPacket, std::string* error,
                     const std::filesystem::path& linkFolder) {
    try {
        if (formatName == kPdfFormatName) {
            return WritePdf(document, linkFolder, file, values, xmpPacket, error);
        }
        if (formatName == kSvgFormatName) {
            return WriteSvg(document, linkFolder, file, values, xmpPacket, error);
        }
        if (formatName == kEpsFormatName) {
            return WriteEps(document, linkFolder, file, error);
        }
        *error = "unknown format " + std::string(formatName);
        return false;
    } catch (const std::exception& failure) {
        *error = failure.what();
        return false;
    }
}

}  // namespace host
