// The stand-in host behind the plug-in's code in unit tests: an application (no module loaded)
// whose suites fill the plug-in's global suite pointers, as the plug-in's own acquisition would.
// Tests build documents through the host's model, make operations fail through its fault
// injector and read what was asked of it from its journal.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "AIArt.h"
#include "AICSXSExtension.h"
#include "AIContext.h"
#include "AIFilePath.h"
#include "AIFolders.h"
#include "AINotifier.h"
#include "AIUser.h"
#include "SPAccess.h"
#include "SPPlugins.h"
#include "core/Suites.h"
#include "host/Application.h"
#include "model/DocumentFormat.h"

namespace unittest {

class StandIn {
public:
    StandIn() {
        sSPBasic = const_cast<SPBasicSuite*>(&fApp->BasicSuite());
        ForEachPointer([](const char* name, ASInt32 version, const void** pointer) {
            if (sSPBasic->AcquireSuite(name, version, pointer) != kNoErr) {
                *pointer = nullptr;
            }
        });
    }
    ~StandIn() {
        fApp.reset();  // the host's own strings and paths use the shared pointers until it is gone
        ForEachPointer([](const char*, ASInt32, const void** pointer) { *pointer = nullptr; });
        sSPBasic = nullptr;
    }
    StandIn(const StandIn&) = delete;
    StandIn& operator=(const StandIn&) = delete;

    host::Application& App() { return *fApp; }
    host::Document& Doc() { return *fApp->CurrentDocument(); }

    // Makes the current document the one the native-format text describes.
    void Load(std::string_view json) {
        host::model::ReadResult read = host::model::readDocument(std::string(json), 7);
        ASSERT_TRUE(read.document) << read.error;
        fApp->SetDocument(std::make_unique<host::Document>(std::move(*read.document)));
    }

    // Makes every call of the suite's operation fail.
    void Fail(std::string suite, std::string operation) {
        fApp->Faults().FailOperation(std::move(suite), std::move(operation), kCantHappenErr);
    }

    // The art of that name (a layer group by its layer's title), or null.
    ArtObject* Art(std::string_view name) {
        for (const host::model::ArtId id : Doc().documentOrder()) {
            const auto found = Doc().name(id);
            if (found && found->text == name) {
                return reinterpret_cast<ArtObject*>(static_cast<std::uintptr_t>(id.value));
            }
        }
        return nullptr;
    }

    // The name the art suite gives: "null" for a null handle, "?" when it fails.
    static std::string NameOf(ArtObject* art) {
        if (art == nullptr) {
            return "null";
        }
        ai::UnicodeString name;
        AIBoolean isDefault = false;
        return sAIArt->GetArtName(art, name, &isDefault) == kNoErr ? name.as_UTF8() : "?";
    }

private:
    template <typename Visit>
    static void ForEachPointer(Visit visit) {
#define PLIM_STAND_IN_ROW(type, pointer, name, version) \
    visit(name, version, reinterpret_cast<const void**>(const_cast<const type**>(&pointer)));
        PLIM_BASIC_SUITES(PLIM_STAND_IN_ROW)
        PLIM_APPLICATION_SUITES(PLIM_STAND_IN_ROW)
        PLIM_POST_STARTUP_SUITES(PLIM_STAND_IN_ROW)
#undef PLIM_STAND_IN_ROW
#define PLIM_STAND_IN_TEXT_ROW(word, version) \
    visit("ATE " #word " Suite", version,     \
          reinterpret_cast<const void**>(const_cast<const ATE##word##Suite**>(&s##word)));
        PLIM_TEXT_ENGINE_SUITES(PLIM_STAND_IN_TEXT_ROW)
#undef PLIM_STAND_IN_TEXT_ROW
    }

    std::unique_ptr<host::Application> fApp = std::make_unique<host::Application>();
};

}  // namespace unittest
