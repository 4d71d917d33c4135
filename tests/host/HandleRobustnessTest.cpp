// Every host operation given a null, made-up or disposed handle answers an error code and changes
// nothing.
#include <functional>
#include <memory>
#include <numeric>
#include <vector>

#include "AICSXSExtension.h"
#include "AIContext.h"
#include "AIFilePath.h"
#include "AIFolders.h"
#include "AINotifier.h"
#include "AIUnicodeString.h"
#include "HostFixture.h"
#include "IAIFilePath.hpp"
#include "SPAccess.h"
#include "SPPlugins.h"
#include "host/HandleTable.h"

namespace {

struct Tables {
    const SPAccessSuite* access;
    const SPPluginsSuite* plugins;
    const AINotifierSuite* notifier;
    const AIAppContextSuite* context;
    const AIFilePathSuite* paths;
    const AIUnicodeStringSuite* strings;
    const AIFoldersSuite* folders;
    const AICSXSExtensionSuite* extensions;
    AIUnicodeStringRef disposedString;
    AIFilePathRef disposedPath;
};

template <typename Handle>
Handle MadeUp() {
    return reinterpret_cast<Handle>(0xDEAD0);
}

struct StaleCase {
    const char* label;
    std::function<ASErr(const Tables&)> call;
    ASErr expected;
};

class StaleHandles : public testing::TestWithParam<StaleCase> {};

TEST_P(StaleHandles, AnswerAnError) {
    host::Application app(hosttest::ProbeOptions());
    const SPBasicSuite& basic = app.BasicSuite();
    Tables tables{
        hosttest::Acquire<SPAccessSuite>(basic, kSPAccessSuite, kSPAccessSuiteVersion),
        hosttest::Acquire<SPPluginsSuite>(basic, kSPPluginsSuite, kSPPluginsSuiteVersion),
        hosttest::Acquire<AINotifierSuite>(basic, kAINotifierSuite, kAINotifierSuiteVersion),
        hosttest::Acquire<AIAppContextSuite>(basic, kAIAppContextSuite, kAIAppContextSuiteVersion),
        hosttest::Acquire<AIFilePathSuite>(basic, kAIFilePathSuite, kAIFilePathSuiteVersion),
        hosttest::Acquire<AIUnicodeStringSuite>(basic, kAIUnicodeStringSuite, kAIUnicodeStringSuiteVersion),
        hosttest::Acquire<AIFoldersSuite>(basic, kAIFoldersSuite, kAIFoldersSuiteVersion),
        hosttest::Acquire<AICSXSExtensionSuite>(basic, kAICSXSExtensionSuite, kAICSXSExtensionSuiteVersion),
        nullptr,
        nullptr,
    };
    ASSERT_EQ(tables.strings->Create("x", 1, kAIUTF8CharacterEncoding, &tables.disposedString), kNoErr);
    ASSERT_EQ(tables.strings->Dispose(tables.disposedString), kNoErr);
    ASSERT_EQ(tables.paths->Create("/x", &tables.disposedPath), kNoErr);
    ASSERT_EQ(tables.paths->Dispose(tables.disposedPath), kNoErr);
    const size_t strings = app.LiveStrings();
    const size_t paths = app.LivePaths();

    EXPECT_EQ(GetParam().call(tables), GetParam().expected);
    EXPECT_EQ(app.LiveStrings(), strings);
    EXPECT_EQ(app.LivePaths(), paths);
    EXPECT_EQ(app.AccessCount(), 0);
    EXPECT_EQ(app.ContextDepth(), 0);
    EXPECT_TRUE(app.NotifierTypes().empty());
}

const char* kName = "name";

INSTANTIATE_TEST_SUITE_P(
    Operations, StaleHandles,
    testing::Values(
        StaleCase{"AcquirePlugin",
                  [](const Tables& t) {
                      SPAccessRef access = nullptr;
                      return t.access->AcquirePlugin(MadeUp<SPPluginRef>(), &access);
                  },
                  kSPBadParameterError},
        StaleCase{"ReleasePlugin",
                  [](const Tables& t) { return t.access->ReleasePlugin(MadeUp<SPAccessRef>()); },
                  kSPBadParameterError},
        StaleCase{"SetPluginName", [](const Tables& t) { return t.plugins->SetPluginName(nullptr, kName); },
                  kSPBadParameterError},
        StaleCase{"AddNotifier",
                  [](const Tables& t) {
                      AINotifierHandle handle = nullptr;
                      return t.notifier->AddNotifier(MadeUp<SPPluginRef>(), kName, kName, &handle);
                  },
                  kBadParameterErr},
        StaleCase{"SetNotifierActive",
                  [](const Tables& t) { return t.notifier->SetNotifierActive(nullptr, true); },
                  kBadParameterErr},
        StaleCase{"PushAppContext",
                  [](const Tables& t) {
                      AIAppContextHandle handle = nullptr;
                      return t.context->PushAppContext(nullptr, &handle);
                  },
                  kBadParameterErr},
        StaleCase{"PopAppContext",
                  [](const Tables& t) { return t.context->PopAppContext(MadeUp<AIAppContextHandle>()); },
                  kBadParameterErr},
        StaleCase{"PathDispose", [](const Tables& t) { return t.paths->Dispose(t.disposedPath); },
                  kBadParameterErr},
        StaleCase{"PathDuplicate",
                  [](const Tables& t) {
                      AIFilePathRef copy = nullptr;
                      return t.paths->Duplicate(MadeUp<AIFilePathRef>(), &copy);
                  },
                  kBadParameterErr},
        StaleCase{"PathGetPath",
                  [](const Tables& t) {
                      const char* text = nullptr;
                      return t.paths->GetPath(nullptr, &text);
                  },
                  kBadParameterErr},
        StaleCase{"PathSet", [](const Tables& t) { return t.paths->Set(t.disposedPath, "/y"); },
                  kBadParameterErr},
        StaleCase{"PathAddComponent",
                  [](const Tables& t) { return t.paths->AddComponent(t.disposedPath, "y"); },
                  kBadParameterErr},
        StaleCase{"StringDispose", [](const Tables& t) { return t.strings->Dispose(nullptr); },
                  kBadParameterErr},
        StaleCase{"StringDuplicate",
                  [](const Tables& t) {
                      AIUnicodeStringRef copy = nullptr;
                      return t.strings->Duplicate(t.disposedString, &copy);
                  },
                  kBadParameterErr},
        StaleCase{"StringGetUTF16",
                  [](const Tables& t) {
                      const ASUnicode* units = nullptr;
                      size_t count = 0;
                      return t.strings->GetUTF16(MadeUp<AIUnicodeStringRef>(), &units, &count);
                  },
                  kBadParameterErr},
        StaleCase{"StringGetAs",
                  [](const Tables& t) {
                      char buffer[4];
                      size_t needed = 0;
                      return t.strings->GetAs(t.disposedString, kAIUTF8CharacterEncoding, buffer, 4, &needed);
                  },
                  kBadParameterErr},
        StaleCase{"StringAppend",
                  [](const Tables& t) { return t.strings->Append(nullptr, t.disposedString); },
                  kBadParameterErr},
        StaleCase{"StringToLower", [](const Tables& t) { return t.strings->ToLower(t.disposedString); },
                  kBadParameterErr},
        StaleCase{"FindFolderIntoADisposedPath",
                  [](const Tables& t) {
                      // The folders suite gives a path without a live reference a new one.
                      ai::FilePath path;
                      ai::FilePath keep = std::move(path);
                      const ASErr error = t.folders->FindFolder(kAIApplicationFolderType, false, path);
                      return error == kNoErr && path.GetFullPathUTF8().empty() ? kCantHappenErr : error;
                  },
                  kNoErr},
        StaleCase{"GetExtensionState",
                  [](const Tables& t) { return t.extensions->GetExtensionState(kName, nullptr); },
                  kBadParameterErr}),
    [](const auto& info) { return std::string(info.param.label); });

// A walk over a handle table may add and remove handles: the walk goes on over the entries as they
// were, visits what it added, and the table stays whole afterwards, however many slots emptied.
TEST(HandleTableWalk, SurvivesHandlesAddedAndRemovedWhileWalking) {
    for (const int count : {1, 5, 40, 200}) {
        host::HandleTable<int> table;
        std::vector<void*> handles;
        for (int i = 0; i < count; ++i) {
            handles.push_back(table.Add<void*>(std::make_unique<int>(i)));
        }
        std::vector<int> seen;
        table.ForEach([&](std::uintptr_t, int& value) {
            seen.push_back(value);
            if (value < count) {
                // Each original entry removes its predecessor and adds one entry to be seen later.
                if (value > 0) {
                    EXPECT_TRUE(table.Remove(handles[static_cast<std::size_t>(value - 1)]));
                }
                table.Add<void*>(std::make_unique<int>(count + value));
            }
        });
        std::vector<int> expected(static_cast<std::size_t>(2 * count));
        std::iota(expected.begin(), expected.end(), 0);
        EXPECT_EQ(seen, expected) << count;
        EXPECT_EQ(table.Size(), static_cast<std::size_t>(count + 1)) << count;
        EXPECT_EQ(table.Find(handles.front()) == nullptr, count > 1) << count;
        EXPECT_NE(table.Find(handles.back()), nullptr);
        for (std::size_t i = 0; i + 1 < handles.size(); ++i) {
            EXPECT_FALSE(table.Remove(handles[i]));
        }
    }
}

}  // namespace
