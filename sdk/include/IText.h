// The text engine's classes: thin C++ objects over the suites of ATESuites.h. Each object holds one
// count of its reference (copies add one, destruction gives it back); a null object holds none. A
// call the engine refuses, or a call on a null object, throws ATE::Exception with the error.
//
// A module that uses them defines the suite pointers (sTextRange, sStory, ...) and acquires them;
// a suite that is not held reads as kBadParameterErr.
#pragma once

#include <exception>
#include <string>
#include <utility>

#include "ATESuites.h"

extern "C" {
extern ATETextRangeSuite* sTextRange;
extern ATEStorySuite* sStory;
extern ATETextFrameSuite* sTextFrame;
extern ATETextFramesIteratorSuite* sTextFramesIterator;
extern ATETextLineSuite* sTextLine;
extern ATETextLinesIteratorSuite* sTextLinesIterator;
extern ATEParagraphSuite* sParagraph;
extern ATEParagraphsIteratorSuite* sParagraphsIterator;
extern ATECharFeaturesSuite* sCharFeatures;
extern ATEParaFeaturesSuite* sParaFeatures;
extern ATECharStyleSuite* sCharStyle;
extern ATEParaStyleSuite* sParaStyle;
extern ATECharStylesSuite* sCharStyles;
extern ATEParaStylesSuite* sParaStyles;
extern ATECharStylesIteratorSuite* sCharStylesIterator;
extern ATEParaStylesIteratorSuite* sParaStylesIterator;
extern ATEDocumentTextResourcesSuite* sDocumentTextResources;
extern ATEFontSuite* sFont;
extern ATEApplicationPaintSuite* sApplicationPaint;
}

namespace ATE {

class Exception : public std::exception {
public:
    explicit Exception(ATEErr error);
    ATEErr Error() const { return fError; }
    const char* what() const noexcept override { return fText.c_str(); }

private:
    ATEErr fError;
    std::string fText;
};

// Throws Exception for an error.
void Check(ATEErr error);

// Counting, one pair per kind of reference.
#define PLIM_ATE_COUNTING(Ref)    \
    void AddRefOf(Ref reference); \
    void ReleaseOf(Ref reference);
PLIM_ATE_COUNTING(TextRangeRef)
PLIM_ATE_COUNTING(StoryRef)
PLIM_ATE_COUNTING(TextFrameRef)
PLIM_ATE_COUNTING(TextFramesIteratorRef)
PLIM_ATE_COUNTING(TextLineRef)
PLIM_ATE_COUNTING(TextLinesIteratorRef)
PLIM_ATE_COUNTING(ParagraphRef)
PLIM_ATE_COUNTING(ParagraphsIteratorRef)
PLIM_ATE_COUNTING(CharFeaturesRef)
PLIM_ATE_COUNTING(ParaFeaturesRef)
PLIM_ATE_COUNTING(CharStyleRef)
PLIM_ATE_COUNTING(ParaStyleRef)
PLIM_ATE_COUNTING(CharStylesRef)
PLIM_ATE_COUNTING(ParaStylesRef)
PLIM_ATE_COUNTING(CharStylesIteratorRef)
PLIM_ATE_COUNTING(ParaStylesIteratorRef)
PLIM_ATE_COUNTING(DocumentTextResourcesRef)
PLIM_ATE_COUNTING(FontRef)
PLIM_ATE_COUNTING(ApplicationPaintRef)
#undef PLIM_ATE_COUNTING

// One counted reference.
template <typename Ref>
class Counted {
public:
    Counted() = default;
    // Takes over the count the reference carries.
    explicit Counted(Ref reference) : fRef(reference) {}
    Counted(const Counted& other) : fRef(other.fRef) {
        if (fRef != nullptr) {
            AddRefOf(fRef);
        }
    }
    Counted(Counted&& other) noexcept : fRef(other.fRef) { other.fRef = nullptr; }
    Counted& operator=(Counted other) noexcept {
        std::swap(fRef, other.fRef);
        return *this;
    }
    ~Counted() {
        if (fRef != nullptr) {
            try {
                ReleaseOf(fRef);
            } catch (...) {
                // A reference the engine no longer knows has nothing to give back.
            }
        }
    }

    Ref GetRef() const { return fRef; }
    bool IsNull() const { return fRef == nullptr; }
    // Gives up the count without giving it back: the caller holds it now.
    Ref Detach() {
        Ref reference = fRef;
        fRef = nullptr;
        return reference;
    }

protected:
    Ref fRef = nullptr;
};

class IStory;
class ITextFrame;
class ITextFramesIterator;
class IParagraphsIterator;
class ITextLinesIterator;
class ICharFeatures;
class IParaFeatures;
class ICharStyles;
class IParaStyles;

class IFont : public Counted<FontRef> {
public:
    using Counted::Counted;
};

class IApplicationPaint : public Counted<ApplicationPaintRef> {
public:
    using Counted::Counted;
};

class ITextRange : public Counted<TextRangeRef> {
public:
    using Counted::Counted;
    ITextRange Clone() const;
    ASInt32 GetStart() const;
    void SetStart(ASInt32 start);
    ASInt32 GetEnd() const;
    void SetEnd(ASInt32 end);
    void SetRange(ASInt32 start, ASInt32 end);
    ASInt32 GetSize() const;
    // Copies up to maxLength units into the buffer; answers how many.
    ASInt32 GetContents(ASUnicode* text, ASInt32 maxLength) const;
    void InsertAfter(const ASUnicode* text, ASInt32 length);
    void Remove();
    IStory GetStory() const;
    IParagraphsIterator GetParagraphs() const;
    ITextFramesIterator GetTextFrames() const;
    ICharFeatures GetUniqueCharFeatures() const;
    ICharFeatures GetUniqueLocalCharFeatures() const;
    IParaFeatures GetUniqueParaFeatures() const;
    IParaFeatures GetUniqueLocalParaFeatures() const;
    void SetLocalCharFeatures(const ICharFeatures& features);
    void ReplaceOrAddLocalCharFeatures(const ICharFeatures& features);
    void ClearLocalCharFeatures();
    void SetLocalParaFeatures(const IParaFeatures& features);
    void ReplaceOrAddLocalParaFeatures(const IParaFeatures& features);
    void ClearLocalParaFeatures();
    ICharStyles GetNamedCharStyles() const;
    IParaStyles GetNamedParaStyles() const;
    void SetNamedCharStyle(const ASUnicode* name);
    void SetNamedParaStyle(const ASUnicode* name);
};

class IStory : public Counted<StoryRef> {
public:
    using Counted::Counted;
    ITextRange GetTextRange() const;
    ITextRange GetTextRange(ASInt32 start, ASInt32 end) const;
    ASInt32 GetFrameCount() const;
    ITextFrame GetFrame(ASInt32 index) const;
    void SuspendReflow();
    void ResumeReflow();
};

class ITextFrame : public Counted<TextFrameRef> {
public:
    using Counted::Counted;
    ITextRange GetTextRange(bool includeOverflow = true) const;
    IStory GetStory() const;
    ITextLinesIterator GetTextLinesIterator() const;
    ASInt32 GetStoryDirection() const;
    void SetStoryDirection(ASInt32 direction);
};

class ITextLine : public Counted<TextLineRef> {
public:
    using Counted::Counted;
    ITextRange GetTextRange() const;
};

class IParagraph : public Counted<ParagraphRef> {
public:
    using Counted::Counted;
    ITextRange GetTextRange() const;
};

// An iterator over items of one kind.
template <typename Ref, typename Item>
class Iterator : public Counted<Ref> {
public:
    using Counted<Ref>::Counted;
    bool IsNotDone() const;
    bool IsDone() const { return !IsNotDone(); }
    bool IsEmpty() const;
    void Next();
    Item GetItem() const;
};

class ITextFramesIterator : public Iterator<TextFramesIteratorRef, ITextFrame> {
public:
    using Iterator::Iterator;
    ITextFrame Item() const { return GetItem(); }
};
class ITextLinesIterator : public Iterator<TextLinesIteratorRef, ITextLine> {
public:
    using Iterator::Iterator;
    ITextLine Item() const { return GetItem(); }
};
class IParagraphsIterator : public Iterator<ParagraphsIteratorRef, IParagraph> {
public:
    using Iterator::Iterator;
    IParagraph Item() const { return GetItem(); }
};

class ICharFeatures : public Counted<CharFeaturesRef> {
public:
    // New features with nothing assigned.
    ICharFeatures();
    explicit ICharFeatures(CharFeaturesRef reference) : Counted(reference) {}
    ICharFeatures Clone() const;
    IFont GetFont(bool* isAssigned) const;
    void SetFont(const IFont& font);
    IApplicationPaint GetFillColor(bool* isAssigned) const;
    void SetFillColor(const IApplicationPaint& paint);
    IApplicationPaint GetStrokeColor(bool* isAssigned) const;
    void SetStrokeColor(const IApplicationPaint& paint);
#define PLIM_ATE_CHAR_METHODS(Name, type)   \
    type Get##Name(bool* isAssigned) const; \
    void Set##Name(type value);             \
    void Clear##Name();
    PLIM_ATE_CHAR_VALUES(PLIM_ATE_CHAR_METHODS)
#undef PLIM_ATE_CHAR_METHODS
};

class IParaFeatures : public Counted<ParaFeaturesRef> {
public:
    IParaFeatures();
    explicit IParaFeatures(ParaFeaturesRef reference) : Counted(reference) {}
    IParaFeatures Clone() const;
    ICharFeatures GetDefaultCharFeatures(bool* isAssigned) const;
    void SetDefaultCharFeatures(const ICharFeatures& features);
#define PLIM_ATE_PARA_METHODS(Name, type)   \
    type Get##Name(bool* isAssigned) const; \
    void Set##Name(type value);             \
    void Clear##Name();
    PLIM_ATE_PARA_VALUES(PLIM_ATE_PARA_METHODS)
#undef PLIM_ATE_PARA_METHODS
};

class ICharStyle : public Counted<CharStyleRef> {
public:
    using Counted::Counted;
    ASInt32 GetName(ASUnicode* name, ASInt32 maxLength) const;
    ICharFeatures GetFeatures() const;
    void SetFeatures(const ICharFeatures& features);
    void ReplaceOrAddFeatures(const ICharFeatures& features);
};

class IParaStyle : public Counted<ParaStyleRef> {
public:
    using Counted::Counted;
    ASInt32 GetName(ASUnicode* name, ASInt32 maxLength) const;
    IParaFeatures GetFeatures() const;
    void SetFeatures(const IParaFeatures& features);
    void ReplaceOrAddFeatures(const IParaFeatures& features);
};

class ICharStyles : public Counted<CharStylesRef> {
public:
    using Counted::Counted;
    ASInt32 GetSize() const;
    bool IsEmpty() const;
};

class IParaStyles : public Counted<ParaStylesRef> {
public:
    using Counted::Counted;
    ASInt32 GetSize() const;
    bool IsEmpty() const;
};

class ICharStylesIterator : public Iterator<CharStylesIteratorRef, ICharStyle> {
public:
    using Iterator::Iterator;
    explicit ICharStylesIterator(const ICharStyles& styles);
    ICharStyle Item() const { return GetItem(); }
};

class IParaStylesIterator : public Iterator<ParaStylesIteratorRef, IParaStyle> {
public:
    using Iterator::Iterator;
    explicit IParaStylesIterator(const IParaStyles& styles);
    IParaStyle Item() const { return GetItem(); }
};

class IDocumentTextResources : public Counted<DocumentTextResourcesRef> {
public:
    using Counted::Counted;
    // A null style when the document has none of that name.
    ICharStyle GetCharStyle(const ASUnicode* name) const;
    IParaStyle GetParaStyle(const ASUnicode* name) const;
    ICharStyle CreateCharStyleWithFeatures(const ASUnicode* name, const ICharFeatures& features);
    IParaStyle CreateParaStyleWithFeatures(const ASUnicode* name, const IParaFeatures& features);
};

}  // namespace ATE
