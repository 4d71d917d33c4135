// Matching-art queries: the art of the current document (or of one art's subtree) that meets any of
// a list of criteria, in document order, answered in a memory block the plug-in frees; and the
// document-wide deselection.
#include <algorithm>
#include <span>
#include <vector>

#include "AIMatchingArt.h"
#include "suites/DocumentAccess.h"
#include "suites/HostSuites.h"
#include "suites/SuiteBoundary.h"

namespace host {
namespace {

constexpr const char* kSuite = kAIMatchingArtSuite;

using model::ArtId;
using model::MatchSpec;

// A type code that names no art of this host (plug-in art among them) matches nothing.
MatchSpec ToModel(const AIMatchingArtSpec& request) {
    MatchSpec criterion;
    if (request.type != kAnyArt) {
        criterion.type = model::artTypeFromCode(request.type).value_or(model::ArtType::unknown);
    }
    criterion.attributeMask = static_cast<model::ArtAttributes>(request.whichAttr);
    criterion.attributeValues = static_cast<model::ArtAttributes>(request.attr);
    return criterion;
}

bool Matches(const model::Document& document, ArtId art, std::span<const MatchSpec> criteria) {
    const model::Result<model::ArtType> type = document.type(art);
    const model::Result<model::ArtAttributes> attributes = document.attributes(art, model::attribute::known);
    if (!type || !attributes) {
        return false;
    }
    return std::any_of(criteria.begin(), criteria.end(), [&](const MatchSpec& criterion) {
        if (criterion.type && *criterion.type != *type) {
            return false;
        }
        return (*attributes & criterion.attributeMask) ==
               (criterion.attributeValues & criterion.attributeMask);
    });
}

// The nearest layer group above the art; null when there is none.
ArtId EnclosingLayerGroup(const model::Document& document, ArtId art) {
    ArtId current = document.parent(art).valueOr(ArtId{});
    while (current && !document.isLayerGroup(current).valueOr(false)) {
        current = document.parent(current).valueOr(ArtId{});
    }
    return current;
}

// In isolation mode the document's queries cover what is being edited: the layer group that holds
// the isolated art, then the isolated art and everything below it.
std::vector<ArtId> DocumentMatches(const model::Document& document, std::span<const MatchSpec> criteria) {
    const model::EditingState& editing = document.editingState();
    if (editing.isolationKind == 0 || !document.isValid(editing.isolatedArt)) {
        return document.matchingArt(criteria);
    }
    std::vector<ArtId> found;
    const ArtId layerGroup = EnclosingLayerGroup(document, editing.isolatedArt);
    if (layerGroup && Matches(document, layerGroup, criteria)) {
        found.push_back(layerGroup);
    }
    const std::vector<ArtId> below = document.matchingArtIn(editing.isolatedArt, criteria).valueOr({});
    found.insert(found.end(), below.begin(), below.end());
    return found;
}

// A refused query answers no block and no matches.
AIErr RefuseMatches(AIArtHandle*** matches, ai::int32* numMatches, AIErr error) {
    Refuse(matches, error);
    return Refuse(numMatches, error);
}

bool ValidQuery(const AIMatchingArtSpec* criteria, ai::int16 criterionCount, AIArtHandle*** matches,
                ai::int32* numMatches) {
    return matches != nullptr && numMatches != nullptr && criterionCount >= 0 &&
           (criteria != nullptr || criterionCount == 0);
}

std::vector<MatchSpec> Criteria(const AIMatchingArtSpec* criteria, ai::int16 criterionCount) {
    std::vector<MatchSpec> result;
    for (ai::int16 i = 0; i < criterionCount; ++i) {
        result.push_back(ToModel(criteria[i]));
    }
    return result;
}

AIErr Answer(HostState& state, const std::vector<ArtId>& found, AIArtHandle*** matches,
             ai::int32* numMatches) {
    if (found.empty()) {
        return RefuseMatches(matches, numMatches, kNoErr);
    }
    *matches = NewArtBlock(state, found);
    *numMatches = static_cast<ai::int32>(found.size());
    return kNoErr;
}

AIErr GetMatchingArt(const AIMatchingArtSpec* criteria, ai::int16 criterionCount, AIArtHandle*** matches,
                     ai::int32* numMatches) {
    auto [state, document, error] = StartDocumentOperation(kSuite, "GetMatchingArt");
    if (error == kNoErr && !ValidQuery(criteria, criterionCount, matches, numMatches)) {
        error = kBadParameterErr;
    }
    if (error != kNoErr) {
        return RefuseMatches(matches, numMatches, error);
    }
    return Answer(*state, DocumentMatches(*document, Criteria(criteria, criterionCount)), matches,
                  numMatches);
}

AIErr GetMatchingArtFromArt(AIArtHandle searchArt, const AIMatchingArtSpec* criteria,
                            ai::int16 criterionCount, AIArtHandle*** matches, ai::int32* numMatches) {
    auto [state, document, error] = StartDocumentOperation(kSuite, "GetMatchingArtFromArt");
    if (error == kNoErr && !ValidQuery(criteria, criterionCount, matches, numMatches)) {
        error = kBadParameterErr;
    }
    if (error != kNoErr) {
        return RefuseMatches(matches, numMatches, error);
    }
    const std::vector<MatchSpec> wanted = Criteria(criteria, criterionCount);
    const model::Result<std::vector<ArtId>> found = document->matchingArtIn(ArtIdOf(searchArt), wanted);
    if (!found) {
        return RefuseMatches(matches, numMatches, ErrorFromStatus(found.status()));
    }
    return Answer(*state, *found, matches, numMatches);
}

AIErr DeselectAll() {
    auto [state, document, error] = StartDocumentOperation(kSuite, "DeselectAll");
    if (error == kNoErr) {
        for (std::size_t index = 0; index < document->layers().count(); ++index) {
            const model::LayerId layer = document->layers().nth(index).valueOr(model::LayerId{});
            document->setAttributes(document->layers().group(layer).valueOr(ArtId{}),
                                    model::attribute::selected, 0);
        }
    }
    Record(state, "DeselectAll", {}, error);
    return error;
}

}  // namespace

AIMatchingArtSuite gMatchingArtSuite = {
    PLIM_SUITE_FUNCTION(GetMatchingArt),
    PLIM_SUITE_FUNCTION(GetMatchingArtFromArt),
    PLIM_SUITE_FUNCTION(DeselectAll),
};

}  // namespace host
