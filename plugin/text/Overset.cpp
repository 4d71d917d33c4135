// The overset tests and the command checkTextOverset.
#include "text/Overset.h"

#include "AIATETextUtil.h"
#include "art/ArtTree.h"
#include "art/TagSearch.h"
#include "core/Failures.h"
#include "core/Json.h"
#include "core/PlimUtilsPlugin.h"
#include "core/Suites.h"
#include "text/TextRanges.h"

bool CheckTextRangeForOverset(const ATE::ITextRange& range, bool& overset) {
    if (sAITextUtil == nullptr) {
        return false;
    }
    try {
        const ASInt32 size = range.GetSize();
        if (size <= 0) {
            return false;
        }
        ATE::ITextRange last = range.Clone();
        last.SetRange(size - 1, size);
        AIRealRect bounds;
        const AIErr result = sAITextUtil->GetBoundsFromTextRange(last.GetRef(), &bounds);
        if (result != kNoErr && result != kInvalidBoundsErr) {
            return false;
        }
        overset = result == kInvalidBoundsErr;
        return true;
    } catch (const ATE::Exception&) {
        return false;
    }
}

bool CheckTextForOverset(ArtObject* art, bool& overset) {
    ATE::ITextRange story;
    return ArtToTextRange(art, story) && CheckTextRangeForOverset(story, overset);
}

bool MayBeOverset(ArtObject* art) {
    return FrameType(art) != kPointTextType;
}

std::set<ArtObject*> OversetTextArt() {
    std::set<ArtObject*> overset;
    for (ArtObject* art : GetAllObjects(false)) {
        bool isOverset = false;
        if (CheckTextForOverset(art, isOverset) && isOverset) {
            overset.insert(art);
        }
    }
    return overset;
}

std::string PlimUtilsPlugin::CheckTextOverset(std::string request) {
    const json parsed = ParseRequest(request);
    json reply = StartReply("checkTextOverset", parsed);
    const std::string tagSearch = ReadTextStrictly(parsed, "tagSearch");
    reply["tagSearch"] = tagSearch;
    const ArtList found = tagSearch.empty() ? GetAllObjects(false) : SearchTaggedArt(tagSearch);
    if (found.empty()) {
        reply["error"] = kNoArtworkFound;
        return DumpReply(reply);
    }
    bool overset = false;
    for (ArtObject* art : found) {
        if (!CheckTextForOverset(art, overset)) {
            overset = false;
            continue;
        }
        if (overset) {
            break;
        }
    }
    reply["oversetText"] = overset;
    return DumpReply(reply);
}
