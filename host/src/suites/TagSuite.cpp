// The tag suite: named "string" entries on art objects, kept in ascending byte order of their names.
// Texts handed out point into the document and stay valid until the art's entries change.
#include <cstring>
#include <string>

#include "AITag.h"
#include "suites/DocumentAccess.h"
#include "suites/HostSuites.h"
#include "suites/SuiteBoundary.h"

namespace host {
namespace {

constexpr const char* kSuite = kAITagSuite;

// The art's entries to read; null without a document or for an invalid handle.
const model::TagList* TagsOf(const model::Document* document, AIArtHandle art) {
    return document != nullptr ? document->tags(ArtIdOf(art)) : nullptr;
}

bool IsStringType(const char* type) {
    return type != nullptr && std::strcmp(type, kAITagStringType) == 0;
}

AIErr SetTag(AIArtHandle art, const char* name, const char* type, const void* value) {
    auto [state, document, error] = StartDocumentOperation(kSuite, "SetTag");
    const std::string label = ArtLabel(document, art);
    model::TagList* tags = error == kNoErr ? document->editTags(ArtIdOf(art)) : nullptr;
    if (error == kNoErr && (tags == nullptr || name == nullptr || !IsStringType(type) || value == nullptr)) {
        error = kBadParameterErr;
    }
    const char* text = static_cast<const char*>(value);
    if (error == kNoErr) {
        error = ErrorFromStatus(tags->set(name, kAITagStringType, text));
    }
    Record(state, "SetTag", {label, name != nullptr ? name : "", text != nullptr ? text : ""}, error);
    return error;
}

AIErr GetTag(AIArtHandle art, const char* name, const char* type, void* value) {
    auto [state, document, error] = StartDocumentOperation(kSuite, "GetTag");
    const model::TagList* tags = error == kNoErr ? TagsOf(document, art) : nullptr;
    const model::TagEntry* entry = tags != nullptr && name != nullptr ? tags->find(name) : nullptr;
    if (error == kNoErr && (entry == nullptr || entry->type != kAITagStringType || !IsStringType(type))) {
        error = kBadParameterErr;
    }
    if (value == nullptr) {
        return error != kNoErr ? error : kBadParameterErr;
    }
    // A value of another type than "string" is not a text pointer: it is left alone.
    if (IsStringType(type)) {
        *static_cast<const char**>(value) = error == kNoErr ? entry->value.c_str() : nullptr;
    }
    return error;
}

AIErr RemoveTag(AIArtHandle art, const char* name) {
    auto [state, document, error] = StartDocumentOperation(kSuite, "RemoveTag");
    const std::string label = ArtLabel(document, art);
    model::TagList* tags = error == kNoErr ? document->editTags(ArtIdOf(art)) : nullptr;
    if (error == kNoErr && (tags == nullptr || name == nullptr)) {
        error = kBadParameterErr;
    }
    if (error == kNoErr) {
        error = ErrorFromStatus(tags->remove(name));
    }
    Record(state, "RemoveTag", {label, name != nullptr ? name : ""}, error);
    return error;
}

AIErr CountTags(AIArtHandle art, ai::int32* count) {
    auto [state, document, error] = StartDocumentOperation(kSuite, "CountTags");
    const model::TagList* tags = error == kNoErr ? TagsOf(document, art) : nullptr;
    if (error == kNoErr && (tags == nullptr || count == nullptr)) {
        error = kBadParameterErr;
    }
    if (error != kNoErr) {
        return Refuse(count, error);
    }
    *count = static_cast<ai::int32>(tags->size());
    return kNoErr;
}

AIErr GetNthTag(AIArtHandle art, ai::int32 n, const char** name) {
    auto [state, document, error] = StartDocumentOperation(kSuite, "GetNthTag");
    const model::TagList* tags = error == kNoErr ? TagsOf(document, art) : nullptr;
    if (error == kNoErr &&
        (tags == nullptr || name == nullptr || n < 0 || static_cast<std::size_t>(n) >= tags->size())) {
        error = kBadParameterErr;
    }
    if (error != kNoErr) {
        return Refuse(name, error);
    }
    *name = tags->at(static_cast<std::size_t>(n))->name.c_str();
    return kNoErr;
}

}  // namespace

AITagSuite gTagSuite = {
    PLIM_SUITE_FUNCTION(SetTag),    PLIM_SUITE_FUNCTION(GetTag),    PLIM_SUITE_FUNCTION(RemoveTag),
    PLIM_SUITE_FUNCTION(CountTags), PLIM_SUITE_FUNCTION(GetNthTag),
};

}  // namespace host
