// Scope objects for the host state layout commands hold: an artboard range with its iterator, an
// art set, and the corner policy of transformations. Each gives its state back on every way out.
#pragma once

#include <optional>
#include <string>

#include "AIArtSet.h"
#include "AIArtboardRange.h"
#include "IAIUnicodeString.h"
#include "art/ArtList.h"
#include "core/Preferences.h"
#include "core/Suites.h"

// The preference that says whether transformations scale rounded corners (1) or keep them (2).
inline constexpr const char* kCornerPolicy = "policyForPreservingCorners";

// Keeps an artboard range (and optionally one iterator over it) and gives them back on every path.
class RangeScope {
public:
    RangeScope() = default;
    ~RangeScope() {
        if (sAIArtboardRange == nullptr) {
            return;
        }
        if (fIterator != nullptr) {
            sAIArtboardRange->DisposeIterator(fIterator);
        }
        if (fRange != nullptr) {
            sAIArtboardRange->Dispose(fRange);
        }
    }
    RangeScope(const RangeScope&) = delete;
    RangeScope& operator=(const RangeScope&) = delete;

    // Validates and builds the range and puts an iterator at its start; false on any failure.
    bool Open(const std::string& text) {
        const ai::UnicodeString range(text, kAIUTF8CharacterEncoding);
        AIBoolean valid = false;
        return sAIArtboardRange != nullptr && sAIArtboardRange->ValidateString(range, &valid) == kNoErr &&
               valid && sAIArtboardRange->Create(range, &fRange) == kNoErr &&
               sAIArtboardRange->Begin(fRange, &fIterator) == kNoErr;
    }

    // The next index; false at the end of the range or on a host error.
    bool Next(ArtboardID& index) { return sAIArtboardRange->Next(fIterator, &index) == kNoErr; }

private:
    AIArtboardRangeHandle fRange = nullptr;
    AIArtboardRangeIterator fIterator = nullptr;
};

// The host's art set for the work, disposed of on every way out unless Dispose did it.
class ArtSetScope {
public:
    ArtSetScope() {
        if (sAIArtSet == nullptr || sAIArtSet->NewArtSet(&fSet) != kNoErr) {
            fSet = nullptr;
        }
    }
    ~ArtSetScope() { Dispose(); }
    ArtSetScope(const ArtSetScope&) = delete;
    ArtSetScope& operator=(const ArtSetScope&) = delete;

    AIArtSet Get() const { return fSet; }
    bool Add(ArtObject* art) { return fSet != nullptr && sAIArtSet->AddArtToArtSet(fSet, art) == kNoErr; }
    // False when the host refuses.
    bool Dispose() {
        if (fSet == nullptr) {
            return true;
        }
        const bool disposed = sAIArtSet->DisposeArtSet(&fSet) == kNoErr;
        fSet = nullptr;
        return disposed;
    }

private:
    AIArtSet fSet = nullptr;
};

// Sets the host's corner policy for the transformations when the request asks, and puts the old
// value back on every way out.
class CornerPolicyScope {
public:
    explicit CornerPolicyScope(std::optional<bool> scaleCorners) {
        int old = 0;
        if (!scaleCorners || !ReadPluginPrefInt("", kCornerPolicy, old) || (old != 1 && old != 2)) {
            return;
        }
        if (WritePluginPrefInt("", kCornerPolicy, *scaleCorners ? 1 : 2)) {
            fOld = old;
        }
    }
    ~CornerPolicyScope() {
        if (fOld) {
            WritePluginPrefInt("", kCornerPolicy, *fOld);
        }
    }
    CornerPolicyScope(const CornerPolicyScope&) = delete;
    CornerPolicyScope& operator=(const CornerPolicyScope&) = delete;

private:
    std::optional<int> fOld;
};
