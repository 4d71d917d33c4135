#include "art/ArtChanges.h"

#include "art/HostArt.h"
#include "core/Suites.h"

ArtChanges::~ArtChanges() {
    TakeBack();
}

ArtObject* ArtChanges::New(ai::int16 type, ai::int16 placement, ArtObject* target) {
    ArtObject* art = nullptr;
    if (sAIArt == nullptr || sAIArt->NewArt(type, placement, target, &art) != kNoErr || art == nullptr) {
        return nullptr;
    }
    Made(art);
    return art;
}

ArtObject* ArtChanges::Duplicate(ArtObject* art, ai::int16 placement, ArtObject* target) {
    ArtObject* copy = nullptr;
    if (sAIArt == nullptr || sAIArt->DuplicateArt(art, placement, target, &copy) != kNoErr ||
        copy == nullptr) {
        return nullptr;
    }
    Made(copy);
    return copy;
}

bool ArtChanges::Move(ArtObject* art, ai::int16 placement, ArtObject* target) {
    const std::optional<ArtObject*> container = hostart::Parent(art);
    ArtObject* above = nullptr;
    if (!container || *container == nullptr || sAIArt->GetArtPriorSibling(art, &above) != kNoErr ||
        sAIArt->ReorderArt(art, placement, target) != kNoErr) {
        return false;
    }
    fChanges.push_back({art, false, *container, above});
    return true;
}

void ArtChanges::Made(ArtObject* art) {
    fChanges.push_back({art, true, nullptr, nullptr});
}

void ArtChanges::TakeBack() {
    for (auto change = fChanges.rbegin(); change != fChanges.rend(); ++change) {
        if (sAIArt == nullptr || !sAIArt->ValidArt(change->art, true)) {
            continue;
        }
        if (change->made) {
            sAIArt->DisposeArt(change->art);
        } else if (change->above != nullptr) {
            sAIArt->ReorderArt(change->art, kPlaceBelow, change->above);
        } else {
            sAIArt->ReorderArt(change->art, kPlaceInsideOnTop, change->container);
        }
    }
    fChanges.clear();
}
