// The text engine's features, named styles, document resources, fonts and paints, and the
// application's suites over them: fonts, paints and the bounds of text.
#include <algorithm>
#include <cstring>

#include "AIATEPaint.h"
#include "AIATETextUtil.h"
#include "AIFont.h"
#include "suites/DocumentAccess.h"
#include "suites/HostSuites.h"
#include "suites/StyleHandles.h"
#include "suites/SuiteBoundary.h"
#include "suites/TextEngineAccess.h"
#include "textengine/Fonts.h"
#include "textengine/Layout.h"
#include "textengine/TextEngine.h"

namespace host {

namespace {

template <typename T>
struct SuiteValueOf {
    using type = T;
};
template <>
struct SuiteValueOf<int> {
    using type = ASInt32;
};

// A query of whether a feature is assigned and what it holds: the object is found and both outputs
// checked first, and on any error both are cleared; read(state, object, assigned, out) answers.
template <typename Object, typename Ref, typename Out, typename Read>
ATEErr ReadAssigned(Ref reference, std::string_view operation, bool* assigned, Out* out, Read read) {
    auto [state, object, error] = OpenTextObject<Object>(reference, operation);
    if (error == kNoError && (assigned == nullptr || out == nullptr)) {
        error = kBadParameterErr;
    }
    if (error != kNoError) {
        Refuse(assigned, error);
        return Refuse(out, error);
    }
    read(*state, *object, *assigned, *out);
    return kNoError;
}

// Sets a feature from another object of the engine (a font, a paint, features): both must be
// found; apply(object, given) changes the object.
template <typename Object, typename Given, typename Ref, typename Apply>
ATEErr SetFromObject(Ref reference, std::string_view operation, const void* given, Apply apply) {
    auto [state, object, error] = OpenTextObject<Object>(reference, operation);
    if (error != kNoError) {
        return error;
    }
    const Given* found = TextObjectOf<Given>(*state, given);
    if (found == nullptr) {
        return kBadParameterErr;
    }
    apply(*object, *found);
    return kNoError;
}

// Reads one feature: assigned when the features hold a value.
template <typename Object, typename Ref, typename Features, typename T, typename Out>
ATEErr GetValue(Ref reference, std::string_view operation, bool* assigned, Out* out,
                std::optional<T> Features::*member) {
    return ReadAssigned<Object>(reference, operation, assigned, out,
                                [member](HostState&, const Object& object, bool& isAssigned, Out& result) {
                                    const std::optional<T>& value = object.features.*member;
                                    isAssigned = value.has_value();
                                    result = value ? static_cast<Out>(*value) : Out{};
                                });
}

// Sets one feature when the value keeps the feature's rule.
template <typename Object, typename Ref, typename Features, typename T, typename In>
ATEErr SetValue(Ref reference, std::string_view operation, In value, std::optional<T> Features::*member,
                model::FeatureRule rule) {
    auto [state, object, error] = OpenTextObject<Object>(reference, operation);
    if (error != kNoError) {
        return error;
    }
    if (!model::accepts(rule, static_cast<T>(value))) {
        return kBadParameterErr;
    }
    object->features.*member = static_cast<T>(value);
    return kNoError;
}

template <typename Object, typename Ref, typename Features, typename T>
ATEErr ClearValue(Ref reference, std::string_view operation, std::optional<T> Features::*member) {
    auto [state, object, error] = OpenTextObject<Object>(reference, operation);
    if (error == kNoError) {
        (object->features.*member).reset();
    }
    return error;
}

template <typename Ref, typename Object>
ATEErr Initialize(Ref* features) {
    auto [state, error] = StartOperation(kTextSuiteOf<Object>, "Initialize");
    return error != kNoErr ? Refuse(features, error) : Answer(*state, features, Object{});
}

template <typename Ref, typename Object>
ATEErr Clone(Ref reference, Ref* copy) {
    auto [state, object, error] = OpenTextObject<Object>(reference, "Clone");
    return error != kNoError ? Refuse(copy, error) : Answer(*state, copy, *object);
}

}  // namespace

// --- Character features ---------------------------------------------------------------------------

namespace charfeatures {

using Object = CharFeaturesObject;

#define PLIM_TEXT_CHAR_OPS(Name, member, T, rule)                                                          \
    ATEErr Get##Name(CharFeaturesRef reference, bool* assigned, SuiteValueOf<T>::type* value) {            \
        return GetValue<Object>(reference, "Get" #Name, assigned, value, &model::CharFeatures::member);    \
    }                                                                                                      \
    ATEErr Set##Name(CharFeaturesRef reference, SuiteValueOf<T>::type value) {                             \
        return SetValue<Object>(reference, "Set" #Name, value, &model::CharFeatures::member, model::rule); \
    }                                                                                                      \
    ATEErr Clear##Name(CharFeaturesRef reference) {                                                        \
        return ClearValue<Object>(reference, "Clear" #Name, &model::CharFeatures::member);                 \
    }
PLIM_TEXT_CHAR_VALUES(PLIM_TEXT_CHAR_OPS)
#undef PLIM_TEXT_CHAR_OPS

ATEErr GetFont(CharFeaturesRef reference, bool* assigned, FontRef* font) {
    return ReadAssigned<Object>(
        reference, "GetFont", assigned, font,
        [](HostState& state, const Object& object, bool& isAssigned, FontRef& out) {
            const std::optional<std::size_t> face =
                text::FontList::Installed().IndexOf(object.features.font.value_or(std::string()));
            isAssigned = face.has_value();
            out = face ? HandOut<FontRef>(state, FontObject{*face}) : nullptr;
        });
}

ATEErr SetFont(CharFeaturesRef reference, FontRef font) {
    return SetFromObject<Object, FontObject>(
        reference, "SetFont", font, [](Object& object, const FontObject& face) {
            object.features.font = text::FontList::Installed().Faces().at(face.face).names.postScript;
        });
}

// A fill or stroke that is off reads as a paint without colour.
ATEErr GetPaint(CharFeaturesRef reference, std::string_view operation, bool* assigned,
                ApplicationPaintRef* paint, bool fill) {
    return ReadAssigned<Object>(
        reference, operation, assigned, paint,
        [fill](HostState& state, const Object& object, bool& isAssigned, ApplicationPaintRef& out) {
            const std::optional<bool>& on = fill ? object.features.fill : object.features.stroke;
            const std::optional<model::TextColor>& color =
                fill ? object.features.fillColor : object.features.strokeColor;
            isAssigned = (on && !*on) || color.has_value();
            out = isAssigned ? HandOut<ApplicationPaintRef>(
                                   state, PaintObject{on && !*on ? model::TextColor::none() : *color})
                             : nullptr;
        });
}

ATEErr SetPaint(CharFeaturesRef reference, std::string_view operation, ApplicationPaintRef paint, bool fill) {
    return SetFromObject<Object, PaintObject>(
        reference, operation, paint, [fill](Object& object, const PaintObject& given) {
            (fill ? object.features.fillColor : object.features.strokeColor) = given.color;
            if (!given.color.paints()) {
                (fill ? object.features.fill : object.features.stroke) = false;
            }
        });
}

ATEErr GetFillColor(CharFeaturesRef reference, bool* assigned, ApplicationPaintRef* paint) {
    return GetPaint(reference, "GetFillColor", assigned, paint, true);
}
ATEErr SetFillColor(CharFeaturesRef reference, ApplicationPaintRef paint) {
    return SetPaint(reference, "SetFillColor", paint, true);
}
ATEErr GetStrokeColor(CharFeaturesRef reference, bool* assigned, ApplicationPaintRef* paint) {
    return GetPaint(reference, "GetStrokeColor", assigned, paint, false);
}
ATEErr SetStrokeColor(CharFeaturesRef reference, ApplicationPaintRef paint) {
    return SetPaint(reference, "SetStrokeColor", paint, false);
}

}  // namespace charfeatures

#define PLIM_TEXT_CHAR_FIELDS(Name, member, type, rule)             \
    PLIM_SUITE_FUNCTION_AS(Get##Name, charfeatures::Get##Name),     \
        PLIM_SUITE_FUNCTION_AS(Set##Name, charfeatures::Set##Name), \
        PLIM_SUITE_FUNCTION_AS(Clear##Name, charfeatures::Clear##Name),

ATECharFeaturesSuite gCharFeaturesSuite = {
    PLIM_SUITE_FUNCTION_AS(Initialize, (&Initialize<CharFeaturesRef, CharFeaturesObject>)),
    PLIM_SUITE_FUNCTION_AS(AddRef, (&AddTextRef<CharFeaturesRef, CharFeaturesObject>)),
    PLIM_SUITE_FUNCTION_AS(Release, (&ReleaseTextRef<CharFeaturesRef, CharFeaturesObject>)),
    PLIM_SUITE_FUNCTION_AS(Clone, (&Clone<CharFeaturesRef, CharFeaturesObject>)),
    PLIM_SUITE_FUNCTION_AS(GetFont, charfeatures::GetFont),
    PLIM_SUITE_FUNCTION_AS(SetFont, charfeatures::SetFont),
    PLIM_SUITE_FUNCTION_AS(GetFillColor, charfeatures::GetFillColor),
    PLIM_SUITE_FUNCTION_AS(SetFillColor, charfeatures::SetFillColor),
    PLIM_SUITE_FUNCTION_AS(GetStrokeColor, charfeatures::GetStrokeColor),
    PLIM_SUITE_FUNCTION_AS(SetStrokeColor, charfeatures::SetStrokeColor),
    PLIM_TEXT_CHAR_VALUES(PLIM_TEXT_CHAR_FIELDS)};
#undef PLIM_TEXT_CHAR_FIELDS

// --- Paragraph features ---------------------------------------------------------------------------

namespace parafeatures {

using Object = ParaFeaturesObject;

#define PLIM_TEXT_PARA_OPS(Name, member, T, rule)                                                          \
    ATEErr Get##Name(ParaFeaturesRef reference, bool* assigned, SuiteValueOf<T>::type* value) {            \
        return GetValue<Object>(reference, "Get" #Name, assigned, value, &model::ParaFeatures::member);    \
    }                                                                                                      \
    ATEErr Set##Name(ParaFeaturesRef reference, SuiteValueOf<T>::type value) {                             \
        return SetValue<Object>(reference, "Set" #Name, value, &model::ParaFeatures::member, model::rule); \
    }                                                                                                      \
    ATEErr Clear##Name(ParaFeaturesRef reference) {                                                        \
        return ClearValue<Object>(reference, "Clear" #Name, &model::ParaFeatures::member);                 \
    }
PLIM_TEXT_PARA_VALUES(PLIM_TEXT_PARA_OPS)
#undef PLIM_TEXT_PARA_OPS

ATEErr GetDefaultCharFeatures(ParaFeaturesRef reference, bool* assigned, CharFeaturesRef* defaults) {
    return ReadAssigned<Object>(
        reference, "GetDefaultCharFeatures", assigned, defaults,
        [](HostState& state, const Object& object, bool& isAssigned, CharFeaturesRef& out) {
            isAssigned = object.features.defaultChar.has_value();
            out = isAssigned
                      ? HandOut<CharFeaturesRef>(state, CharFeaturesObject{*object.features.defaultChar})
                      : nullptr;
        });
}

ATEErr SetDefaultCharFeatures(ParaFeaturesRef reference, CharFeaturesRef defaults) {
    return SetFromObject<Object, CharFeaturesObject>(reference, "SetDefaultCharFeatures", defaults,
                                                     [](Object& object, const CharFeaturesObject& given) {
                                                         object.features.defaultChar = given.features;
                                                     });
}

}  // namespace parafeatures

#define PLIM_TEXT_PARA_FIELDS(Name, member, type, rule)             \
    PLIM_SUITE_FUNCTION_AS(Get##Name, parafeatures::Get##Name),     \
        PLIM_SUITE_FUNCTION_AS(Set##Name, parafeatures::Set##Name), \
        PLIM_SUITE_FUNCTION_AS(Clear##Name, parafeatures::Clear##Name),

ATEParaFeaturesSuite gParaFeaturesSuite = {
    PLIM_SUITE_FUNCTION_AS(Initialize, (&Initialize<ParaFeaturesRef, ParaFeaturesObject>)),
    PLIM_SUITE_FUNCTION_AS(AddRef, (&AddTextRef<ParaFeaturesRef, ParaFeaturesObject>)),
    PLIM_SUITE_FUNCTION_AS(Release, (&ReleaseTextRef<ParaFeaturesRef, ParaFeaturesObject>)),
    PLIM_SUITE_FUNCTION_AS(Clone, (&Clone<ParaFeaturesRef, ParaFeaturesObject>)),
    PLIM_SUITE_FUNCTION_AS(GetDefaultCharFeatures, parafeatures::GetDefaultCharFeatures),
    PLIM_SUITE_FUNCTION_AS(SetDefaultCharFeatures, parafeatures::SetDefaultCharFeatures),
    PLIM_TEXT_PARA_VALUES(PLIM_TEXT_PARA_FIELDS)};
#undef PLIM_TEXT_PARA_FIELDS

// --- Named styles ---------------------------------------------------------------------------------

namespace styles {

// What the two kinds of style differ in.
template <typename StyleObject>
struct Kind;
template <>
struct Kind<CharStyleObject> {
    static constexpr const char* kName = "character";  // in journal entries
    using FeaturesObject = CharFeaturesObject;
    using FeaturesRef = CharFeaturesRef;
    static const model::CharFeatures* Find(const model::TextStyles& styles, std::string_view name) {
        return styles.charStyle(name);
    }
    static model::Status Set(model::TextStyles& styles, std::string_view name, model::CharFeatures features) {
        return styles.setCharStyle(name, std::move(features));
    }
};
template <>
struct Kind<ParaStyleObject> {
    static constexpr const char* kName = "paragraph";
    using FeaturesObject = ParaFeaturesObject;
    using FeaturesRef = ParaFeaturesRef;
    static const model::ParaFeatures* Find(const model::TextStyles& styles, std::string_view name) {
        return styles.paraStyle(name);
    }
    static model::Status Set(model::TextStyles& styles, std::string_view name, model::ParaFeatures features) {
        return styles.setParaStyle(name, std::move(features));
    }
};

// The document's styles when the style object belongs to the current document.
template <typename StyleObject>
struct StyleStart {
    HostState* state;
    StyleObject* style;
    model::Document* document;
    ATEErr error;
};

template <typename StyleObject>
StyleStart<StyleObject> OpenStyle(const void* reference, std::string_view operation) {
    auto [state, style, error] = OpenTextObject<StyleObject>(reference, operation);
    if (error != kNoError) {
        return {state, nullptr, nullptr, error};
    }
    model::Document* document = state->documents.current.get();
    if (document == nullptr) {
        return {state, nullptr, nullptr, kTextNoDocumentErr};
    }
    const bool known = style->document == state->documents.handle &&
                       Kind<StyleObject>::Find(document->textStyles(), style->name) != nullptr;
    return {state, style, document, known ? kNoError : kBadParameterErr};
}

template <typename Ref, typename StyleObject>
ATEErr GetName(Ref reference, ASUnicode* name, ASInt32 maxLength, ASInt32* copied) {
    auto [state, style, document, error] = OpenStyle<StyleObject>(reference, "GetName");
    if ((error = OutputError(error, copied)) != kNoError || maxLength < 0 ||
        (name == nullptr && maxLength > 0)) {
        return Refuse(copied, error != kNoError ? error : kBadParameterErr);
    }
    const std::u16string units = text::DecodeUTF8(style->name);
    const std::size_t count = std::min(units.size(), static_cast<std::size_t>(maxLength));
    std::copy_n(units.begin(), count, name);
    *copied = static_cast<ASInt32>(count);
    return kNoError;
}

template <typename Ref, typename StyleObject>
ATEErr GetFeatures(Ref reference, typename Kind<StyleObject>::FeaturesRef* features) {
    auto [state, style, document, error] = OpenStyle<StyleObject>(reference, "GetFeatures");
    if (error != kNoError) {
        return Refuse(features, error);
    }
    using FeaturesObject = typename Kind<StyleObject>::FeaturesObject;
    return Answer(*state, features,
                  FeaturesObject{*Kind<StyleObject>::Find(document->textStyles(), style->name)});
}

// Sets or merges the features of a named style; every story reflows.
template <typename StyleObject, bool kMerge>
ATEErr ChangeStyle(const StyleStart<StyleObject>& start, typename Kind<StyleObject>::FeaturesRef given) {
    auto [state, style, document, error] = start;
    using FeaturesObject = typename Kind<StyleObject>::FeaturesObject;
    const FeaturesObject* features = TextObjectOf<FeaturesObject>(*state, given);
    if (features == nullptr) {
        return kBadParameterErr;
    }
    auto changed = features->features;
    if (kMerge) {
        changed = *Kind<StyleObject>::Find(document->textStyles(), style->name);
        changed.overlay(features->features);
    }
    const model::Status status =
        Kind<StyleObject>::Set(document->editTextStyles(), style->name, std::move(changed));
    if (status == model::Status::ok) {
        text::ReflowAll(*document);
    }
    return ErrorFromStatus(status);
}

template <typename Ref, typename StyleObject, bool kMerge>
ATEErr ChangeFeatures(Ref reference, typename Kind<StyleObject>::FeaturesRef given) {
    constexpr const char* kOperation = kMerge ? "ReplaceOrAddFeatures" : "SetFeatures";
    const StyleStart<StyleObject> start = OpenStyle<StyleObject>(reference, kOperation);
    const ATEErr error =
        start.error == kNoError ? ChangeStyle<StyleObject, kMerge>(start, given) : start.error;
    Record(start.state, kOperation,
           {Kind<StyleObject>::kName, start.style == nullptr ? "invalid" : start.style->name}, error);
    return error;
}

template <typename Ref, typename T>
ATEErr GetSize(Ref reference, ASInt32* size) {
    return ReadTextObject<T>(reference, "GetSize", size,
                             [&](const T* styles) { return static_cast<ASInt32>(styles->names.size()); });
}

template <typename Ref, typename T>
ATEErr IsEmpty(Ref reference, bool* empty) {
    return ReadTextObject<T>(reference, "IsEmpty", empty,
                             [&](const T* styles) { return styles->names.empty(); });
}

template <typename ListRef, typename List, typename IteratorRef, typename Iterator>
ATEErr Create(ListRef list, IteratorRef* iterator) {
    auto [state, styles, error] = OpenTextObject<List>(list, "Create");
    return error != kNoError ? Refuse(iterator, error) : Answer(*state, iterator, Iterator{*styles, 0});
}

template <typename Ref, typename T>
ATEErr IsNotDone(Ref reference, bool* notDone) {
    return ReadTextObject<T>(reference, "IsNotDone", notDone, [&](const T* iterator) {
        return iterator->next < iterator->styles.names.size();
    });
}

template <typename Ref, typename T>
ATEErr IteratorIsEmpty(Ref reference, bool* empty) {
    return ReadTextObject<T>(reference, "IsEmpty", empty,
                             [&](const T* iterator) { return iterator->styles.names.empty(); });
}

template <typename Ref, typename T>
ATEErr Next(Ref reference) {
    auto [state, iterator, error] = OpenTextObject<T>(reference, "Next");
    if (error == kNoError && iterator->next >= iterator->styles.names.size()) {
        error = kBadParameterErr;
    }
    if (error == kNoError) {
        ++iterator->next;
    }
    return error;
}

template <typename Ref, typename T, typename ItemRef, typename Item>
ATEErr ItemOf(Ref reference, ItemRef* item) {
    auto [state, iterator, error] = OpenTextObject<T>(reference, "Item");
    if (error == kNoError && iterator->next >= iterator->styles.names.size()) {
        error = kBadParameterErr;
    }
    return error != kNoError
               ? Refuse(item, error)
               : Answer(*state, item,
                        Item{iterator->styles.document, iterator->styles.names[iterator->next]});
}

}  // namespace styles

#define PLIM_TEXT_STYLE_TABLE(Ref, Object)                                                  \
    PLIM_SUITE_FUNCTION_AS(AddRef, (&AddTextRef<Ref, Object>)),                             \
        PLIM_SUITE_FUNCTION_AS(Release, (&ReleaseTextRef<Ref, Object>)),                    \
        PLIM_SUITE_FUNCTION_AS(GetName, (&styles::GetName<Ref, Object>)),                   \
        PLIM_SUITE_FUNCTION_AS(GetFeatures, (&styles::GetFeatures<Ref, Object>)),           \
        PLIM_SUITE_FUNCTION_AS(SetFeatures, (&styles::ChangeFeatures<Ref, Object, false>)), \
        PLIM_SUITE_FUNCTION_AS(ReplaceOrAddFeatures, (&styles::ChangeFeatures<Ref, Object, true>))

ATECharStyleSuite gCharStyleSuite = {PLIM_TEXT_STYLE_TABLE(CharStyleRef, CharStyleObject)};
ATEParaStyleSuite gParaStyleSuite = {PLIM_TEXT_STYLE_TABLE(ParaStyleRef, ParaStyleObject)};
#undef PLIM_TEXT_STYLE_TABLE

#define PLIM_TEXT_STYLES_TABLE(Ref, Object)                               \
    PLIM_SUITE_FUNCTION_AS(AddRef, (&AddTextRef<Ref, Object>)),           \
        PLIM_SUITE_FUNCTION_AS(Release, (&ReleaseTextRef<Ref, Object>)),  \
        PLIM_SUITE_FUNCTION_AS(GetSize, (&styles::GetSize<Ref, Object>)), \
        PLIM_SUITE_FUNCTION_AS(IsEmpty, (&styles::IsEmpty<Ref, Object>))

ATECharStylesSuite gCharStylesSuite = {PLIM_TEXT_STYLES_TABLE(CharStylesRef, CharStylesObject)};
ATEParaStylesSuite gParaStylesSuite = {PLIM_TEXT_STYLES_TABLE(ParaStylesRef, ParaStylesObject)};
#undef PLIM_TEXT_STYLES_TABLE

#define PLIM_TEXT_STYLES_ITERATOR_TABLE(ListRef, List, Ref, Object, ItemRef, ItemObject) \
    PLIM_SUITE_FUNCTION_AS(Create, (&styles::Create<ListRef, List, Ref, Object>)),       \
        PLIM_SUITE_FUNCTION_AS(AddRef, (&AddTextRef<Ref, Object>)),                      \
        PLIM_SUITE_FUNCTION_AS(Release, (&ReleaseTextRef<Ref, Object>)),                 \
        PLIM_SUITE_FUNCTION_AS(IsNotDone, (&styles::IsNotDone<Ref, Object>)),            \
        PLIM_SUITE_FUNCTION_AS(IsEmpty, (&styles::IteratorIsEmpty<Ref, Object>)),        \
        PLIM_SUITE_FUNCTION_AS(Next, (&styles::Next<Ref, Object>)),                      \
        PLIM_SUITE_FUNCTION_AS(Item, (&styles::ItemOf<Ref, Object, ItemRef, ItemObject>))

ATECharStylesIteratorSuite gCharStylesIteratorSuite = {
    PLIM_TEXT_STYLES_ITERATOR_TABLE(CharStylesRef, CharStylesObject, CharStylesIteratorRef,
                                    CharStylesIteratorObject, CharStyleRef, CharStyleObject)};
ATEParaStylesIteratorSuite gParaStylesIteratorSuite = {
    PLIM_TEXT_STYLES_ITERATOR_TABLE(ParaStylesRef, ParaStylesObject, ParaStylesIteratorRef,
                                    ParaStylesIteratorObject, ParaStyleRef, ParaStyleObject)};
#undef PLIM_TEXT_STYLES_ITERATOR_TABLE

// --- Document text resources ----------------------------------------------------------------------

namespace resources {

struct ResourcesStart {
    HostState* state;
    model::Document* document;
    ATEErr error;
};

ResourcesStart OpenResources(DocumentTextResourcesRef reference, std::string_view operation) {
    auto [state, resources, error] = OpenTextObject<TextResourcesObject>(reference, operation);
    if (error != kNoError) {
        return {state, nullptr, error};
    }
    model::Document* document = state->documents.current.get();
    if (document == nullptr) {
        return {state, nullptr, kTextNoDocumentErr};
    }
    return {state, document, resources->document == state->documents.handle ? kNoError : kBadParameterErr};
}

template <typename StyleRef, typename StyleObject>
ATEErr GetStyle(DocumentTextResourcesRef reference, const ASUnicode* name, StyleRef* style) {
    auto [state, document, error] = OpenResources(reference, "GetStyle");
    const std::optional<std::string> text = NameText(name);
    if ((error = OutputError(error, style)) != kNoError || !text) {
        return Refuse(style, error != kNoError ? error : kBadParameterErr);
    }
    *style = styles::Kind<StyleObject>::Find(document->textStyles(), *text) == nullptr
                 ? nullptr
                 : HandOut<StyleRef>(*state, StyleObject{state->documents.handle, *text});
    return kNoError;
}

template <typename StyleRef, typename StyleObject>
ATEErr CreateStyle(DocumentTextResourcesRef reference, const ASUnicode* name,
                   typename styles::Kind<StyleObject>::FeaturesRef features, StyleRef* style) {
    auto [state, document, error] = OpenResources(reference, "CreateStyleWithFeatures");
    const std::optional<std::string> text = NameText(name);
    using FeaturesObject = typename styles::Kind<StyleObject>::FeaturesObject;
    const FeaturesObject* given = state == nullptr ? nullptr : TextObjectOf<FeaturesObject>(*state, features);
    if ((error = OutputError(error, style)) == kNoError &&
        (!text || given == nullptr ||
         styles::Kind<StyleObject>::Find(document->textStyles(), *text) != nullptr)) {
        error = kBadParameterErr;
    }
    if (error == kNoError) {
        error = ErrorFromStatus(
            styles::Kind<StyleObject>::Set(document->editTextStyles(), *text, given->features));
    }
    Record(state, "CreateStyleWithFeatures", {styles::Kind<StyleObject>::kName, text.value_or("invalid")},
           error);
    return error != kNoError ? Refuse(style, error)
                             : Answer(*state, style, StyleObject{state->documents.handle, *text});
}

}  // namespace resources

ATEDocumentTextResourcesSuite gDocumentTextResourcesSuite = {
    PLIM_SUITE_FUNCTION_AS(AddRef, (&AddTextRef<DocumentTextResourcesRef, TextResourcesObject>)),
    PLIM_SUITE_FUNCTION_AS(Release, (&ReleaseTextRef<DocumentTextResourcesRef, TextResourcesObject>)),
    PLIM_SUITE_FUNCTION_AS(GetCharStyle, (&resources::GetStyle<CharStyleRef, CharStyleObject>)),
    PLIM_SUITE_FUNCTION_AS(GetParaStyle, (&resources::GetStyle<ParaStyleRef, ParaStyleObject>)),
    PLIM_SUITE_FUNCTION_AS(CreateCharStyleWithFeatures,
                           (&resources::CreateStyle<CharStyleRef, CharStyleObject>)),
    PLIM_SUITE_FUNCTION_AS(CreateParaStyleWithFeatures,
                           (&resources::CreateStyle<ParaStyleRef, ParaStyleObject>)),
};

ATEFontSuite gEngineFontSuite = {
    PLIM_SUITE_FUNCTION_AS(AddRef, (&AddTextRef<FontRef, FontObject>)),
    PLIM_SUITE_FUNCTION_AS(Release, (&ReleaseTextRef<FontRef, FontObject>)),
};

ATEApplicationPaintSuite gApplicationPaintSuite = {
    PLIM_SUITE_FUNCTION_AS(AddRef, (&AddTextRef<ApplicationPaintRef, PaintObject>)),
    PLIM_SUITE_FUNCTION_AS(Release, (&ReleaseTextRef<ApplicationPaintRef, PaintObject>)),
};

// --- The font suite -------------------------------------------------------------------------------

namespace fonts {

constexpr const char* kSuite = kAIFontSuite;

// Keys are the fonts' places in the list plus one, so that no key is null.
const text::FontFace* FaceOf(AIFontKey font) {
    const auto number = reinterpret_cast<std::uintptr_t>(font);
    const auto& faces = text::FontList::Installed().Faces();
    return number == 0 || number > faces.size() ? nullptr : &faces[number - 1];
}

AIFontKey KeyOf(std::size_t face) {
    return reinterpret_cast<AIFontKey>(face + 1);
}

AIErr CountFonts(ai::int32* count) {
    auto [state, error] = StartOperation(kSuite, "CountFonts");
    if ((error = OutputError(error, count)) != kNoErr) {
        return Refuse(count, error);
    }
    *count = static_cast<ai::int32>(text::FontList::Installed().Faces().size());
    return kNoErr;
}

AIErr IndexFontList(ai::int32 index, AIFontKey* font) {
    auto [state, error] = StartOperation(kSuite, "IndexFontList");
    if ((error = OutputError(error, font)) == kNoErr &&
        (index < 0 || static_cast<std::size_t>(index) >= text::FontList::Installed().Faces().size())) {
        error = kBadParameterErr;
    }
    if (error != kNoErr) {
        return Refuse(font, error);
    }
    *font = KeyOf(static_cast<std::size_t>(index));
    return kNoErr;
}

AIErr GetFontInfo(AIFontKey font, AIFontInfo* info) {
    auto [state, error] = StartOperation(kSuite, "GetFontInfo");
    if ((error = OutputError(error, info)) == kNoErr && FaceOf(font) == nullptr) {
        error = kBadParameterErr;
    }
    if (error != kNoErr) {
        return Refuse(info, error);
    }
    *info = AIFontInfo{2, static_cast<ai::int32>(reinterpret_cast<std::uintptr_t>(font) - 1)};
    return kNoErr;
}

// An 8-bit name, written with its terminator when it fits.
AIErr CopyName(std::string_view operation, AIFontKey font, char* name, ai::int32 maxLength,
               std::string text::FontNames::*which) {
    auto [state, error] = StartOperation(kSuite, operation);
    const text::FontFace* face = FaceOf(font);
    if (error == kNoErr && (face == nullptr || name == nullptr || maxLength <= 0)) {
        error = kBadParameterErr;
    }
    if (error != kNoErr) {
        return error;
    }
    const std::string& text = face->names.*which;
    if (text.size() + 1 > static_cast<std::size_t>(maxLength)) {
        return kBadParameterErr;
    }
    std::memcpy(name, text.c_str(), text.size() + 1);
    return kNoErr;
}

AIErr GetSystemFontName(AIFontKey font, char* name, ai::int32 maxLength) {
    return CopyName("GetSystemFontName", font, name, maxLength, &text::FontNames::postScript);
}
AIErr GetFullFontName(AIFontKey font, char* name, ai::int32 maxLength) {
    return CopyName("GetFullFontName", font, name, maxLength, &text::FontNames::full);
}
AIErr GetPostScriptFontName(AIFontKey font, char* name, ai::int32 maxLength) {
    return CopyName("GetPostScriptFontName", font, name, maxLength, &text::FontNames::postScript);
}
AIErr GetUserFontUIName(AIFontKey font, char* name, ai::int32 maxLength) {
    return CopyName("GetUserFontUIName", font, name, maxLength, &text::FontNames::full);
}
AIErr GetFontFamilyUIName(AIFontKey font, char* name, ai::int32 maxLength) {
    return CopyName("GetFontFamilyUIName", font, name, maxLength, &text::FontNames::family);
}
AIErr GetFontStyleUIName(AIFontKey font, char* name, ai::int32 maxLength) {
    return CopyName("GetFontStyleUIName", font, name, maxLength, &text::FontNames::style);
}

AIErr UnicodeName(std::string_view operation, AIFontKey font, ai::UnicodeString& name,
                  std::string text::FontNames::*which) {
    auto [state, error] = StartOperation(kSuite, operation);
    const text::FontFace* face = FaceOf(font);
    error = OutputError(error, face);
    if (error != kNoErr) {
        return error;
    }
    SetStringText(*state, name, face->names.*which);
    return kNoErr;
}

AIErr GetFontFamilyNameUnicode(AIFontKey font, ai::UnicodeString& name, AIBoolean native) {
    return UnicodeName("GetFontFamilyNameUnicode", font, name,
                       native ? &text::FontNames::familyNative : &text::FontNames::family);
}
AIErr GetFontStyleNameUnicode(AIFontKey font, ai::UnicodeString& name, AIBoolean native) {
    return UnicodeName("GetFontStyleNameUnicode", font, name,
                       native ? &text::FontNames::styleNative : &text::FontNames::style);
}
AIErr GetFontNameUnicode(AIFontKey font, ai::UnicodeString& name, AIBoolean native) {
    return UnicodeName("GetFontNameUnicode", font, name,
                       native ? &text::FontNames::full : &text::FontNames::postScript);
}

AIErr FontFromFontKey(AIFontKey font, FontRef* engineFont) {
    auto [state, error] = StartOperation(kSuite, "FontFromFontKey");
    if ((error = OutputError(error, engineFont)) == kNoErr && FaceOf(font) == nullptr) {
        error = kBadParameterErr;
    }
    return error != kNoErr
               ? Refuse(engineFont, error)
               : Answer(*state, engineFont, FontObject{reinterpret_cast<std::uintptr_t>(font) - 1});
}

AIErr FontKeyFromFont(FontRef engineFont, AIFontKey* font) {
    auto [state, error] = StartOperation(kSuite, "FontKeyFromFont");
    const FontObject* face = error == kNoErr ? TextObjectOf<FontObject>(*state, engineFont) : nullptr;
    if ((error = OutputError(error, font)) == kNoErr && face == nullptr) {
        error = kBadParameterErr;
    }
    if (error != kNoErr) {
        return Refuse(font, error);
    }
    *font = KeyOf(face->face);
    return kNoErr;
}

}  // namespace fonts

AIFontSuite gFontSuite = {
    PLIM_SUITE_FUNCTION_AS(CountFonts, fonts::CountFonts),
    PLIM_SUITE_FUNCTION_AS(IndexFontList, fonts::IndexFontList),
    PLIM_SUITE_FUNCTION_AS(GetFontInfo, fonts::GetFontInfo),
    PLIM_SUITE_FUNCTION_AS(GetSystemFontName, fonts::GetSystemFontName),
    PLIM_SUITE_FUNCTION_AS(GetFullFontName, fonts::GetFullFontName),
    PLIM_SUITE_FUNCTION_AS(GetPostScriptFontName, fonts::GetPostScriptFontName),
    PLIM_SUITE_FUNCTION_AS(GetUserFontUIName, fonts::GetUserFontUIName),
    PLIM_SUITE_FUNCTION_AS(GetFontFamilyUIName, fonts::GetFontFamilyUIName),
    PLIM_SUITE_FUNCTION_AS(GetFontStyleUIName, fonts::GetFontStyleUIName),
    PLIM_SUITE_FUNCTION_AS(GetFontFamilyNameUnicode, fonts::GetFontFamilyNameUnicode),
    PLIM_SUITE_FUNCTION_AS(GetFontStyleNameUnicode, fonts::GetFontStyleNameUnicode),
    PLIM_SUITE_FUNCTION_AS(GetFontNameUnicode, fonts::GetFontNameUnicode),
    PLIM_SUITE_FUNCTION_AS(FontFromFontKey, fonts::FontFromFontKey),
    PLIM_SUITE_FUNCTION_AS(FontKeyFromFont, fonts::FontKeyFromFont),
};

// --- Paints and the bounds of text ----------------------------------------------------------------

namespace paints {

AIErr GetAIColor(ApplicationPaintRef paint, AIColor* color) {
    auto [state, object, error] = OpenTextObject<PaintObject>(paint, "GetAIColor");
    if ((error = OutputError(error, color)) != kNoErr) {
        return Refuse(color, error);
    }
    *color = ToAIColor(object->color);
    return kNoErr;
}

AIErr CreateATEApplicationPaint(const AIColor* color, ApplicationPaintRef* paint) {
    auto [state, error] = StartOperation(kAIATEPaintSuite, "CreateATEApplicationPaint");
    const std::optional<model::Color> converted = color == nullptr ? std::nullopt : FromAIColor(*color);
    if ((error = OutputError(error, paint)) == kNoErr && !converted) {
        error = kBadParameterErr;
    }
    return error != kNoErr ? Refuse(paint, error) : Answer(*state, paint, PaintObject{*converted});
}

AIErr GetBoundsFromTextRange(TextRangeRef reference, AIRealRect* bounds) {
    auto [state, range, error] = OpenTextObject<TextRangeObject>(reference, "GetBoundsFromTextRange");
    if ((error = OutputError(error, bounds)) != kNoErr) {
        return Refuse(bounds, error);
    }
    const std::optional<text::RangeView> view = text::ViewOf(*state, *range);
    if (!view || view->span.size() == 0) {
        return Refuse(bounds, state->documents.current == nullptr ? kTextNoDocumentErr : kBadParameterErr);
    }
    const text::StoryLayout layout = text::LayOut(*view->document, range->anchor);
    const std::optional<model::Rect> found = text::SpanBounds(*view->document, layout, view->span);
    if (!found) {
        return Refuse(bounds, kInvalidBoundsErr);
    }
    *bounds = AIRealRect{found->left, found->top, found->right, found->bottom};
    return kNoErr;
}

}  // namespace paints

AIATEPaintSuite gATEPaintSuite = {
    PLIM_SUITE_FUNCTION_AS(GetAIColor, paints::GetAIColor),
    PLIM_SUITE_FUNCTION_AS(CreateATEApplicationPaint, paints::CreateATEApplicationPaint),
};

AITextUtilSuite gTextUtilSuite = {
    PLIM_SUITE_FUNCTION_AS(GetBoundsFromTextRange, paints::GetBoundsFromTextRange),
};

}  // namespace host
