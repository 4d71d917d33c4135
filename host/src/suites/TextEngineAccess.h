// What the text-engine suites share: finding a counted object behind a reference, handing new ones
// out, counting them, and the names they take.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <variant>

#include "ATESuites.h"
#include "HostState.h"
#include "suites/SuiteBoundary.h"
#include "textengine/Text.h"

namespace host {

inline constexpr AIErr kTextNoDocumentErr = FourCharCode("DOC?");

// The suite that answers for an object kind (fault injection names operations by their suite).
template <typename T>
constexpr const char* kTextSuiteOf = "";
#define PLIM_TEXT_SUITE_OF(Type, name) \
    template <>                        \
    inline constexpr const char* kTextSuiteOf<Type> = name;
PLIM_TEXT_SUITE_OF(TextRangeObject, "ATE TextRange Suite")
PLIM_TEXT_SUITE_OF(ParagraphObject, "ATE Paragraph Suite")
PLIM_TEXT_SUITE_OF(TextLineObject, "ATE TextLine Suite")
PLIM_TEXT_SUITE_OF(StoryObject, "ATE Story Suite")
PLIM_TEXT_SUITE_OF(TextFrameObject, "ATE TextFrame Suite")
PLIM_TEXT_SUITE_OF(FramesIteratorObject, "ATE TextFramesIterator Suite")
PLIM_TEXT_SUITE_OF(ParagraphsIteratorObject, "ATE ParagraphsIterator Suite")
PLIM_TEXT_SUITE_OF(LinesIteratorObject, "ATE TextLinesIterator Suite")
PLIM_TEXT_SUITE_OF(CharFeaturesObject, "ATE CharFeatures Suite")
PLIM_TEXT_SUITE_OF(ParaFeaturesObject, "ATE ParaFeatures Suite")
PLIM_TEXT_SUITE_OF(CharStyleObject, "ATE CharStyle Suite")
PLIM_TEXT_SUITE_OF(ParaStyleObject, "ATE ParaStyle Suite")
PLIM_TEXT_SUITE_OF(CharStylesObject, "ATE CharStyles Suite")
PLIM_TEXT_SUITE_OF(ParaStylesObject, "ATE ParaStyles Suite")
PLIM_TEXT_SUITE_OF(CharStylesIteratorObject, "ATE CharStylesIterator Suite")
PLIM_TEXT_SUITE_OF(ParaStylesIteratorObject, "ATE ParaStylesIterator Suite")
PLIM_TEXT_SUITE_OF(TextResourcesObject, "ATE DocumentTextResources Suite")
PLIM_TEXT_SUITE_OF(FontObject, "ATE Font Suite")
PLIM_TEXT_SUITE_OF(PaintObject, "ATE ApplicationPaint Suite")
#undef PLIM_TEXT_SUITE_OF

// The object of kind T behind a reference; null for a released, unknown or other kind of object.
template <typename T>
T* TextObjectOf(HostState& state, const void* reference) {
    TextObjectRecord* record = state.textEngine.objects.Find(reference);
    return record == nullptr ? nullptr : std::get_if<T>(&record->object);
}

// A new object with one count.
template <typename Ref, typename T>
Ref HandOut(HostState& state, T object) {
    return state.textEngine.objects.Add<Ref>(TextObjectRecord{std::move(object)});
}

// Hands a new object out through an output.
template <typename Ref, typename T>
ATEErr Answer(HostState& state, Ref* out, T object) {
    if (out == nullptr) {
        return kBadParameterErr;
    }
    *out = HandOut<Ref>(state, std::move(object));
    return kNoError;
}

// The start of an operation on an object: the state, the object (null when error is set) and the
// error to return at once.
template <typename T>
struct TextAccess {
    HostState* state;
    T* object;
    ATEErr error;
};

template <typename T>
TextAccess<T> OpenTextObject(const void* reference, std::string_view operation) {
    auto [state, error] = StartOperation(kTextSuiteOf<T>, operation);
    if (error != kNoErr) {
        return {state, nullptr, error};
    }
    T* object = TextObjectOf<T>(*state, reference);
    return {state, object, object == nullptr ? kBadParameterErr : kNoError};
}

// A query that answers one value read from the object: the object is found and the output checked
// first, and on any error the output is cleared.
template <typename T, typename Out, typename Read>
ATEErr ReadTextObject(const void* reference, std::string_view operation, Out* out, Read read) {
    auto [state, object, error] = OpenTextObject<T>(reference, operation);
    if ((error = OutputError(error, out)) != kNoError) {
        return Refuse(out, error);
    }
    *out = read(object);
    return kNoError;
}

template <typename Ref, typename T>
ATEErr AddTextRef(Ref reference) {
    auto [state, object, error] = OpenTextObject<T>(reference, "AddRef");
    if (error != kNoError) {
        return error;
    }
    ++state->textEngine.objects.Find(reference)->count;
    return kNoError;
}

template <typename Ref, typename T>
ATEErr ReleaseTextRef(Ref reference) {
    auto [state, object, error] = OpenTextObject<T>(reference, "Release");
    if (error != kNoError) {
        return error;
    }
    if (--state->textEngine.objects.Find(reference)->count <= 0) {
        state->textEngine.objects.Remove(reference);
    }
    return kNoError;
}

// A zero-terminated UTF-16 name as UTF-8; none for a null or empty one.
inline std::optional<std::string> NameText(const ASUnicode* name) {
    if (name == nullptr || name[0] == 0) {
        return std::nullopt;
    }
    std::u16string units;
    for (const ASUnicode* unit = name; *unit != 0; ++unit) {
        units.push_back(static_cast<char16_t>(*unit));
    }
    return text::EncodeUTF8(units);
}

}  // namespace host
