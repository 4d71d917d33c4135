// ai::ArtboardProperties and ai::ArtboardList: value classes over the artboard suite. Each holds
// its host reference for its whole life and gives it back when it goes. Failures are answered as
// error codes; nothing throws.
#pragma once

#include <vector>

#include "AIArtboard.h"
#include "IAIUnicodeString.h"

namespace ai {

// A record of an artboard's properties, held by the host for the plug-in.
class ArtboardProperties {
public:
    // The marks an artboard can show (GetShowDisplayMark, SetShowDisplayMark).
    enum DisplayMarkType : ai::int32 {
        kCenterMark = kAIArtboardCenterMark,
        kCrossHairs = kAIArtboardCrossHairs,
        kSafeAreas = kAIArtboardSafeAreas,
    };

    // A record with the host's default properties (IsValid() false when the host can't make one).
    ArtboardProperties();
    ArtboardProperties(const ArtboardProperties& other);
    ArtboardProperties(ArtboardProperties&& other) noexcept;
    ArtboardProperties& operator=(const ArtboardProperties& other);
    ArtboardProperties& operator=(ArtboardProperties&& other) noexcept;
    ~ArtboardProperties();

    bool IsValid() const { return fImpl != nullptr; }

    AIErr GetPosition(AIRealRect& position) const;
    AIErr SetPosition(const AIRealRect& position);
    AIErr GetName(ai::UnicodeString& name) const;
    AIErr SetName(const ai::UnicodeString& name);
    AIErr SetPixelAspectRatio(AIReal ratio);
    AIErr GetRulerOrigin(AIRealPoint& origin) const;
    AIErr SetRulerOrigin(const AIRealPoint& origin);
    AIErr GetShowDisplayMark(ai::int32 mark, bool& show) const;
    AIErr SetShowDisplayMark(ai::int32 mark, bool show);

    ArtboardRef GetImpl() const { return fImpl; }

private:
    ArtboardRef fImpl = nullptr;
};

// The current document's artboard list.
class ArtboardList {
public:
    // Takes the list of the current document (IsValid() false when there is none).
    ArtboardList();
    ArtboardList(const ArtboardList&) = delete;
    ArtboardList& operator=(const ArtboardList&) = delete;
    ArtboardList(ArtboardList&& other) noexcept;
    ArtboardList& operator=(ArtboardList&& other) noexcept;
    ~ArtboardList();

    bool IsValid() const { return fImpl != nullptr; }

    AIErr GetCount(ArtboardID& count) const;
    AIErr GetActive(ArtboardID& index) const;
    AIErr SetActive(ArtboardID index);
    AIErr GetArtboardProperties(ArtboardID index, ArtboardProperties& properties) const;
    AIErr Update(ArtboardID index, const ArtboardProperties& properties);
    // Inserts an artboard with the properties at index (0 to the count; any other value: after the
    // last one) and sets index to the position it took.
    AIErr Insert(const ArtboardProperties& properties, ArtboardID& index);
    AIErr Delete(ArtboardID index);
    // Deletes the artboards at the indexes as a whole: all of them or, on an error, none.
    AIErr Delete(const std::vector<ArtboardID>& indexes);

private:
    ArtboardListRef fImpl = nullptr;
};

}  // namespace ai
