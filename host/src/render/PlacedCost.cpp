// qpdf's handles are shared pointers of the standard library.
#define POINTERHOLDER_TRANSITION 4

#include "render/PlacedCost.h"

#include <algorithm>
#include <cstdlib>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <utility>
#include <vector>

#include <glib.h>
#include <qpdf/BufferInputSource.hh>
#include <qpdf/Pipeline.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFPageObjectHelper.hh>
#include <qpdf/QPDFTokenizer.hh>

namespace host {
namespace {

// --- PDF ---------------------------------------------------------------------------------------------

// Thrown from the sink when a content stream decodes to more than the budget allows: a few
// kilobytes of compressed zeros can stand for gigabytes.
struct TooMuchContent {};

// Keeps the decoded bytes of a stream up to a limit.
class BoundedSink : public Pipeline {
public:
    BoundedSink(std::string& bytes, std::uint64_t limit)
        : Pipeline("bounded", nullptr), bytes_(bytes), limit_(limit) {}
    void write(unsigned char const* data, size_t length) override {
        if (length > limit_ - std::min<std::uint64_t>(limit_, bytes_.size())) {
            throw TooMuchContent{};
        }
        bytes_.append(reinterpret_cast<const char*>(data), length);
    }
    void finish() override {}

private:
    std::string& bytes_;
    std::uint64_t limit_;
};

// What a content stream draws: each name it paints with "Do", with how often, and its inline
// images' pixels.
struct ContentUse {
    std::map<std::string, std::uint64_t> drawn;
    std::uint64_t inlinePixels = 0;
    bool inlineTooLarge = false;
};

std::uint64_t PositiveInteger(const std::string& text) {
    const long long value = std::strtoll(text.c_str(), nullptr, 10);
    return value > 0 ? static_cast<std::uint64_t>(value) : 0;
}

// Reads the content's tokens once; an inline image's size comes from its /W and /H entries.
ContentUse ScanContent(const std::string& content) {
    const auto input = std::make_shared<BufferInputSource>("content", content);
    QPDFTokenizer tokenizer;
    tokenizer.allowEOF();
    ContentUse use;
    std::string name;  // the name just before, when the token before was one
    std::uint64_t width = 0;
    std::uint64_t height = 0;
    for (;;) {
        const QPDFTokenizer::Token token = tokenizer.readToken(input, "content", true);
        const QPDFTokenizer::token_type_e type = token.getType();
        if (type == QPDFTokenizer::tt_eof) {
            break;
        }
        if (type == QPDFTokenizer::tt_integer && (name == "/W" || name == "/Width")) {
            width = PositiveInteger(token.getValue());
        } else if (type == QPDFTokenizer::tt_integer && (name == "/H" || name == "/Height")) {
            height = PositiveInteger(token.getValue());
        } else if (type == QPDFTokenizer::tt_word && token.getValue() == "Do" && !name.empty()) {
            ++use.drawn[name];
        } else if (type == QPDFTokenizer::tt_word && token.getValue() == "BI") {
            width = height = 0;
        } else if (type == QPDFTokenizer::tt_word && token.getValue() == "ID") {
            use.inlineTooLarge = use.inlineTooLarge || (height > 0 && width > kMaxPlacedPixels / height);
            use.inlinePixels += use.inlineTooLarge ? 0 : width * height;
            char blank = 0;
            input->read(&blank, 1);  // the one blank between ID and the image's data
            tokenizer.expectInlineImage(input);
            if (tokenizer.readToken(input, "content", true).getType() != QPDFTokenizer::tt_inline_image) {
                break;
            }
        }
        name = type == QPDFTokenizer::tt_name ? token.getValue() : std::string();
    }
    return use;
}

std::uint64_t SaturatingSum(std::uint64_t a, std::uint64_t b) {
    return a > kMaxPlacedPdfWork || b > kMaxPlacedPdfWork ? kMaxPlacedPdfWork + 1 : a + b;
}

std::uint64_t SaturatingProduct(std::uint64_t a, std::uint64_t b) {
    return b != 0 && a > (kMaxPlacedPdfWork + 1) / b ? kMaxPlacedPdfWork + 1 : a * b;
}

// Each form drawn costs at least this much, whatever its content: poppler saves and restores its
// state around it, so forms without content still cost their count.
constexpr std::uint64_t kFormOverhead = 1024;

// The work of drawing a page: content bytes and image pixels, counted as often as they are drawn.
// A form is measured once for each resource dictionary it is drawn with (a form without resources
// of its own names what the one drawing it names).
class PdfCost {
public:
    explicit PdfCost(std::string& error) : error_(error) {}

    // The work of the streams drawn with the resources (known by the object that holds them);
    // none, with the reason in error, beyond the limits.
    std::optional<std::uint64_t> Content(const std::vector<QPDFObjectHandle>& streams,
                                         QPDFObjectHandle resources, QPDFObjGen resourcesOwner, int depth) {
        std::string bytes;
        for (QPDFObjectHandle stream : streams) {
            if (!stream.isStream()) {
                continue;
            }
            BoundedSink sink(bytes, kMaxPlacedPdfWork - decoded_);
            try {
                stream.pipeStreamData(&sink, 0, qpdf_dl_generalized, true);
            } catch (const TooMuchContent&) {
                error_ = "its content decodes to too many bytes";
                return std::nullopt;
            }
            bytes += '\n';  // streams of a page's array join at a blank
        }
        decoded_ += bytes.size();
        const ContentUse use = ScanContent(bytes);
        if (use.inlineTooLarge) {
            error_ = "an inline image has too many pixels";
            return std::nullopt;
        }
        std::uint64_t work = SaturatingSum(bytes.size(), use.inlinePixels);
        QPDFObjectHandle objects =
            resources.isDictionary() ? resources.getKey("/XObject") : QPDFObjectHandle::newNull();
        for (const auto& [name, count] : use.drawn) {
            if (!objects.isDictionary() || !objects.hasKey(name)) {
                continue;
            }
            const std::optional<std::uint64_t> each =
                XObject(objects.getKey(name), resources, resourcesOwner, depth);
            if (!each) {
                return std::nullopt;
            }
            work = SaturatingSum(work, SaturatingProduct(*each, count));
        }
        if (work > kMaxPlacedPdfWork) {
            error_ = "drawing it takes too much work";
            return std::nullopt;
        }
        return work;
    }

    // The work of an appearance stream or a form: its content with its own resources, or with
    // those of what draws it.
    std::optional<std::uint64_t> Form(QPDFObjectHandle form, QPDFObjectHandle resources,
                                      QPDFObjGen resourcesOwner, int depth) {
        if (depth > kDeepestPlacedForms) {
            error_ = "its forms nest too deep";
            return std::nullopt;
        }
        QPDFObjectHandle dictionary = form.getDict();
        if (dictionary.getKey("/Resources").isDictionary()) {
            resources = dictionary.getKey("/Resources");
            resourcesOwner = form.getObjGen();
        }
        const std::pair key(form.getObjGen(), resourcesOwner);
        if (const auto found = measured_.find(key); found != measured_.end()) {
            return found->second;
        }
        if (!open_.insert(form.getObjGen()).second) {
            error_ = "a form draws itself";
            return std::nullopt;
        }
        std::optional<std::uint64_t> work = Content({form}, resources, resourcesOwner, depth + 1);
        open_.erase(form.getObjGen());
        if (work) {
            work = SaturatingSum(*work, kFormOverhead);
            measured_.emplace(key, *work);
        }
        return work;
    }

private:
    std::optional<std::uint64_t> XObject(QPDFObjectHandle object, QPDFObjectHandle resources,
                                         QPDFObjGen resourcesOwner, int depth) {
        if (!object.isStream()) {
            return 0;
        }
        QPDFObjectHandle dictionary = object.getDict();
        QPDFObjectHandle subtype = dictionary.getKey("/Subtype");
        if (subtype.isName() && subtype.getName() == "/Form") {
            return Form(object, resources, resourcesOwner, depth);
        }
        std::uint64_t pixels = 0;
        for (QPDFObjectHandle image : {dictionary, dictionary.getKey("/SMask")}) {
            if (image.isStream()) {
                image = image.getDict();
            }
            if (!image.isDictionary() || !image.getKey("/Width").isInteger() ||
                !image.getKey("/Height").isInteger()) {
                continue;
            }
            const std::uint64_t width = std::max<long long>(0, image.getKey("/Width").getIntValue());
            const std::uint64_t height = std::max<long long>(0, image.getKey("/Height").getIntValue());
            if (height > 0 && width > kMaxPlacedPixels / height) {
                error_ = "an image of " + std::to_string(width) + " x " + std::to_string(height) + " pixels";
                return std::nullopt;
            }
            pixels += width * height;
        }
        return pixels;
    }

    std::string& error_;
    std::uint64_t decoded_ = 0;  // content bytes decoded so far, over the whole page
    std::map<std::pair<QPDFObjGen, QPDFObjGen>, std::uint64_t> measured_;
    std::set<QPDFObjGen> open_;  // the forms being measured, which none of them may draw again
};

// The streams of the page's content (one, or an array of them).
std::vector<QPDFObjectHandle> PageContent(QPDFObjectHandle page) {
    QPDFObjectHandle contents = page.getKey("/Contents");
    if (contents.isArray()) {
        return contents.getArrayAsVector();
    }
    return {contents};
}

// The appearance streams of the page's annotations, which poppler draws with the page.
std::vector<QPDFObjectHandle> Appearances(QPDFObjectHandle page) {
    std::vector<QPDFObjectHandle> streams;
    QPDFObjectHandle annotations = page.getKey("/Annots");
    for (QPDFObjectHandle annotation :
         annotations.isArray() ? annotations.getArrayAsVector() : std::vector<QPDFObjectHandle>{}) {
        QPDFObjectHandle normal =
            annotation.isDictionary() ? annotation.getKey("/AP") : QPDFObjectHandle::newNull();
        normal = normal.isDictionary() ? normal.getKey("/N") : QPDFObjectHandle::newNull();
        if (normal.isStream()) {
            streams.push_back(normal);
        } else if (normal.isDictionary()) {
            for (auto& [state, stream] : normal.getDictAsMap()) {
                if (stream.isStream()) {
                    streams.push_back(stream);
                }
            }
        }
    }
    return streams;
}

std::optional<std::uint64_t> PageWork(QPDF& pdf, std::string& error) {
    const std::vector<QPDFObjectHandle> pages = pdf.getAllPages();
    if (pages.empty()) {
        error = "it has no page";
        return std::nullopt;
    }
    QPDFPageObjectHelper page(pages.front());
    const QPDFObjectHandle resources = page.getAttribute("/Resources", false);
    PdfCost cost(error);
    std::optional<std::uint64_t> work =
        cost.Content(PageContent(pages.front()), resources, pages.front().getObjGen(), 0);
    for (const QPDFObjectHandle& appearance : Appearances(pages.front())) {
        if (!work) {
            break;
        }
        const std::optional<std::uint64_t> more =
            cost.Form(appearance, QPDFObjectHandle::newNull(), QPDFObjGen(), 0);
        work = more ? std::optional(SaturatingSum(*work, *more)) : std::nullopt;
    }
    if (work && *work > kMaxPlacedPdfWork) {
        error = "drawing it takes too much work";
        return std::nullopt;
    }
    return work;
}

// --- SVG ---------------------------------------------------------------------------------------------

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// Replaces the character references and predefined entities of an attribute's text; none when it
// names any other entity, whose text the file's own declarations supply.
std::optional<std::string> AttributeText(std::string_view raw) {
    static const std::pair<std::string_view, char> kPredefined[] = {
        {"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}};
    std::string text;
    for (std::size_t at = 0; at < raw.size(); ++at) {
        if (raw[at] != '&') {
            text += raw[at];
            continue;
        }
        const std::size_t end = raw.find(';', at);
        if (end == std::string_view::npos) {
            return std::nullopt;
        }
        const std::string_view name = raw.substr(at + 1, end - at - 1);
        const auto predefined = std::find_if(std::begin(kPredefined), std::end(kPredefined),
                                             [&](const auto& entry) { return entry.first == name; });
        if (predefined != std::end(kPredefined)) {
            text += predefined->second;
        } else if (name.size() > 1 && name[0] == '#') {
            const bool hex = name[1] == 'x';
            const long code =
                std::strtol(std::string(name.substr(hex ? 2 : 1)).c_str(), nullptr, hex ? 16 : 10);
            text += code > 0 && code < 128 ? static_cast<char>(code) : '?';  // a data: URL is ASCII
        } else {
            return std::nullopt;
        }
        at = end;
    }
    return text;
}

// Every link's text (the values of attributes named "href", with or without a prefix), in order;
// none when one of them can't be read without the file's entity declarations.
std::optional<std::vector<std::string>> Links(std::string_view svg) {
    std::vector<std::string> links;
    for (std::size_t found = svg.find("href"); found != std::string_view::npos;
         found = svg.find("href", found + 4)) {
        if (found == 0 || (!IsBlank(svg[found - 1]) && svg[found - 1] != ':')) {
            continue;
        }
        std::size_t at = found + 4;
        while (at < svg.size() && IsBlank(svg[at])) {
            ++at;
        }
        if (at >= svg.size() || svg[at] != '=') {
            continue;
        }
        do {
            ++at;
        } while (at < svg.size() && IsBlank(svg[at]));
        if (at >= svg.size() || (svg[at] != '"' && svg[at] != '\'')) {
            continue;
        }
        const std::size_t end = svg.find(svg[at], at + 1);
        std::optional<std::string> text =
            AttributeText(svg.substr(at + 1, (end == std::string_view::npos ? svg.size() : end) - at - 1));
        if (!text) {
            return std::nullopt;
        }
        links.push_back(*std::move(text));
    }
    return links;
}

int Base64Value(char c) {
    if (c >= 'A' && c <= 'Z') {
        return c - 'A';
    }
    if (c >= 'a' && c <= 'z') {
        return c - 'a' + 26;
    }
    if (c >= '0' && c <= '9') {
        return c - '0' + 52;
    }
    return c == '+' || c == '-' ? 62 : (c == '/' || c == '_' ? 63 : -1);
}

// The bytes of a data: URL (base64 or percent-encoded), and its media type.
std::pair<std::string, std::string> DataUrlBytes(std::string_view url) {
    const std::size_t comma = url.find(',');
    if (comma == std::string_view::npos) {
        return {};
    }
    const std::string_view header = url.substr(5, comma - 5);
    const std::string_view payload = url.substr(comma + 1);
    std::string bytes;
    if (header.find(";base64") != std::string_view::npos) {
        unsigned bits = 0;
        int count = 0;
        for (const char c : payload) {
            const int value = Base64Value(c);
            if (value < 0) {
                continue;
            }
            bits = (bits << 6) | static_cast<unsigned>(value);
            count += 6;
            if (count >= 8) {
                count -= 8;
                bytes += static_cast<char>((bits >> count) & 0xFF);
            }
        }
    } else {
        for (std::size_t at = 0; at < payload.size(); ++at) {
            if (payload[at] == '%' && at + 2 < payload.size()) {
                bytes += static_cast<char>(
                    std::strtol(std::string(payload.substr(at + 1, 2)).c_str(), nullptr, 16));
                at += 2;
            } else {
                bytes += payload[at];
            }
        }
    }
    return {std::move(bytes), std::string(header.substr(0, header.find(';')))};
}

std::uint32_t BigEndian(std::string_view bytes, std::size_t at, std::size_t length) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < length; ++i) {
        value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
    }
    return value;
}

// The size a JPEG image's frame header gives, walking its segments from the start.
std::optional<std::uint64_t> JpegPixels(std::string_view bytes) {
    for (std::size_t at = 2; at + 9 <= bytes.size() && static_cast<unsigned char>(bytes[at]) == 0xFF;) {
        const unsigned marker = static_cast<unsigned char>(bytes[at + 1]);
        const bool frame =
            marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame) {
            return std::uint64_t{BigEndian(bytes, at + 5, 2)} * BigEndian(bytes, at + 7, 2);
        }
        at += 2 + BigEndian(bytes, at + 2, 2);
    }
    return std::nullopt;
}

// The pixels of an embedded PNG or JPEG image, from its header; none for anything else. The
// decoders librsvg hands images to (gdk-pixbuf's) allocate the whole image as soon as they have
// read its header, whatever its size, so an image of a kind measured here is the only kind drawn.
std::optional<std::uint64_t> ImagePixels(std::string_view bytes) {
    constexpr std::string_view kPng = "\x89PNG\r\n\x1a\n";
    if (bytes.size() >= 24 && bytes.substr(0, kPng.size()) == kPng && bytes.substr(12, 4) == "IHDR") {
        return std::uint64_t{BigEndian(bytes, 16, 4)} * BigEndian(bytes, 20, 4);
    }
    if (bytes.size() >= 4 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
        static_cast<unsigned char>(bytes[1]) == 0xD8) {
        return JpegPixels(bytes);
    }
    return std::nullopt;
}

// An SVG image embedded in an SVG file is checked as the file is, this many levels deep at most.
constexpr int kDeepestSvgImages = 4;

bool SvgImagesWithinBudget(std::string_view svg, int depth, std::uint64_t& pixels, std::string& error) {
    if (svg.find("<!ATTLIST") != std::string_view::npos) {
        error = "attribute defaults can't be checked";  // a default could add a link
        return false;
    }
    const std::optional<std::vector<std::string>> links = Links(svg);
    if (!links) {
        error = "an entity in a link can't be checked";
        return false;
    }
    for (const std::string& link : *links) {
        const std::size_t start = link.find_first_not_of(" \t\r\n");
        if (start == std::string::npos || g_ascii_strncasecmp(link.c_str() + start, "data:", 5) != 0) {
            continue;  // references to other files are not followed when drawing
        }
        const auto [bytes, type] = DataUrlBytes(std::string_view(link).substr(start));
        if (g_ascii_strcasecmp(type.c_str(), "image/svg+xml") == 0) {
            if (depth >= kDeepestSvgImages) {
                error = "its images nest too deep";
                return false;
            }
            if (!SvgImagesWithinBudget(bytes, depth + 1, pixels, error)) {
                return false;
            }
            continue;
        }
        const std::optional<std::uint64_t> image = ImagePixels(bytes);
        if (!image) {
            error = "an embedded image is of a kind the host can't measure";
            return false;
        }
        pixels += std::min<std::uint64_t>(*image, kMaxPlacedPixels + 1);
        if (pixels > kMaxPlacedPixels) {
            error = "its images have too many pixels";
            return false;
        }
    }
    return true;
}

}  // namespace

bool PdfWithinBudget(const std::string& bytes, std::string& error) {
    try {
        QPDF pdf;
        pdf.setSuppressWarnings(true);
        pdf.processMemoryFile("placed file", bytes.data(), bytes.size());
        return PageWork(pdf, error).has_value();
    } catch (const std::exception& failed) {
        error = std::string("it can't be read: ") + failed.what();
        return false;
    }
}

bool SvgWithinBudget(std::string_view bytes, std::string& error) {
    std::uint64_t pixels = 0;
    return SvgImagesWithinBudget(bytes, 0, pixels, error);
}

}  // namespace host
