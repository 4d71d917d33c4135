// The artboard suite: property records held for the plug-in, and the artboard lists of the open
// documents (model::Document's artboards). Changes to a list are recorded in the journal.
#include <cmath>
#include <string>

#include "AIArtboard.h"
#include "Documents.h"
#include "suites/DocumentAccess.h"
#include "suites/HostSuites.h"
#include "suites/SuiteBoundary.h"

namespace host {
namespace {

constexpr const char* kSuite = kAIArtboardSuite;

// --- Property records ------------------------------------------------------------------------------

// The record behind a handle, after the operation's start; error is set when there is none.
struct RecordStart {
    HostState* state;
    model::Artboard* record;
    AIErr error;
};

RecordStart StartRecordOperation(const char* operation, ArtboardRef properties) {
    auto [state, error] = StartOperation(kSuite, operation);
    if (error != kNoErr) {
        return {state, nullptr, error};
    }
    model::Artboard* record = state->artboards.records.Find(properties);
    return {state, record, record != nullptr ? kNoErr : kBadParameterErr};
}

AIErr Init(ArtboardRef* properties) {
    auto [state, error] = StartOperation(kSuite, "Init");
    error = OutputError(error, properties);
    if (error != kNoErr) {
        return Refuse(properties, error);
    }
    *properties = state->artboards.records.Add<ArtboardRef>(std::make_unique<model::Artboard>());
    return kNoErr;
}

AIErr CloneArtboard(ArtboardRef* copy, ArtboardRef source) {
    auto [state, record, error] = StartRecordOperation("CloneArtboard", source);
    error = OutputError(error, copy);
    if (error != kNoErr) {
        return Refuse(copy, error);
    }
    *copy = state->artboards.records.Add<ArtboardRef>(std::make_unique<model::Artboard>(*record));
    return kNoErr;
}

AIErr Dispose(ArtboardRef properties) {
    auto [state, record, error] = StartRecordOperation("Dispose", properties);
    if (error == kNoErr) {
        state->artboards.records.Remove(properties);
    }
    return error;
}

AIErr GetPosition(ArtboardRef properties, AIRealRect* position) {
    auto [state, record, error] = StartRecordOperation("GetPosition", properties);
    error = OutputError(error, position);
    if (error != kNoErr) {
        return Refuse(position, error);
    }
    *position = {record->bounds.left, record->bounds.top, record->bounds.right, record->bounds.bottom};
    return kNoErr;
}

AIErr SetPosition(ArtboardRef properties, const AIRealRect* position) {
    auto [state, record, error] = StartRecordOperation("SetPosition", properties);
    if (error != kNoErr) {
        return error;
    }
    if (position == nullptr) {
        return kBadParameterErr;
    }
    model::Artboard changed = *record;
    changed.bounds = model::Rect(position->left, position->top, position->right, position->bottom);
    if (!model::isValidArtboard(changed)) {
        return kBadParameterErr;
    }
    *record = changed;
    return kNoErr;
}

AIErr GetName(ArtboardRef properties, ai::UnicodeString& name) {
    auto [state, record, error] = StartRecordOperation("GetName", properties);
    if (error == kNoErr) {
        SetStringText(*state, name, record->name);
    }
    return error;
}

AIErr SetName(ArtboardRef properties, const ai::UnicodeString& name) {
    auto [state, record, error] = StartRecordOperation("SetName", properties);
    if (error != kNoErr) {
        return error;
    }
    const std::optional<std::string> text = StringText(*state, name);
    if (!text) {
        return kBadParameterErr;
    }
    record->name = *text;
    return kNoErr;
}

AIErr GetPAR(ArtboardRef properties, AIReal* ratio) {
    auto [state, record, error] = StartRecordOperation("GetPAR", properties);
    error = OutputError(error, ratio);
    if (error != kNoErr) {
        return Refuse(ratio, error);
    }
    *ratio = record->pixelAspectRatio;
    return kNoErr;
}

AIErr SetPAR(ArtboardRef properties, AIReal ratio) {
    auto [state, record, error] = StartRecordOperation("SetPAR", properties);
    if (error == kNoErr && !(std::isfinite(ratio) && ratio > 0.0)) {
        error = kBadParameterErr;
    }
    if (error == kNoErr) {
        record->pixelAspectRatio = ratio;
    }
    return error;
}

AIErr GetRulerOrigin(ArtboardRef properties, AIRealPoint* origin) {
    auto [state, record, error] = StartRecordOperation("GetRulerOrigin", properties);
    error = OutputError(error, origin);
    if (error != kNoErr) {
        return Refuse(origin, error);
    }
    *origin = {record->rulerOrigin.x, record->rulerOrigin.y};
    return kNoErr;
}

AIErr SetRulerOrigin(ArtboardRef properties, const AIRealPoint* origin) {
    auto [state, record, error] = StartRecordOperation("SetRulerOrigin", properties);
    if (error == kNoErr && (origin == nullptr || !std::isfinite(origin->h) || !std::isfinite(origin->v))) {
        error = kBadParameterErr;
    }
    if (error == kNoErr) {
        record->rulerOrigin = {origin->h, origin->v};
    }
    return error;
}

bool* MarkOf(model::Artboard& artboard, ai::int32 mark) {
    switch (mark) {
        case kAIArtboardCenterMark:
            return &artboard.showCenter;
        case kAIArtboardCrossHairs:
            return &artboard.showCrossHairs;
        case kAIArtboardSafeAreas:
            return &artboard.showSafeAreas;
        default:
            return nullptr;
    }
}

AIErr GetShowDisplayMark(ArtboardRef properties, ai::int32 mark, AIBoolean* show) {
    auto [state, record, error] = StartRecordOperation("GetShowDisplayMark", properties);
    bool* flag = record != nullptr ? MarkOf(*record, mark) : nullptr;
    if (error == kNoErr && (show == nullptr || flag == nullptr)) {
        error = kBadParameterErr;
    }
    if (error != kNoErr) {
        return Refuse(show, error);
    }
    *show = *flag;
    return kNoErr;
}

AIErr SetShowDisplayMark(ArtboardRef properties, ai::int32 mark, AIBoolean show) {
    auto [state, record, error] = StartRecordOperation("SetShowDisplayMark", properties);
    bool* flag = record != nullptr ? MarkOf(*record, mark) : nullptr;
    error = OutputError(error, flag);
    if (error == kNoErr) {
        *flag = show != 0;
    }
    return error;
}

// --- Lists -------------------------------------------------------------------------------------------

// The document of a list, after the operation's start; error is set when the list is unknown or
// its document is no longer open.
struct ListStart {
    HostState* state;
    model::Document* document;
    AIErr error;
};

ListStart StartListOperation(const char* operation, ArtboardListRef list) {
    auto [state, error] = StartOperation(kSuite, operation);
    if (error != kNoErr) {
        return {state, nullptr, error};
    }
    const std::uintptr_t* handle = state->artboards.lists.Find(list);
    model::Document* document = handle != nullptr ? FindOpenDocument(*state, *handle) : nullptr;
    return {state, document, document != nullptr ? kNoErr : kBadParameterErr};
}

bool IsIndexOf(const model::Document& document, ArtboardID index) {
    return index >= 0 && static_cast<std::size_t>(index) < document.artboards().size();
}

AIErr GetArtboardList(ArtboardListRef* list) {
    auto [state, document, error] = StartDocumentOperation(kSuite, "GetArtboardList");
    error = OutputError(error, list);
    if (error != kNoErr) {
        return Refuse(list, error);
    }
    *list = state->artboards.lists.Add<ArtboardListRef>(
        std::make_unique<std::uintptr_t>(state->documents.handle));
    return kNoErr;
}

AIErr ReleaseArtboardList(ArtboardListRef list) {
    auto [state, error] = StartOperation(kSuite, "ReleaseArtboardList");
    if (error == kNoErr && !state->artboards.lists.Remove(list)) {
        error = kBadParameterErr;
    }
    return error;
}

AIErr GetCount(ArtboardListRef list, ArtboardID* count) {
    auto [state, document, error] = StartListOperation("GetCount", list);
    error = OutputError(error, count);
    if (error != kNoErr) {
        return Refuse(count, error);
    }
    *count = static_cast<ArtboardID>(document->artboards().size());
    return kNoErr;
}

AIErr GetActive(ArtboardListRef list, ArtboardID* index) {
    auto [state, document, error] = StartListOperation("GetActive", list);
    error = OutputError(error, index);
    if (error != kNoErr) {
        return Refuse(index, error);
    }
    *index = static_cast<ArtboardID>(document->artboards().activeIndex());
    return kNoErr;
}

AIErr SetActive(ArtboardListRef list, ArtboardID index) {
    auto [state, document, error] = StartListOperation("SetActive", list);
    if (error == kNoErr) {
        error = IsIndexOf(*document, index)
                    ? ErrorFromStatus(document->editArtboards().setActive(static_cast<std::size_t>(index)))
                    : kBadParameterErr;
    }
    Record(state, "SetActiveArtboard", {std::to_string(index)}, error);
    return error;
}

AIErr GetArtboardProperties(ArtboardListRef list, ArtboardID index, ArtboardRef properties) {
    auto [state, document, error] = StartListOperation("GetArtboardProperties", list);
    model::Artboard* record = state != nullptr ? state->artboards.records.Find(properties) : nullptr;
    if (error == kNoErr && (record == nullptr || !IsIndexOf(*document, index))) {
        error = kBadParameterErr;
    }
    if (error == kNoErr) {
        *record = document->artboards()[static_cast<std::size_t>(index)];
    }
    return error;
}

AIErr Update(ArtboardListRef list, ArtboardID index, ArtboardRef properties) {
    auto [state, document, error] = StartListOperation("Update", list);
    const model::Artboard* record = state != nullptr ? state->artboards.records.Find(properties) : nullptr;
    if (error == kNoErr && (record == nullptr || !IsIndexOf(*document, index))) {
        error = kBadParameterErr;
    }
    if (error == kNoErr) {
        error = ErrorFromStatus(document->editArtboards().update(static_cast<std::size_t>(index), *record));
    }
    Record(state, "UpdateArtboard", {std::to_string(index)}, error);
    return error;
}

AIErr Insert(ArtboardListRef list, ArtboardRef properties, ArtboardID* index) {
    auto [state, document, error] = StartListOperation("Insert", list);
    const model::Artboard* record = state != nullptr ? state->artboards.records.Find(properties) : nullptr;
    if (error == kNoErr && (record == nullptr || index == nullptr)) {
        error = kBadParameterErr;
    }
    if (error == kNoErr) {
        const model::Result<std::size_t> inserted = document->editArtboards().insert(*record);
        error = ErrorFromStatus(inserted.status());
        if (inserted) {
            *index = static_cast<ArtboardID>(*inserted);
        }
    }
    Record(state, "InsertArtboard", {}, error);
    return error == kNoErr ? kNoErr : Refuse(index, error);
}

AIErr Delete(ArtboardListRef list, ArtboardID index) {
    auto [state, document, error] = StartListOperation("Delete", list);
    if (error == kNoErr && !IsIndexOf(*document, index)) {
        error = kBadParameterErr;
    }
    if (error == kNoErr) {
        const model::Status status = document->editArtboards().remove(static_cast<std::size_t>(index));
        error = status == model::Status::notAllowed ? kCantHappenErr : ErrorFromStatus(status);
    }
    Record(state, "DeleteArtboard", {std::to_string(index)}, error);
    return error;
}

AIErr InsertAt(ArtboardListRef list, ArtboardRef properties, ArtboardID* index) {
    auto [state, document, error] = StartListOperation("InsertAt", list);
    const model::Artboard* record = state != nullptr ? state->artboards.records.Find(properties) : nullptr;
    if (error == kNoErr && (record == nullptr || index == nullptr)) {
        error = kBadParameterErr;
    }
    const std::string wanted = index != nullptr ? std::to_string(*index) : "null";
    if (error == kNoErr) {
        const std::size_t count = document->artboards().size();
        // A position outside the list means after the last artboard.
        const std::size_t position = *index >= 0 && static_cast<std::size_t>(*index) <= count
                                         ? static_cast<std::size_t>(*index)
                                         : count;
        const model::Result<std::size_t> inserted = document->editArtboards().insertAt(position, *record);
        error = ErrorFromStatus(inserted.status());
        if (inserted) {
            *index = static_cast<ArtboardID>(*inserted);
        }
    }
    Record(state, "InsertArtboardAt", {wanted}, error);
    return error == kNoErr ? kNoErr : Refuse(index, error);
}

AIErr DeleteArtboards(ArtboardListRef list, const ArtboardID* indexes, ai::int32 count) {
    auto [state, document, error] = StartListOperation("DeleteArtboards", list);
    if (error == kNoErr && (count < 0 || (count > 0 && indexes == nullptr))) {
        error = kBadParameterErr;
    }
    std::vector<std::size_t> positions;
    std::string text;
    for (ai::int32 n = 0; error == kNoErr && n < count; ++n) {
        if (indexes[n] < 0) {
            error = kBadParameterErr;
            break;
        }
        positions.push_back(static_cast<std::size_t>(indexes[n]));
        text += (n == 0 ? "" : ",") + std::to_string(indexes[n]);
    }
    if (error == kNoErr) {
        const model::Status status = document->editArtboards().removeMany(std::move(positions));
        error = status == model::Status::notAllowed ? kCantHappenErr : ErrorFromStatus(status);
    }
    Record(state, "DeleteArtboards", {text}, error);
    return error;
}

}  // namespace

AIArtboardSuite gArtboardSuite = {
    PLIM_SUITE_FUNCTION(Init),
    PLIM_SUITE_FUNCTION(CloneArtboard),
    PLIM_SUITE_FUNCTION(Dispose),
    PLIM_SUITE_FUNCTION(GetPosition),
    PLIM_SUITE_FUNCTION(SetPosition),
    PLIM_SUITE_FUNCTION(GetName),
    PLIM_SUITE_FUNCTION(SetName),
    PLIM_SUITE_FUNCTION(GetPAR),
    PLIM_SUITE_FUNCTION(SetPAR),
    PLIM_SUITE_FUNCTION(GetRulerOrigin),
    PLIM_SUITE_FUNCTION(SetRulerOrigin),
    PLIM_SUITE_FUNCTION(GetShowDisplayMark),
    PLIM_SUITE_FUNCTION(SetShowDisplayMark),
    PLIM_SUITE_FUNCTION(GetArtboardList),
    PLIM_SUITE_FUNCTION(ReleaseArtboardList),
    PLIM_SUITE_FUNCTION(GetCount),
    PLIM_SUITE_FUNCTION(GetActive),
    PLIM_SUITE_FUNCTION(SetActive),
    PLIM_SUITE_FUNCTION(GetArtboardProperties),
    PLIM_SUITE_FUNCTION(Update),
    PLIM_SUITE_FUNCTION(Insert),
    PLIM_SUITE_FUNCTION(Delete),
    PLIM_SUITE_FUNCTION(InsertAt),
    PLIM_SUITE_FUNCTION(DeleteArtboards),
};

}  // namespace host
