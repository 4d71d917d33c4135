// Common ground of the tests of the suites over the current document: a small document read from
// the native format, the suites acquired as a plug-in acquires them, and look-ups by name.
//
// The document, top to bottom:
//   layer "Front"
//     group "Logo": path "Mark" (stroke 2, a line from (0, 0) to (10, 10)), an unnamed path
//     point text "Title" (text "Hi", frame [0, 100, 50, 80]), tags "b.tag" and "a.tag"
//     sublayer "Labels": path "Label"
//     group "Empty" (no children)
//   layer "Back"
//     group "Bent" (an envelope) holding path "Held"
//     group "Woven" (an intertwine object) holding path "Strand"
//     clip group "Clip": path "Mask" (the clipping mask), path "Inside"
//     text frame "Blank" (area text without text)
//     sublayer "Labels" (a second layer with that title)
//   symbols "Star", "Arrow"
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "AIArt.h"
#include "AIDictionary.h"
#include "AIEnvelope.h"
#include "AIGroup.h"
#include "AIIntertwine.h"
#include "AIIsolationMode.h"
#include "AILayer.h"
#include "AIMatchingArt.h"
#include "AIMdMemory.h"
#include "AISymbol.h"
#include "AITag.h"
#include "AITextFrame.h"
#include "AIUUID.h"
#include "HostFixture.h"
#include "model/DocumentFormat.h"

namespace hosttest {

inline constexpr const char* kSuitesDocument = R"({
  "format": "plimhost-document", "version": 1, "symbols": ["Star", "Arrow"],
  "layers": [
    {"type": "layer", "title": "Front", "children": [
      {"type": "group", "name": "Logo", "children": [
        {"type": "path", "name": "Mark", "strokeWidth": 2,
         "segments": [{"anchor": [0, 0]}, {"anchor": [10, 10]}]},
        {"type": "path", "segments": [{"anchor": [20, 0]}, {"anchor": [30, 5]}]}]},
      {"type": "textFrame", "name": "Title", "kind": "point", "text": "Hi", "frame": [0, 100, 50, 80],
       "tags": [{"name": "a.tag", "type": "string", "value": "first"},
                {"name": "b.tag", "type": "string", "value": "second"}]},
      {"type": "layer", "title": "Labels", "children": [
        {"type": "path", "name": "Label", "segments": [{"anchor": [5, 5]}]}]},
      {"type": "group", "name": "Empty"}]},
    {"type": "layer", "title": "Back", "children": [
      {"type": "group", "name": "Bent", "envelope": true, "children": [{"type": "path", "name": "Held"}]},
      {"type": "group", "name": "Woven", "intertwine": true, "children": [{"type": "path", "name": "Strand"}]},
      {"type": "group", "name": "Clip", "clipped": true, "children": [
        {"type": "path", "name": "Mask", "clippingMask": true, "closed": true,
         "segments": [{"anchor": [0, 0]}, {"anchor": [4, 0]}, {"anchor": [4, 4]}]},
        {"type": "path", "name": "Inside", "segments": [{"anchor": [-10, -10]}, {"anchor": [10, 10]}]}]},
      {"type": "textFrame", "name": "Blank", "kind": "area", "frame": [0, 10, 10, 0]},
      {"type": "layer", "title": "Labels"}]}
  ]
})";

// An application (no plug-in loaded: the suites need none) holding the document above.
class DocumentSuites : public testing::Test {
public:
    void SetUp() override {
        host::model::ReadResult read = host::model::readDocument(kSuitesDocument, 11);
        ASSERT_TRUE(read.document) << read.error;
        app->SetDocument(std::make_unique<host::Document>(std::move(*read.document)));
        const SPBasicSuite& basic = app->BasicSuite();
        art = Acquire<AIArtSuite>(basic, kAIArtSuite, kAIArtSuiteVersion);
        tag = Acquire<AITagSuite>(basic, kAITagSuite, kAITagSuiteVersion);
        matching = Acquire<AIMatchingArtSuite>(basic, kAIMatchingArtSuite, kAIMatchingArtSuiteVersion);
        memory = Acquire<AIMdMemorySuite>(basic, kAIMdMemorySuite, kAIMdMemorySuiteVersion);
        uuid = Acquire<AIUUIDSuite>(basic, kAIUUIDSuite, kAIUUIDSuiteVersion);
        layer = Acquire<AILayerSuite>(basic, kAILayerSuite, kAILayerSuiteVersion);
        group = Acquire<AIGroupSuite>(basic, kAIGroupSuite, kAIGroupSuiteVersion);
        envelope = Acquire<AIEnvelopeSuite>(basic, kAIEnvelopeSuite, kAIEnvelopeSuiteVersion);
        intertwine = Acquire<AIIntertwineSuite>(basic, kAIIntertwineSuite, kAIIntertwineSuiteVersion);
        isolation = Acquire<AIIsolationModeSuite>(basic, kAIIsolationModeSuite, kAIIsolationModeSuiteVersion);
        textFrame = Acquire<AITextFrameSuite>(basic, kAITextFrameSuite, kAITextFrameSuiteVersion);
        dictionary = Acquire<AIDictionarySuite>(basic, kAIDictionarySuite, kAIDictionarySuiteVersion);
        symbol = Acquire<AISymbolSuite>(basic, kAISymbolSuite, kAISymbolSuiteVersion);
        ASSERT_TRUE(art && tag && matching && memory && uuid && layer && group && envelope && intertwine &&
                    isolation && textFrame && dictionary && symbol);
    }

    host::Document& Doc() { return *app->CurrentDocument(); }

    // The art of that name (its own name, or its layer's title for a layer group).
    AIArtHandle Art(std::string_view name) {
        for (const host::model::ArtId id : Doc().documentOrder()) {
            const auto found = Doc().name(id);
            if (found && found->text == name) {
                return reinterpret_cast<AIArtHandle>(static_cast<std::uintptr_t>(id.value));
            }
        }
        ADD_FAILURE() << "no art named " << name;
        return nullptr;
    }

    host::model::ArtId Id(AIArtHandle handle) { return {reinterpret_cast<std::uintptr_t>(handle)}; }

    // The name the art suite gives, or "?" when it fails.
    std::string NameOf(AIArtHandle handle) {
        ai::UnicodeString name;
        AIBoolean isDefault = false;
        if (handle == nullptr) {
            return "null";
        }
        if (art->GetArtName(handle, name, &isDefault) != kNoErr) {
            return "?";
        }
        return name.as_UTF8();
    }

    std::vector<std::string> NamesOf(const std::vector<AIArtHandle>& handles) {
        std::vector<std::string> names;
        for (AIArtHandle handle : handles) {
            names.push_back(NameOf(handle));
        }
        return names;
    }

    // A matching-art answer as a list, the block freed.
    std::vector<AIArtHandle> Take(AIArtHandle** matches, ai::int32 count) {
        std::vector<AIArtHandle> found;
        if (matches != nullptr) {
            found.assign(*matches, *matches + count);
            EXPECT_EQ(memory->MdMemoryDisposeHandle(reinterpret_cast<AIMdMemoryHandle>(matches)), kNoErr);
        }
        return found;
    }

    std::vector<AIArtHandle> Matching(ai::int16 type, ai::int32 whichAttr = 0, ai::int32 attr = 0) {
        const AIMatchingArtSpec criterion{type, whichAttr, attr};
        AIArtHandle** matches = nullptr;
        ai::int32 count = -1;
        EXPECT_EQ(matching->GetMatchingArt(&criterion, 1, &matches, &count), kNoErr);
        return Take(matches, count);
    }

    std::vector<AIArtHandle> MatchingFrom(AIArtHandle from, ai::int16 type = kAnyArt, ai::int32 whichAttr = 0,
                                          ai::int32 attr = 0) {
        const AIMatchingArtSpec criterion{type, whichAttr, attr};
        AIArtHandle** matches = nullptr;
        ai::int32 count = -1;
        EXPECT_EQ(matching->GetMatchingArtFromArt(from, &criterion, 1, &matches, &count), kNoErr);
        return Take(matches, count);
    }

    ai::int32 Attr(AIArtHandle handle, ai::int32 which) {
        ai::int32 attr = -1;
        EXPECT_EQ(art->GetArtUserAttr(handle, which, &attr), kNoErr);
        return attr;
    }

    std::unique_ptr<host::Application> app = std::make_unique<host::Application>(ProbeOptions());
    const AIArtSuite* art = nullptr;
    const AITagSuite* tag = nullptr;
    const AIMatchingArtSuite* matching = nullptr;
    const AIMdMemorySuite* memory = nullptr;
    const AIUUIDSuite* uuid = nullptr;
    const AILayerSuite* layer = nullptr;
    const AIGroupSuite* group = nullptr;
    const AIEnvelopeSuite* envelope = nullptr;
    const AIIntertwineSuite* intertwine = nullptr;
    const AIIsolationModeSuite* isolation = nullptr;
    const AITextFrameSuite* textFrame = nullptr;
    const AIDictionarySuite* dictionary = nullptr;
    const AISymbolSuite* symbol = nullptr;
};

// A handle no host ever hands out.
template <typename Handle>
Handle MadeUp() {
    return reinterpret_cast<Handle>(static_cast<std::uintptr_t>(0xDEAD0000DEAD0000ull));
}

}  // namespace hosttest
