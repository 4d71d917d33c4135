// qpdf's handles are shared pointers of the standard library.
#define POINTERHOLDER_TRANSITION 4

#include "render/PlacedCost.h"

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <tuple>
#include <utility>
#include <vector>

#include <glib.h>
#include <jpeglib.h>
#include <lodepng.h>
#include <qpdf/Buffer.hh>
#include <qpdf/BufferInputSource.hh>
#include <qpdf/Pipeline.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFPageObjectHelper.hh>
#include <qpdf/QPDFTokenizer.hh>
#include <qpdf/QPDFWriter.hh>

#include "render/JpegErrors.h"

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

// Why a PDF file is refused, thrown from deep inside the walk and caught where it starts.
struct Refused {
    std::string reason;
};

std::uint64_t SaturatingSum(std::uint64_t a, std::uint64_t b) {
    return a > kMaxPlacedPdfWork || b > kMaxPlacedPdfWork ? kMaxPlacedPdfWork + 1 : a + b;
}

std::uint64_t SaturatingProduct(std::uint64_t a, std::uint64_t b) {
    return b != 0 && a > (kMaxPlacedPdfWork + 1) / b ? kMaxPlacedPdfWork + 1 : a * b;
}

// A count given as a real number (cells, dash pieces), as work: at most one more than the budget.
std::uint64_t WorkOf(double count) {
    return !(count < static_cast<double>(kMaxPlacedPdfWork)) ? kMaxPlacedPdfWork + 1
                                                             : static_cast<std::uint64_t>(std::ceil(count));
}

// What poppler spends on each byte of a damaged file it parses again: an error message for what it
// can't read (a fuzzed PDF whose broken form was looked up 260,000 times took 33 s).
constexpr std::uint64_t kDamagedByteWork = 64;
// Each form, pattern cell or Type 3 glyph drawn costs at least this much, whatever its content:
// poppler saves and restores its state around it, so streams without content still cost their count.
constexpr std::uint64_t kFormOverhead = 1024;
// What one piece of a dashed stroke costs, times how many neighbours its stroke overlaps (its width
// over the dash period): cairo strokes the pieces as one outline, so wide pieces packed closely cost
// far more than their count (10^4 pieces of a round-capped stroke 100 times wider than their period
// take seconds).
constexpr double kDashPieceWork = 64.0;

// Whether the word is an operator of PDF content.
bool IsOperator(const std::string& word) {
    static const std::set<std::string, std::less<>> kOperators = {
        "b",  "B",  "b*", "B*", "BDC", "BI", "BMC", "BT", "BX",   "c",     "cm",  "CS",  "cs",
        "d",  "d0", "d1", "Do", "DP",  "EI", "EMC", "ET", "EX",   "f",     "F",   "f*",  "G",
        "g",  "gs", "h",  "i",  "ID",  "j",  "J",   "K",  "k",    "l",     "m",   "M",   "MP",
        "n",  "q",  "Q",  "re", "RG",  "rg", "ri",  "s",  "S",    "SC",    "sc",  "SCN", "scn",
        "sh", "T*", "Tc", "Td", "TD",  "Tf", "Tj",  "TJ", "TL",   "Tm",    "Tr",  "Ts",  "Tw",
        "Tz", "v",  "w",  "W",  "W*",  "y",  "'",   "\"", "true", "false", "null"};
    return kOperators.count(word) != 0;
}

// An affine matrix as PDF writes it: x' = a x + c y + e, y' = b x + d y + f.
struct Matrix {
    double a = 1.0, b = 0.0, c = 0.0, d = 1.0, e = 0.0, f = 0.0;

    // This matrix, then the other.
    Matrix Then(const Matrix& o) const {
        return {a * o.a + b * o.c, a * o.b + b * o.d,       c * o.a + d * o.c,
                c * o.b + d * o.d, e * o.a + f * o.c + o.e, e * o.b + f * o.d + o.f};
    }
    std::pair<double, double> Map(double x, double y) const { return {a * x + c * y + e, b * x + d * y + f}; }
    // None for a matrix that flattens the plane.
    std::optional<Matrix> Inverse() const {
        const double det = a * d - b * c;
        if (!std::isfinite(det) || det == 0.0) {
            return std::nullopt;
        }
        return Matrix{d / det, -b / det, -c / det, a / det, (c * f - d * e) / det, (b * e - a * f) / det};
    }
};

// A box of a stream's own space (its coordinates when it starts); empty until a point is added.
struct Box {
    double x0 = HUGE_VAL, y0 = HUGE_VAL, x1 = -HUGE_VAL, y1 = -HUGE_VAL;

    static Box Everything() { return {-HUGE_VAL, -HUGE_VAL, HUGE_VAL, HUGE_VAL}; }
    bool Empty() const { return !(x0 <= x1 && y0 <= y1); }
    // Whether a coordinate is not a number (from numbers beyond what a double holds).
    bool Unknown() const { return std::isnan(x0) || std::isnan(y0) || std::isnan(x1) || std::isnan(y1); }
    void Add(double x, double y) {
        if (std::isnan(x) || std::isnan(y)) {
            x0 = y0 = x1 = y1 = std::nan("");  // stays unknown whatever is added after
            return;
        }
        x0 = std::min(x0, x);
        y0 = std::min(y0, y);
        x1 = std::max(x1, x);
        y1 = std::max(y1, y);
    }
    Box Within(const Box& o) const {
        if (Unknown() || o.Unknown()) {
            return Unknown() ? *this : o;
        }
        return {std::max(x0, o.x0), std::max(y0, o.y0), std::min(x1, o.x1), std::min(y1, o.y1)};
    }
    Box Mapped(const Matrix& m) const {
        if (Unknown()) {
            return *this;
        }
        Box mapped;
        for (const auto& [x, y] :
             {std::pair(x0, y0), std::pair(x0, y1), std::pair(x1, y0), std::pair(x1, y1)}) {
            const auto [u, v] = m.Map(x, y);
            mapped.Add(u, v);
        }
        return mapped;
    }
};

double Number(QPDFObjectHandle value, double otherwise = 0.0) {
    return value.isNumber() ? value.getNumericValue() : otherwise;
}

// A rectangle as a PDF array holds it (its corners in any order); none when it is not one.
std::optional<Box> RectangleOf(QPDFObjectHandle array) {
    if (!array.isArray() || array.getArrayNItems() != 4) {
        return std::nullopt;
    }
    Box box;
    box.Add(Number(array.getArrayItem(0)), Number(array.getArrayItem(1)));
    box.Add(Number(array.getArrayItem(2)), Number(array.getArrayItem(3)));
    return box;
}

Matrix MatrixOf(QPDFObjectHandle array) {
    if (!array.isArray() || array.getArrayNItems() != 6) {
        return {};
    }
    double v[6];
    for (int i = 0; i < 6; ++i) {
        v[i] = Number(array.getArrayItem(i));
    }
    return {v[0], v[1], v[2], v[3], v[4], v[5]};
}

// The pixels of an image of that size, refused beyond the limit; sizes as poppler reads them: a
// real number counts (30000.0 is 30,000), and the short names of inline images count for every image.
std::uint64_t ImagePixels(double width, double height) {
    const double w = std::isfinite(width) ? std::max(0.0, std::floor(width)) : HUGE_VAL;
    const double h = std::isfinite(height) ? std::max(0.0, std::floor(height)) : HUGE_VAL;
    if (w == 0.0 || h == 0.0) {
        return 0;
    }
    if (w * h > static_cast<double>(kMaxPlacedPixels)) {
        const auto side = [](double length) {
            return length < 1e15 ? std::to_string(static_cast<std::uint64_t>(length))
                                 : std::string("countless");
        };
        throw Refused{"an image of " + side(w) + " x " + side(h) + " pixels"};
    }
    return static_cast<std::uint64_t>(w * h);
}

std::uint64_t ImageDictionaryPixels(QPDFObjectHandle dictionary) {
    if (!dictionary.isDictionary()) {
        return 0;
    }
    const auto size = [&](const char* full, const char* brief) {
        QPDFObjectHandle value = dictionary.getKey(full);
        return Number(value.isNull() ? dictionary.getKey(brief) : value);
    };
    return ImagePixels(size("/Width", "/W"), size("/Height", "/H"));
}

// What the graphics state holds that decides the cost of what a stream paints, and which a form,
// a pattern cell or a glyph inherits from what draws it.
struct Paint {
    // A tiling pattern chosen for filling or stroking: its cell's work, and how many cells cover a
    // box of the stream's space (the cell's step, and the map into pattern space, which poppler takes
    // relative to the space of the stream that paints).
    struct Pattern {
        QPDFObjGen id;
        std::uint64_t cellWork = 0;
        Matrix toPattern;
        double xStep = 1.0;
        double yStep = 1.0;
    };
    std::optional<Pattern> fill;
    std::optional<Pattern> stroke;
    // The work of one glyph of the font chosen, when it is a Type 3 font (its glyphs are drawn by
    // content streams); kOpenFont while that font's own glyphs are measured.
    std::uint64_t glyphWork = 0;
    double dashPeriod = 0.0;  // the dash array's sum (0: a solid line)
    std::size_t dashes = 0;   // the pieces one period draws
    double lineWidth = 1.0;

    static constexpr std::uint64_t kOpenFont = ~std::uint64_t{0};

    // What tells one paint from another, for measuring a stream once per paint it is drawn with.
    auto Key() const {
        return std::tuple(fill ? fill->id : QPDFObjGen(), stroke ? stroke->id : QPDFObjGen(), glyphWork,
                          dashPeriod, dashes, lineWidth);
    }
};

// The work of drawing a page: content bytes, image pixels, pattern cells, Type 3 glyphs and dash
// pieces, counted as often as they are drawn. A form, pattern cell or glyph procedure is measured
// once for each resource dictionary and inherited paint it is drawn with (a stream without
// resources of its own names what the one drawing it names).
class PdfCost {
public:
    PdfCost(QPDF& pdf, std::uint64_t fileBytes) : pdf_(pdf), fileBytes_(fileBytes) {}

    // What poppler spends each time it looks up an object that a resource names: it parses the
    // object again every time (a form's or an image's dictionary, a pattern, a graphics state), and
    // an object that is not what it should be, maybe to the end of the file. In a damaged file (one
    // qpdf had to mend) every byte it parses may cost it an error message: it costs far more there.
    std::uint64_t Lookup(QPDFObjectHandle object, bool usable) {
        const std::uint64_t damaged = pdf_.anyWarnings() ? kDamagedByteWork : 1;
        if (!usable) {
            return SaturatingSum(SaturatingProduct(fileBytes_, damaged), kFormOverhead);
        }
        const QPDFObjGen id = object.getObjGen();
        if (const auto found = texts_.find(id); id.getObj() != 0 && found != texts_.end()) {
            return found->second;
        }
        const std::uint64_t text =
            SaturatingProduct((object.isStream() ? object.getDict() : object).unparse().size(), damaged);
        if (id.getObj() != 0) {
            texts_.emplace(id, text);
        }
        return text;
    }

    // What poppler spends on a stream's own resources each time it is drawn: it reads each font,
    // form, image, pattern and graphics state the dictionary names, one level deep.
    std::uint64_t Resources(QPDFObjectHandle resources, QPDFObjGen owner) {
        if (const auto found = resourceTexts_.find(owner); found != resourceTexts_.end()) {
            return found->second;
        }
        std::uint64_t text = resources.unparse().size();
        for (auto& [kind, group] : resources.getDictAsMap()) {
            for (auto& [name, entry] :
                 group.isDictionary() ? group.getDictAsMap() : std::map<std::string, QPDFObjectHandle>{}) {
                text = SaturatingSum(text, Lookup(entry, true));
            }
        }
        resourceTexts_.emplace(owner, text);
        return text;
    }

    // The work of the streams drawn with the resources (known by the object that holds them),
    // clipped to the box of their own space; throws Refused beyond the limits.
    std::uint64_t Content(const std::vector<QPDFObjectHandle>& streams, QPDFObjectHandle resources,
                          QPDFObjGen resourcesOwner, const Box& clip, const Paint& paint, int depth);

    // The work of a stream drawn as a form, a pattern cell or a glyph: its content with its own
    // resources, or with those of what draws it, clipped to its box.
    std::uint64_t Form(QPDFObjectHandle form, QPDFObjectHandle resources, QPDFObjGen resourcesOwner,
                       const Box& clip, const Paint& paint, int depth) {
        if (depth > kDeepestPlacedForms) {
            throw Refused{"its forms, patterns or glyphs nest too deep"};
        }
        if (!form.isStream()) {
            return 0;
        }
        QPDFObjectHandle dictionary = form.getDict();
        if (dictionary.getKey("/Resources").isDictionary()) {
            resources = dictionary.getKey("/Resources");
            resourcesOwner = form.getObjGen();
        }
        const auto key = std::tuple(form.getObjGen(), resourcesOwner, paint.Key());
        if (const auto found = measured_.find(key); found != measured_.end()) {
            return found->second;
        }
        if (!open_.insert(form.getObjGen()).second) {
            throw Refused{"a form, pattern or glyph draws itself"};
        }
        std::uint64_t work =
            SaturatingSum(Content({form}, resources, resourcesOwner, clip, paint, depth + 1), kFormOverhead);
        if (resourcesOwner == form.getObjGen()) {
            work = SaturatingSum(work, Resources(resources, resourcesOwner));
        }
        open_.erase(form.getObjGen());
        measured_.emplace(key, work);
        return work;
    }

private:
    QPDF& pdf_;
    std::uint64_t fileBytes_;
    std::map<QPDFObjGen, std::uint64_t> texts_;          // Lookup's, by object
    std::map<QPDFObjGen, std::uint64_t> resourceTexts_;  // Resources', by the object holding them
    std::uint64_t decoded_ = 0;                          // content bytes decoded so far, over the whole page
    std::map<std::tuple<QPDFObjGen, QPDFObjGen, decltype(Paint().Key())>, std::uint64_t> measured_;
    std::set<QPDFObjGen> open_;  // the streams being measured, which none of them may draw again
};

// One pass over a stream's tokens, keeping the graphics state that decides what its operators cost.
class ContentWalk {
public:
    ContentWalk(PdfCost& cost, QPDFObjectHandle resources, QPDFObjGen owner, const Box& clip,
                const Paint& paint, int depth)
        : cost_(cost), resources_(resources), owner_(owner), depth_(depth) {
        state_.clip = clip;
        state_.paint = paint;
    }

    std::uint64_t Walk(const std::string& content) {
        const auto input = std::make_shared<BufferInputSource>("content", content);
        QPDFTokenizer tokenizer;
        tokenizer.allowEOF();
        for (;;) {
            const QPDFTokenizer::Token token = tokenizer.readToken(input, "content", true);
            switch (token.getType()) {
                case QPDFTokenizer::tt_eof:
                    return work_;
                case QPDFTokenizer::tt_bad:
                    // poppler reads on past it, with an error message each time it is drawn
                    Add(SaturatingProduct(token.getRawValue().size() + 1, kDamagedByteWork));
                    Clear();
                    break;
                case QPDFTokenizer::tt_integer:
                case QPDFTokenizer::tt_real:
                    (arrays_ > 0 ? arrayNumbers_ : numbers_)
                        .push_back(std::strtod(token.getValue().c_str(), nullptr));
                    break;
                case QPDFTokenizer::tt_name:
                    name_ = token.getValue();
                    break;
                case QPDFTokenizer::tt_string:
                    textBytes_ += token.getValue().size();
                    break;
                case QPDFTokenizer::tt_array_open:
                    ++arrays_;
                    break;
                case QPDFTokenizer::tt_array_close:
                    arrays_ = std::max(0, arrays_ - 1);
                    break;
                case QPDFTokenizer::tt_word:
                    if (token.getValue() == "BI") {
                        InlineImage(tokenizer, input);
                    } else if (!IsOperator(token.getValue())) {
                        // poppler names an operator it doesn't know in an error message each time
                        Add(SaturatingProduct(token.getValue().size() + 1, kDamagedByteWork));
                    } else {
                        Operator(token.getValue());
                    }
                    Clear();
                    break;
                default:
                    break;
            }
        }
    }

private:
    struct State {
        Matrix ctm;  // from user space to the stream's own space
        Box clip;    // in the stream's own space
        Paint paint;
        std::optional<QPDFObjectHandle> font;
    };

    void Clear() {
        numbers_.clear();
        arrayNumbers_.clear();
        name_.clear();
        textBytes_ = 0;
        arrays_ = 0;
    }

    void Add(std::uint64_t work) {
        work_ = SaturatingSum(work_, work);
        if (work_ > kMaxPlacedPdfWork) {
            throw Refused{"drawing it takes too much work"};
        }
    }

    // The last n numbers before the operator (0 for those missing).
    double Operand(std::size_t n, std::size_t of) const {
        const std::size_t at = numbers_.size() + n;
        return numbers_.size() >= of ? numbers_[at - of] : 0.0;
    }

    void Point(double x, double y) {
        if (hasCurrent_) {
            length_ += std::hypot(x - currentX_, y - currentY_);
        }
        currentX_ = x;
        currentY_ = y;
        hasCurrent_ = true;
        const auto [u, v] = state_.ctm.Map(x, y);
        path_.Add(u, v);
    }

    void Operator(const std::string& op) {
        if (op == "q") {
            stack_.push_back(state_);
        } else if (op == "Q") {
            if (!stack_.empty()) {
                state_ = std::move(stack_.back());
                stack_.pop_back();
            }
        } else if (op == "cm" && numbers_.size() >= 6) {
            state_.ctm = Matrix{Operand(0, 6), Operand(1, 6), Operand(2, 6),
                                Operand(3, 6), Operand(4, 6), Operand(5, 6)}
                             .Then(state_.ctm);
        } else if (op == "m" && numbers_.size() >= 2) {
            hasCurrent_ = false;
            Point(Operand(0, 2), Operand(1, 2));
            startX_ = currentX_;
            startY_ = currentY_;
        } else if (op == "l" && numbers_.size() >= 2) {
            Point(Operand(0, 2), Operand(1, 2));
        } else if ((op == "c" && numbers_.size() >= 6) ||
                   ((op == "v" || op == "y") && numbers_.size() >= 4)) {
            // The control polygon's length bounds the curve's.
            const std::size_t count = op == "c" ? 6 : 4;
            for (std::size_t i = 0; i < count; i += 2) {
                Point(Operand(i, count), Operand(i + 1, count));
            }
        } else if (op == "re" && numbers_.size() >= 4) {
            const double x = Operand(0, 4);
            const double y = Operand(1, 4);
            const double w = Operand(2, 4);
            const double h = Operand(3, 4);
            hasCurrent_ = false;
            Point(x, y);
            Point(x + w, y);
            Point(x + w, y + h);
            Point(x, y + h);
            Point(x, y);
            startX_ = x;
            startY_ = y;
        } else if (op == "h") {
            Point(startX_, startY_);
        } else if (op == "W" || op == "W*") {
            clipping_ = true;
        } else if (op == "S" || op == "s" || op == "f" || op == "F" || op == "f*" || op == "B" ||
                   op == "B*" || op == "b" || op == "b*" || op == "n") {
            PaintPath(op);
        } else if (op == "w" && !numbers_.empty()) {
            state_.paint.lineWidth = std::abs(numbers_.back());
        } else if (op == "d") {
            state_.paint.dashPeriod = 0.0;
            for (const double dash : arrayNumbers_) {
                state_.paint.dashPeriod += std::abs(dash);
            }
            state_.paint.dashes = (arrayNumbers_.size() + 1) / 2;
        } else if (op == "Do" && !name_.empty()) {
            Draw(name_);
        } else if (op == "Tf" && !name_.empty()) {
            SelectFont(name_);
        } else if (op == "Tj" || op == "TJ" || op == "'" || op == "\"") {
            ShowText();
        } else if ((op == "scn" || op == "SCN") && !name_.empty()) {
            (op == "scn" ? state_.paint.fill : state_.paint.stroke) = PatternNamed(name_);
        } else if (op == "cs" || op == "CS" || op == "sc" || op == "SC" || op == "g" || op == "G" ||
                   op == "rg" || op == "RG" || op == "k" || op == "K" || op == "scn" || op == "SCN") {
            (op == "cs" || op == "sc" || op == "g" || op == "rg" || op == "k" || op == "scn"
                 ? state_.paint.fill
                 : state_.paint.stroke)
                .reset();
        } else if (op == "gs" && !name_.empty()) {
            SoftMask(name_);
        }
    }

    // A painting operator: pattern cells over the path's box, dash pieces along it; a clip it sets.
    void PaintPath(const std::string& op) {
        const bool fills = op != "S" && op != "s" && op != "n";
        const bool strokes = op == "S" || op == "s" || op == "B" || op == "B*" || op == "b" || op == "b*";
        if (op == "s" || op == "b" || op == "b*") {
            Point(startX_, startY_);
        }
        const Box painted = path_.Within(state_.clip);
        for (const auto& [used, pattern] :
             {std::pair(fills, state_.paint.fill), std::pair(strokes, state_.paint.stroke)}) {
            if (used && pattern && painted.Unknown()) {
                throw Refused{"a pattern paints where its cells can't be counted"};
            }
            if (used && pattern && !painted.Empty()) {
                const Box cells = painted.Mapped(pattern->toPattern);
                const double count = (std::ceil((cells.x1 - cells.x0) / pattern->xStep) + 1.0) *
                                     (std::ceil((cells.y1 - cells.y0) / pattern->yStep) + 1.0);
                Add(SaturatingProduct(WorkOf(count), pattern->cellWork));
            }
        }
        if (strokes && state_.paint.dashPeriod > 0.0) {
            const double pieces =
                length_ / state_.paint.dashPeriod * static_cast<double>(state_.paint.dashes);
            Add(WorkOf(pieces * kDashPieceWork * (1.0 + state_.paint.lineWidth / state_.paint.dashPeriod)));
        }
        if (clipping_) {
            state_.clip = path_.Within(state_.clip);
        }
        clipping_ = false;
        path_ = Box();
        length_ = 0.0;
        hasCurrent_ = false;
    }

    // The object the resources name, and what looking it up costs poppler (nothing for a name
    // they don't hold; see PdfCost::Lookup), which is charged. usable tells what the object must be.
    enum class Want { dictionary, stream, either };
    QPDFObjectHandle Resource(const char* kind, const std::string& name, Want want = Want::dictionary) {
        auto found = lookups_.find({kind, name});
        if (found == lookups_.end()) {
            // The group as it stands, names of objects that can't be read included (as nulls).
            auto group = groups_.find(kind);
            if (group == groups_.end()) {
                QPDFObjectHandle names =
                    resources_.isDictionary() ? resources_.getKey(kind) : QPDFObjectHandle::newNull();
                group = groups_
                            .emplace(kind, names.isDictionary() ? names.getDictAsMap()
                                                                : std::map<std::string, QPDFObjectHandle>{})
                            .first;
            }
            // A name the resources don't hold costs what one that can't be read does: qpdf drops a
            // reference to an object it can't read, which poppler parses again at every lookup.
            const auto entry = group->second.find(name);
            Lookup lookup{QPDFObjectHandle::newNull(), cost_.Lookup(QPDFObjectHandle::newNull(), false)};
            if (entry != group->second.end()) {
                QPDFObjectHandle object = entry->second;
                const bool usable = want == Want::stream       ? object.isStream()
                                    : want == Want::dictionary ? object.isDictionary()
                                                               : object.isStream() || object.isDictionary();
                lookup = {object, cost_.Lookup(object, usable)};
            }
            found = lookups_.emplace(std::pair(std::string(kind), name), lookup).first;
        }
        Add(found->second.work);
        return found->second.object;
    }

    // The space of a stream drawn inside this one, and its clip there.
    Box InnerClip(const Matrix& placement, std::optional<Box> box) const {
        const std::optional<Matrix> back = placement.Then(state_.ctm).Inverse();
        if (!back) {
            return Box();  // flattened: nothing of it shows
        }
        const Box outer = state_.clip.Empty() || std::isinf(state_.clip.x0) || std::isinf(state_.clip.x1) ||
                                  std::isinf(state_.clip.y0) || std::isinf(state_.clip.y1)
                              ? Box::Everything()
                              : state_.clip.Mapped(*back);
        return box ? box->Within(outer) : outer;
    }

    void Draw(const std::string& name) {
        QPDFObjectHandle object = Resource("/XObject", name, Want::stream);
        if (!object.isStream()) {
            return;
        }
        QPDFObjectHandle dictionary = object.getDict();
        QPDFObjectHandle subtype = dictionary.getKey("/Subtype");
        if (subtype.isName() && subtype.getName() == "/Form") {
            const Matrix placement = MatrixOf(dictionary.getKey("/Matrix"));
            const std::optional<Box> box = RectangleOf(dictionary.getKey("/BBox"));
            Add(cost_.Form(object, resources_, owner_, InnerClip(placement, box), state_.paint, depth_));
            return;
        }
        std::uint64_t pixels = ImageDictionaryPixels(dictionary);
        for (const char* mask : {"/SMask", "/Mask"}) {
            QPDFObjectHandle image = dictionary.getKey(mask);
            if (image.isStream()) {
                pixels = SaturatingSum(pixels, ImageDictionaryPixels(image.getDict()));
            }
        }
        Add(pixels);
    }

    // An inline image: its dictionary's size, then its data, which the tokenizer passes over.
    void InlineImage(QPDFTokenizer& tokenizer, const std::shared_ptr<InputSource>& input) {
        std::string key;
        double width = 0.0;
        double height = 0.0;
        for (;;) {
            const QPDFTokenizer::Token token = tokenizer.readToken(input, "content", true);
            const QPDFTokenizer::token_type_e type = token.getType();
            if (type == QPDFTokenizer::tt_eof || type == QPDFTokenizer::tt_bad) {
                return;
            }
            if (type == QPDFTokenizer::tt_word && token.getValue() == "ID") {
                break;
            }
            const bool number = type == QPDFTokenizer::tt_integer || type == QPDFTokenizer::tt_real;
            if (number && (key == "/W" || key == "/Width")) {
                width = std::strtod(token.getValue().c_str(), nullptr);
            } else if (number && (key == "/H" || key == "/Height")) {
                height = std::strtod(token.getValue().c_str(), nullptr);
            }
            key = type == QPDFTokenizer::tt_name ? token.getValue() : std::string();
        }
        Add(ImagePixels(width, height));
        char blank = 0;
        input->read(&blank, 1);  // the one blank between ID and the image's data
        tokenizer.expectInlineImage(input);
        tokenizer.readToken(input, "content", true);
    }

    // A Type 3 font's glyphs are content streams: one glyph costs what its costliest procedure does.
    void SelectFont(const std::string& name) {
        const auto known = fonts_.find(name);
        if (known != fonts_.end()) {
            state_.paint.glyphWork = known->second;
            return;
        }
        QPDFObjectHandle font = Resource("/Font", name);
        std::uint64_t glyph = 0;
        QPDFObjectHandle subtype =
            font.isDictionary() ? font.getKey("/Subtype") : QPDFObjectHandle::newNull();
        if (subtype.isName() && subtype.getName() == "/Type3") {
            QPDFObjectHandle procedures = font.getKey("/CharProcs");
            QPDFObjectHandle fontResources = font.getKey("/Resources");
            const bool own = fontResources.isDictionary();
            Paint inside = state_.paint;
            inside.glyphWork = Paint::kOpenFont;
            for (auto& [code, procedure] : procedures.isDictionary()
                                               ? procedures.getDictAsMap()
                                               : std::map<std::string, QPDFObjectHandle>{}) {
                glyph = std::max(
                    glyph, cost_.Form(procedure, own ? fontResources : resources_,
                                      own ? font.getObjGen() : owner_, Box::Everything(), inside, depth_));
            }
        }
        fonts_.emplace(name, glyph);
        state_.paint.glyphWork = glyph;
    }

    void ShowText() {
        if (state_.paint.glyphWork == Paint::kOpenFont) {
            throw Refused{"a glyph draws itself"};
        }
        Add(SaturatingProduct(textBytes_, state_.paint.glyphWork));
    }

    std::optional<Paint::Pattern> PatternNamed(const std::string& name) {
        const auto known = patterns_.find(name);
        if (known != patterns_.end()) {
            return known->second;
        }
        QPDFObjectHandle pattern = Resource("/Pattern", name, Want::either);
        std::optional<Paint::Pattern> tiling;
        if (pattern.isStream() && Number(pattern.getDict().getKey("/PatternType")) == 1.0) {
            QPDFObjectHandle dictionary = pattern.getDict();
            Paint::Pattern found;
            found.id = pattern.getObjGen();
            found.xStep = std::abs(Number(dictionary.getKey("/XStep")));
            found.yStep = std::abs(Number(dictionary.getKey("/YStep")));
            const std::optional<Matrix> back = MatrixOf(dictionary.getKey("/Matrix")).Inverse();
            if (!(found.xStep > 0.0) || !(found.yStep > 0.0) || !std::isfinite(found.xStep) ||
                !std::isfinite(found.yStep) || !back) {
                throw Refused{"a pattern's cells can't be counted"};
            }
            found.toPattern = *back;
            const std::optional<Box> box = RectangleOf(dictionary.getKey("/BBox"));
            found.cellWork =
                cost_.Form(pattern, resources_, owner_, box ? *box : Box::Everything(), state_.paint, depth_);
            tiling = found;
        }
        patterns_.emplace(name, tiling);
        return tiling;
    }

    // A soft mask set by a graphics state dictionary is a form drawn over what the page shows.
    void SoftMask(const std::string& name) {
        QPDFObjectHandle parameters = Resource("/ExtGState", name);
        QPDFObjectHandle mask =
            parameters.isDictionary() ? parameters.getKey("/SMask") : QPDFObjectHandle::newNull();
        QPDFObjectHandle group = mask.isDictionary() ? mask.getKey("/G") : QPDFObjectHandle::newNull();
        if (group.isStream()) {
            const std::optional<Box> box = RectangleOf(group.getDict().getKey("/BBox"));
            Add(cost_.Form(group, resources_, owner_,
                           InnerClip(MatrixOf(group.getDict().getKey("/Matrix")), box), Paint{}, depth_));
        }
    }

    PdfCost& cost_;
    QPDFObjectHandle resources_;
    QPDFObjGen owner_;
    int depth_;
    std::uint64_t work_ = 0;
    State state_;
    std::vector<State> stack_;
    // What the resources' names stand for, and what poppler spends looking each up.
    struct Lookup {
        QPDFObjectHandle object;
        std::uint64_t work;
    };
    std::map<std::string, std::map<std::string, QPDFObjectHandle>> groups_;
    std::map<std::pair<std::string, std::string>, Lookup> lookups_;
    std::map<std::string, std::uint64_t> fonts_;
    std::map<std::string, std::optional<Paint::Pattern>> patterns_;
    // The operands since the last operator.
    std::vector<double> numbers_;
    std::vector<double> arrayNumbers_;
    std::string name_;
    std::uint64_t textBytes_ = 0;
    int arrays_ = 0;
    // The path being built: its box in the stream's space, its length in user space.
    Box path_;
    double length_ = 0.0;
    double currentX_ = 0.0, currentY_ = 0.0, startX_ = 0.0, startY_ = 0.0;
    bool hasCurrent_ = false;
    bool clipping_ = false;
};

std::uint64_t PdfCost::Content(const std::vector<QPDFObjectHandle>& streams, QPDFObjectHandle resources,
                               QPDFObjGen resourcesOwner, const Box& clip, const Paint& paint, int depth) {
    std::string bytes;
    for (QPDFObjectHandle stream : streams) {
        if (!stream.isStream()) {
            continue;
        }
        BoundedSink sink(bytes, kMaxPlacedPdfWork - decoded_);
        try {
            stream.pipeStreamData(&sink, 0, qpdf_dl_generalized, true);
        } catch (const TooMuchContent&) {
            throw Refused{"its content decodes to too many bytes"};
        }
        bytes += '\n';  // streams of a page's array join at a blank
    }
    decoded_ += bytes.size();
    ContentWalk walk(*this, resources, resourcesOwner, clip, paint, depth);
    const std::uint64_t work = SaturatingSum(bytes.size(), walk.Walk(bytes));
    if (work > kMaxPlacedPdfWork) {
        throw Refused{"drawing it takes too much work"};
    }
    return work;
}

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

std::uint64_t PageWork(QPDF& pdf, std::uint64_t fileBytes) {
    const std::vector<QPDFObjectHandle> pages = pdf.getAllPages();
    if (pages.empty()) {
        throw Refused{"it has no page"};
    }
    QPDFPageObjectHelper page(pages.front());
    const QPDFObjectHandle resources = page.getAttribute("/Resources", false);
    // What poppler shows of the page: its crop box within its media box.
    Box shown = RectangleOf(page.getAttribute("/MediaBox", false)).value_or(Box::Everything());
    if (const std::optional<Box> crop = RectangleOf(page.getAttribute("/CropBox", false))) {
        shown = shown.Within(*crop);
    }
    PdfCost cost(pdf, fileBytes);
    std::uint64_t work =
        cost.Content(PageContent(pages.front()), resources, pages.front().getObjGen(), shown, Paint{}, 0);
    for (const QPDFObjectHandle& appearance : Appearances(pages.front())) {
        work = SaturatingSum(work, cost.Form(appearance, QPDFObjectHandle::newNull(), QPDFObjGen(),
                                             Box::Everything(), Paint{}, 0));
    }
    if (work > kMaxPlacedPdfWork) {
        throw Refused{"drawing it takes too much work"};
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

// The pixels of an embedded PNG or JPEG image, as lodepng and libjpeg read its header; none for
// anything else or a header they refuse. The decoders librsvg hands images to (gdk-pixbuf's)
// allocate the whole image as soon as they have read its header, whatever its size, so an image of a
// kind measured here is the only kind drawn.
std::optional<std::uint64_t> EmbeddedImagePixels(std::string_view bytes) {
    std::string error;
    const std::optional<ImageHeader> header = ReadImageHeader(bytes, error);
    return header ? std::optional(std::uint64_t{header->width} * header->height) : std::nullopt;
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
        const std::optional<std::uint64_t> image = EmbeddedImagePixels(bytes);
        if (!image) {
            error = "an embedded image is of a kind the host can't measure, or its header can't be read";
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

// --- Image headers ------------------------------------------------------------------------------------

// The jump target lives in this frame only, with no C++ object that has a destructor.
bool JpegHeader(const unsigned char* data, std::size_t size, ImageHeader& header, char* message) {
    jpeg_decompress_struct info{};
    JpegErrors errors;
    SetJpegErrors(info, errors);
    if (setjmp(errors.back) != 0) {
        jpeg_destroy_decompress(&info);
        std::memcpy(message, errors.message, JMSG_LENGTH_MAX);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
    jpeg_read_header(&info, TRUE);
    header.width = info.image_width;
    header.height = info.image_height;
    if (info.density_unit == 1) {
        header.resolution = info.X_density;
    } else if (info.density_unit == 2) {
        header.resolution = info.X_density * 2.54;
    }
    jpeg_destroy_decompress(&info);
    return true;
}

}  // namespace

bool PdfWithinBudget(std::string& bytes, std::string& error) {
    std::string mended;
    try {
        QPDF pdf;
        pdf.setSuppressWarnings(true);
        pdf.processMemoryFile("placed file", bytes.data(), bytes.size());
        PageWork(pdf, bytes.size());
        if (pdf.anyWarnings()) {
            // qpdf mended the file (a cross-reference table rebuilt, a stream's length found again),
            // and poppler would mend it its own way: a stream may hold more for it than was measured.
            // The file as qpdf read it is what is drawn.
            QPDFWriter writer(pdf);
            writer.setOutputMemory();
            writer.setDecodeLevel(qpdf_dl_none);
            writer.write();
            const std::shared_ptr<Buffer> written = writer.getBufferSharedPointer();
            mended.assign(reinterpret_cast<const char*>(written->getBuffer()), written->getSize());
        }
    } catch (const Refused& refused) {
        error = refused.reason;
        return false;
    } catch (const std::exception& failed) {
        error = std::string("it can't be read: ") + failed.what();
        return false;
    }
    if (!mended.empty()) {
        bytes = std::move(mended);  // qpdf, which read the bytes where they are, is gone
    }
    return true;
}

bool SvgWithinBudget(std::string_view bytes, std::string& error) {
    std::uint64_t pixels = 0;
    return SvgImagesWithinBudget(bytes, 0, pixels, error);
}

}  // namespace host

namespace host {

std::optional<ImageHeader> ReadImageHeader(std::string_view bytes, std::string& error) {
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    ImageHeader header;
    if (bytes.substr(0, 4) == "\x89PNG") {
        lodepng::State state;
        if (const unsigned failed =
                lodepng_inspect(&header.width, &header.height, &state, data, bytes.size())) {
            error = std::string("the PNG image can't be read: ") + lodepng_error_text(failed);
            return std::nullopt;
        }
        // The physical resolution, when the header gives one in pixels per metre.
        const unsigned char* phys = lodepng_chunk_find_const(data + 8, data + bytes.size(), "pHYs");
        if (phys != nullptr &&
            lodepng_inspect_chunk(&state, static_cast<std::size_t>(phys - data), data, bytes.size()) == 0 &&
            state.info_png.phys_defined != 0 && state.info_png.phys_unit == 1) {
            header.resolution = state.info_png.phys_x * 2.54 / 100.0;
        }
        return header;
    }
    if (bytes.substr(0, 2) == "\xFF\xD8") {
        char message[JMSG_LENGTH_MAX] = {};
        if (!JpegHeader(data, bytes.size(), header, message)) {
            error = std::string("the JPEG image can't be read: ") + message;
            return std::nullopt;
        }
        return header;
    }
    error = "not a PNG or JPEG image";
    return std::nullopt;
}

}  // namespace host
