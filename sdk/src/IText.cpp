// The text engine's classes over its suites.
#include "IText.h"

#include <algorithm>
#include <utility>

namespace ATE {

namespace {

constexpr ATEErr kMissing = FourCharCode("PARM");

// The suite, or an exception when the module does not hold it.
template <typename Suite>
Suite& Need(Suite* suite) {
    if (suite == nullptr) {
        throw Exception(kMissing);
    }
    return *suite;
}

// Calls an operation that answers a new counted reference, and wraps it.
template <typename Wrapper, typename Ref, typename Call>
Wrapper Made(Call call) {
    Ref made = nullptr;
    Check(call(&made));
    return Wrapper(made);
}

std::string Describe(ATEErr error) {
    std::string text = "text engine error ";
    const auto byte = [&](int shift) {
        return static_cast<char>((static_cast<unsigned>(error) >> shift) & 0xFF);
    };
    const std::string code{byte(24), byte(16), byte(8), byte(0)};
    const bool printable =
        std::all_of(code.begin(), code.end(), [](char c) { return c >= 0x20 && c < 0x7F; });
    return text + (printable ? "'" + code + "'" : std::to_string(error));
}

}  // namespace

Exception::Exception(ATEErr error) : fError(error), fText(Describe(error)) {}

void Check(ATEErr error) {
    if (error != kNoError) {
        throw Exception(error);
    }
}

#define PLIM_ATE_COUNTING(Ref, suite)          \
    void AddRefOf(Ref reference) {             \
        Check(Need(suite).AddRef(reference));  \
    }                                          \
    void ReleaseOf(Ref reference) {            \
        Check(Need(suite).Release(reference)); \
    }
PLIM_ATE_COUNTING(TextRangeRef, sTextRange)
PLIM_ATE_COUNTING(StoryRef, sStory)
PLIM_ATE_COUNTING(TextFrameRef, sTextFrame)
PLIM_ATE_COUNTING(TextFramesIteratorRef, sTextFramesIterator)
PLIM_ATE_COUNTING(TextLineRef, sTextLine)
PLIM_ATE_COUNTING(TextLinesIteratorRef, sTextLinesIterator)
PLIM_ATE_COUNTING(ParagraphRef, sParagraph)
PLIM_ATE_COUNTING(ParagraphsIteratorRef, sParagraphsIterator)
PLIM_ATE_COUNTING(CharFeaturesRef, sCharFeatures)
PLIM_ATE_COUNTING(ParaFeaturesRef, sParaFeatures)
PLIM_ATE_COUNTING(CharStyleRef, sCharStyle)
PLIM_ATE_COUNTING(ParaStyleRef, sParaStyle)
PLIM_ATE_COUNTING(CharStylesRef, sCharStyles)
PLIM_ATE_COUNTING(ParaStylesRef, sParaStyles)
PLIM_ATE_COUNTING(CharStylesIteratorRef, sCharStylesIterator)
PLIM_ATE_COUNTING(ParaStylesIteratorRef, sParaStylesIterator)
PLIM_ATE_COUNTING(DocumentTextResourcesRef, sDocumentTextResources)
PLIM_ATE_COUNTING(FontRef, sFont)
PLIM_ATE_COUNTING(ApplicationPaintRef, sApplicationPaint)
#undef PLIM_ATE_COUNTING

// --- Ranges, stories, frames, lines, paragraphs ---------------------------------------------------

ITextRange ITextRange::Clone() const {
    return Made<ITextRange, TextRangeRef>(
        [&](TextRangeRef* out) { return Need(sTextRange).Clone(fRef, out); });
}

ASInt32 ITextRange::GetStart() const {
    ASInt32 value = 0;
    Check(Need(sTextRange).GetStart(fRef, &value));
    return value;
}

void ITextRange::SetStart(ASInt32 start) {
    Check(Need(sTextRange).SetStart(fRef, start));
}

ASInt32 ITextRange::GetEnd() const {
    ASInt32 value = 0;
    Check(Need(sTextRange).GetEnd(fRef, &value));
    return value;
}

void ITextRange::SetEnd(ASInt32 end) {
    Check(Need(sTextRange).SetEnd(fRef, end));
}

void ITextRange::SetRange(ASInt32 start, ASInt32 end) {
    Check(Need(sTextRange).SetRange(fRef, start, end));
}

ASInt32 ITextRange::GetSize() const {
    ASInt32 value = 0;
    Check(Need(sTextRange).GetSize(fRef, &value));
    return value;
}

ASInt32 ITextRange::GetContents(ASUnicode* text, ASInt32 maxLength) const {
    ASInt32 copied = 0;
    Check(Need(sTextRange).GetContents_AsUnicode(fRef, text, maxLength, &copied));
    return copied;
}

void ITextRange::InsertAfter(const ASUnicode* text, ASInt32 length) {
    Check(Need(sTextRange).InsertAfter_AsUnicode(fRef, text, length));
}

void ITextRange::Remove() {
    Check(Need(sTextRange).Remove(fRef));
}

IStory ITextRange::GetStory() const {
    return Made<IStory, StoryRef>([&](StoryRef* out) { return Need(sTextRange).GetStory(fRef, out); });
}

IParagraphsIterator ITextRange::GetParagraphs() const {
    return Made<IParagraphsIterator, ParagraphsIteratorRef>(
        [&](ParagraphsIteratorRef* out) { return Need(sTextRange).GetParagraphs(fRef, out); });
}

ITextFramesIterator ITextRange::GetTextFrames() const {
    return Made<ITextFramesIterator, TextFramesIteratorRef>(
        [&](TextFramesIteratorRef* out) { return Need(sTextRange).GetTextFrames(fRef, out); });
}

ICharFeatures ITextRange::GetUniqueCharFeatures() const {
    return Made<ICharFeatures, CharFeaturesRef>(
        [&](CharFeaturesRef* out) { return Need(sTextRange).GetUniqueCharFeatures(fRef, out); });
}

ICharFeatures ITextRange::GetUniqueLocalCharFeatures() const {
    return Made<ICharFeatures, CharFeaturesRef>(
        [&](CharFeaturesRef* out) { return Need(sTextRange).GetUniqueLocalCharFeatures(fRef, out); });
}

IParaFeatures ITextRange::GetUniqueParaFeatures() const {
    return Made<IParaFeatures, ParaFeaturesRef>(
        [&](ParaFeaturesRef* out) { return Need(sTextRange).GetUniqueParaFeatures(fRef, out); });
}

IParaFeatures ITextRange::GetUniqueLocalParaFeatures() const {
    return Made<IParaFeatures, ParaFeaturesRef>(
        [&](ParaFeaturesRef* out) { return Need(sTextRange).GetUniqueLocalParaFeatures(fRef, out); });
}

void ITextRange::SetLocalCharFeatures(const ICharFeatures& features) {
    Check(Need(sTextRange).SetLocalCharFeatures(fRef, features.GetRef()));
}

void ITextRange::ReplaceOrAddLocalCharFeatures(const ICharFeatures& features) {
    Check(Need(sTextRange).ReplaceOrAddLocalCharFeatures(fRef, features.GetRef()));
}

void ITextRange::ClearLocalCharFeatures() {
    Check(Need(sTextRange).ClearLocalCharFeatures(fRef));
}

void ITextRange::SetLocalParaFeatures(const IParaFeatures& features) {
    Check(Need(sTextRange).SetLocalParaFeatures(fRef, features.GetRef()));
}

void ITextRange::ReplaceOrAddLocalParaFeatures(const IParaFeatures& features) {
    Check(Need(sTextRange).ReplaceOrAddLocalParaFeatures(fRef, features.GetRef()));
}

void ITextRange::ClearLocalParaFeatures() {
    Check(Need(sTextRange).ClearLocalParaFeatures(fRef));
}

ICharStyles ITextRange::GetNamedCharStyles() const {
    return Made<ICharStyles, CharStylesRef>(
        [&](CharStylesRef* out) { return Need(sTextRange).GetNamedCharStyles(fRef, out); });
}

IParaStyles ITextRange::GetNamedParaStyles() const {
    return Made<IParaStyles, ParaStylesRef>(
        [&](ParaStylesRef* out) { return Need(sTextRange).GetNamedParaStyles(fRef, out); });
}

void ITextRange::SetNamedCharStyle(const ASUnicode* name) {
    Check(Need(sTextRange).SetNamedCharStyle(fRef, name));
}

void ITextRange::SetNamedParaStyle(const ASUnicode* name) {
    Check(Need(sTextRange).SetNamedParaStyle(fRef, name));
}

ITextRange IStory::GetTextRange() const {
    return Made<ITextRange, TextRangeRef>(
        [&](TextRangeRef* out) { return Need(sStory).GetTextRange_entire(fRef, out); });
}

ITextRange IStory::GetTextRange(ASInt32 start, ASInt32 end) const {
    return Made<ITextRange, TextRangeRef>(
        [&](TextRangeRef* out) { return Need(sStory).GetTextRange(fRef, start, end, out); });
}

ASInt32 IStory::GetFrameCount() const {
    ASInt32 count = 0;
    Check(Need(sStory).GetFrameCount(fRef, &count));
    return count;
}

ITextFrame IStory::GetFrame(ASInt32 index) const {
    return Made<ITextFrame, TextFrameRef>(
        [&](TextFrameRef* out) { return Need(sStory).GetFrame(fRef, index, out); });
}

void IStory::SuspendReflow() {
    Check(Need(sStory).SuspendReflow(fRef));
}

void IStory::ResumeReflow() {
    Check(Need(sStory).ResumeReflow(fRef));
}

ITextRange ITextFrame::GetTextRange(bool includeOverflow) const {
    return Made<ITextRange, TextRangeRef>(
        [&](TextRangeRef* out) { return Need(sTextFrame).GetTextRange(fRef, includeOverflow, out); });
}

IStory ITextFrame::GetStory() const {
    return Made<IStory, StoryRef>([&](StoryRef* out) { return Need(sTextFrame).GetStory(fRef, out); });
}

ITextLinesIterator ITextFrame::GetTextLinesIterator() const {
    return Made<ITextLinesIterator, TextLinesIteratorRef>(
        [&](TextLinesIteratorRef* out) { return Need(sTextFrame).GetTextLinesIterator(fRef, out); });
}

ASInt32 ITextFrame::GetStoryDirection() const {
    ASInt32 direction = 0;
    Check(Need(sTextFrame).GetStoryDirection(fRef, &direction));
    return direction;
}

void ITextFrame::SetStoryDirection(ASInt32 direction) {
    Check(Need(sTextFrame).SetStoryDirection(fRef, direction));
}

ITextRange ITextLine::GetTextRange() const {
    return Made<ITextRange, TextRangeRef>(
        [&](TextRangeRef* out) { return Need(sTextLine).GetTextRange(fRef, out); });
}

ITextRange IParagraph::GetTextRange() const {
    return Made<ITextRange, TextRangeRef>(
        [&](TextRangeRef* out) { return Need(sParagraph).GetTextRange(fRef, out); });
}

// --- Iterators ------------------------------------------------------------------------------------

namespace {

template <typename Ref>
auto& IteratorSuite();
template <>
auto& IteratorSuite<TextFramesIteratorRef>() {
    return Need(sTextFramesIterator);
}
template <>
auto& IteratorSuite<TextLinesIteratorRef>() {
    return Need(sTextLinesIterator);
}
template <>
auto& IteratorSuite<ParagraphsIteratorRef>() {
    return Need(sParagraphsIterator);
}
template <>
auto& IteratorSuite<CharStylesIteratorRef>() {
    return Need(sCharStylesIterator);
}
template <>
auto& IteratorSuite<ParaStylesIteratorRef>() {
    return Need(sParaStylesIterator);
}

}  // namespace

template <typename Ref, typename Item>
bool Iterator<Ref, Item>::IsNotDone() const {
    bool notDone = false;
    Check(IteratorSuite<Ref>().IsNotDone(this->fRef, &notDone));
    return notDone;
}

template <typename Ref, typename Item>
bool Iterator<Ref, Item>::IsEmpty() const {
    bool empty = true;
    Check(IteratorSuite<Ref>().IsEmpty(this->fRef, &empty));
    return empty;
}

template <typename Ref, typename Item>
void Iterator<Ref, Item>::Next() {
    Check(IteratorSuite<Ref>().Next(this->fRef));
}

template <typename Ref, typename Item>
Item Iterator<Ref, Item>::GetItem() const {
    decltype(std::declval<Item>().GetRef()) made = nullptr;
    Check(IteratorSuite<Ref>().Item(this->fRef, &made));
    return Item(made);
}

template class Iterator<TextFramesIteratorRef, ITextFrame>;
template class Iterator<TextLinesIteratorRef, ITextLine>;
template class Iterator<ParagraphsIteratorRef, IParagraph>;
template class Iterator<CharStylesIteratorRef, ICharStyle>;
template class Iterator<ParaStylesIteratorRef, IParaStyle>;

ICharStylesIterator::ICharStylesIterator(const ICharStyles& styles)
    : Iterator(Made<ICharStylesIterator, CharStylesIteratorRef>([&](CharStylesIteratorRef* out) {
          return Need(sCharStylesIterator).Create(styles.GetRef(), out);
      })) {}

IParaStylesIterator::IParaStylesIterator(const IParaStyles& styles)
    : Iterator(Made<IParaStylesIterator, ParaStylesIteratorRef>([&](ParaStylesIteratorRef* out) {
          return Need(sParaStylesIterator).Create(styles.GetRef(), out);
      })) {}

// --- Features -------------------------------------------------------------------------------------

ICharFeatures::ICharFeatures()
    : Counted(Made<ICharFeatures, CharFeaturesRef>([](CharFeaturesRef* out) {
                  return Need(sCharFeatures).Initialize(out);
              }).Detach()) {}

ICharFeatures ICharFeatures::Clone() const {
    return Made<ICharFeatures, CharFeaturesRef>(
        [&](CharFeaturesRef* out) { return Need(sCharFeatures).Clone(fRef, out); });
}

IFont ICharFeatures::GetFont(bool* isAssigned) const {
    FontRef font = nullptr;
    Check(Need(sCharFeatures).GetFont(fRef, isAssigned, &font));
    return IFont(font);
}

void ICharFeatures::SetFont(const IFont& font) {
    Check(Need(sCharFeatures).SetFont(fRef, font.GetRef()));
}

IApplicationPaint ICharFeatures::GetFillColor(bool* isAssigned) const {
    ApplicationPaintRef paint = nullptr;
    Check(Need(sCharFeatures).GetFillColor(fRef, isAssigned, &paint));
    return IApplicationPaint(paint);
}

void ICharFeatures::SetFillColor(const IApplicationPaint& paint) {
    Check(Need(sCharFeatures).SetFillColor(fRef, paint.GetRef()));
}

IApplicationPaint ICharFeatures::GetStrokeColor(bool* isAssigned) const {
    ApplicationPaintRef paint = nullptr;
    Check(Need(sCharFeatures).GetStrokeColor(fRef, isAssigned, &paint));
    return IApplicationPaint(paint);
}

void ICharFeatures::SetStrokeColor(const IApplicationPaint& paint) {
    Check(Need(sCharFeatures).SetStrokeColor(fRef, paint.GetRef()));
}

#define PLIM_ATE_FEATURE_METHODS(Class, suite, Name, type)      \
    type Class::Get##Name(bool* isAssigned) const {             \
        type value{};                                           \
        Check(Need(suite).Get##Name(fRef, isAssigned, &value)); \
        return value;                                           \
    }                                                           \
    void Class::Set##Name(type value) {                         \
        Check(Need(suite).Set##Name(fRef, value));              \
    }                                                           \
    void Class::Clear##Name() {                                 \
        Check(Need(suite).Clear##Name(fRef));                   \
    }
#define PLIM_ATE_CHAR_METHODS(Name, type) PLIM_ATE_FEATURE_METHODS(ICharFeatures, sCharFeatures, Name, type)
#define PLIM_ATE_PARA_METHODS(Name, type) PLIM_ATE_FEATURE_METHODS(IParaFeatures, sParaFeatures, Name, type)
PLIM_ATE_CHAR_VALUES(PLIM_ATE_CHAR_METHODS)
PLIM_ATE_PARA_VALUES(PLIM_ATE_PARA_METHODS)
#undef PLIM_ATE_CHAR_METHODS
#undef PLIM_ATE_PARA_METHODS
#undef PLIM_ATE_FEATURE_METHODS

IParaFeatures::IParaFeatures()
    : Counted(Made<IParaFeatures, ParaFeaturesRef>([](ParaFeaturesRef* out) {
                  return Need(sParaFeatures).Initialize(out);
              }).Detach()) {}

IParaFeatures IParaFeatures::Clone() const {
    return Made<IParaFeatures, ParaFeaturesRef>(
        [&](ParaFeaturesRef* out) { return Need(sParaFeatures).Clone(fRef, out); });
}

ICharFeatures IParaFeatures::GetDefaultCharFeatures(bool* isAssigned) const {
    CharFeaturesRef features = nullptr;
    Check(Need(sParaFeatures).GetDefaultCharFeatures(fRef, isAssigned, &features));
    return ICharFeatures(features);
}

void IParaFeatures::SetDefaultCharFeatures(const ICharFeatures& features) {
    Check(Need(sParaFeatures).SetDefaultCharFeatures(fRef, features.GetRef()));
}

// --- Styles and resources -------------------------------------------------------------------------

ASInt32 ICharStyle::GetName(ASUnicode* name, ASInt32 maxLength) const {
    ASInt32 copied = 0;
    Check(Need(sCharStyle).GetName(fRef, name, maxLength, &copied));
    return copied;
}

ICharFeatures ICharStyle::GetFeatures() const {
    return Made<ICharFeatures, CharFeaturesRef>(
        [&](CharFeaturesRef* out) { return Need(sCharStyle).GetFeatures(fRef, out); });
}

void ICharStyle::SetFeatures(const ICharFeatures& features) {
    Check(Need(sCharStyle).SetFeatures(fRef, features.GetRef()));
}

void ICharStyle::ReplaceOrAddFeatures(const ICharFeatures& features) {
    Check(Need(sCharStyle).ReplaceOrAddFeatures(fRef, features.GetRef()));
}

ASInt32 IParaStyle::GetName(ASUnicode* name, ASInt32 maxLength) const {
    ASInt32 copied = 0;
    Check(Need(sParaStyle).GetName(fRef, name, maxLength, &copied));
    return copied;
}

IParaFeatures IParaStyle::GetFeatures() const {
    return Made<IParaFeatures, ParaFeaturesRef>(
        [&](ParaFeaturesRef* out) { return Need(sParaStyle).GetFeatures(fRef, out); });
}

void IParaStyle::SetFeatures(const IParaFeatures& features) {
    Check(Need(sParaStyle).SetFeatures(fRef, features.GetRef()));
}

void IParaStyle::ReplaceOrAddFeatures(const IParaFeatures& features) {
    Check(Need(sParaStyle).ReplaceOrAddFeatures(fRef, features.GetRef()));
}

ASInt32 ICharStyles::GetSize() const {
    ASInt32 size = 0;
    Check(Need(sCharStyles).GetSize(fRef, &size));
    return size;
}

bool ICharStyles::IsEmpty() const {
    bool empty = true;
    Check(Need(sCharStyles).IsEmpty(fRef, &empty));
    return empty;
}

ASInt32 IParaStyles::GetSize() const {
    ASInt32 size = 0;
    Check(Need(sParaStyles).GetSize(fRef, &size));
    return size;
}

bool IParaStyles::IsEmpty() const {
    bool empty = true;
    Check(Need(sParaStyles).IsEmpty(fRef, &empty));
    return empty;
}

ICharStyle IDocumentTextResources::GetCharStyle(const ASUnicode* name) const {
    return Made<ICharStyle, CharStyleRef>(
        [&](CharStyleRef* out) { return Need(sDocumentTextResources).GetCharStyle(fRef, name, out); });
}

IParaStyle IDocumentTextResources::GetParaStyle(const ASUnicode* name) const {
    return Made<IParaStyle, ParaStyleRef>(
        [&](ParaStyleRef* out) { return Need(sDocumentTextResources).GetParaStyle(fRef, name, out); });
}

ICharStyle IDocumentTextResources::CreateCharStyleWithFeatures(const ASUnicode* name,
                                                               const ICharFeatures& features) {
    return Made<ICharStyle, CharStyleRef>([&](CharStyleRef* out) {
        return Need(sDocumentTextResources).CreateCharStyleWithFeatures(fRef, name, features.GetRef(), out);
    });
}

IParaStyle IDocumentTextResources::CreateParaStyleWithFeatures(const ASUnicode* name,
                                                               const IParaFeatures& features) {
    return Made<IParaStyle, ParaStyleRef>([&](ParaStyleRef* out) {
        return Need(sDocumentTextResources).CreateParaStyleWithFeatures(fRef, name, features.GetRef(), out);
    });
}

}  // namespace ATE
