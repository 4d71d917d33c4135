#include "art/HostArt.h"

#include "AIMatchingArt.h"
#include "AIMdMemory.h"
#include "core/Suites.h"

namespace hostart {

std::optional<ai::int16> Type(ArtObject* art) {
    ai::int16 type = kUnknownArt;
    if (sAIArt == nullptr || sAIArt->GetArtType(art, &type) != kNoErr) {
        return std::nullopt;
    }
    return type;
}

bool IsOfType(ArtObject* art, ai::int16 type) {
    const std::optional<ai::int16> found = Type(art);
    return found && *found == type;
}

std::optional<ArtObject*> Parent(ArtObject* art) {
    ArtObject* parent = nullptr;
    if (sAIArt == nullptr || sAIArt->GetArtParent(art, &parent) != kNoErr) {
        return std::nullopt;
    }
    return parent;
}

std::optional<ArtObject*> FirstChild(ArtObject* art) {
    ArtObject* child = nullptr;
    if (sAIArt == nullptr || sAIArt->GetArtFirstChild(art, &child) != kNoErr) {
        return std::nullopt;
    }
    return child;
}

std::optional<ArtObject*> NextSibling(ArtObject* art) {
    ArtObject* sibling = nullptr;
    if (sAIArt == nullptr || sAIArt->GetArtSibling(art, &sibling) != kNoErr) {
        return std::nullopt;
    }
    return sibling;
}

ArtList Children(ArtObject* art) {
    ArtList children;
    std::optional<ArtObject*> child = FirstChild(art);
    while (child && *child != nullptr) {
        children.push_back(*child);
        child = NextSibling(*child);
    }
    return children;
}

bool IsLayerGroup(ArtObject* art) {
    AIBoolean isLayerGroup = true;
    if (sAIArt == nullptr || sAIArt->IsArtLayerGroup(art, &isLayerGroup) != kNoErr) {
        return true;
    }
    return isLayerGroup != 0;
}

bool HasUserAttr(ArtObject* art, ai::int32 bit) {
    ai::int32 attr = 0;
    if (sAIArt == nullptr || sAIArt->GetArtUserAttr(art, bit, &attr) != kNoErr) {
        return false;
    }
    return (attr & bit) == bit;
}

bool SetUserAttr(ArtObject* art, ai::int32 bit, bool on) {
    return sAIArt != nullptr && sAIArt->SetArtUserAttr(art, bit, on ? bit : 0) == kNoErr;
}

ArtList MatchingArt(ArtObject* from, ai::int32 whichAttr, ai::int32 attr) {
    if (sAIMatchingArt == nullptr) {
        return {};
    }
    AIMatchingArtSpec criterion;
    criterion.type = kAnyArt;
    criterion.whichAttr = whichAttr;
    criterion.attr = attr;
    AIArtHandle** matches = nullptr;
    ai::int32 count = 0;
    const AIErr error = from != nullptr
                            ? sAIMatchingArt->GetMatchingArtFromArt(from, &criterion, 1, &matches, &count)
                            : sAIMatchingArt->GetMatchingArt(&criterion, 1, &matches, &count);
    ArtList found;
    if (error == kNoErr && matches != nullptr && *matches != nullptr && count > 0) {
        found.assign(*matches, *matches + count);
    }
    if (matches != nullptr && sAIMdMemory != nullptr) {
        sAIMdMemory->MdMemoryDisposeHandle(reinterpret_cast<AIMdMemoryHandle>(matches));
    }
    return found;
}

}  // namespace hostart
