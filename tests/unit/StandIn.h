// The stand-in host behind the plug-in's code in unit tests: an application (no module loaded)
// whose suites fill the plug-in's global suite pointers, as the plug-in's own acquisition would.
// Tests build documents through the host's model (or from the native format's text, with the
// builders below), make operations fail through its fault injector and read what was asked of it
// from its journal.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "AIArt.h"
#include "AICSXSExtension.h"
#include "AIContext.h"
#include "AIFilePath.h"
#include "AIFolders.h"
#include "AILayer.h"
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

    // Makes the current document one of these layers (native-format layer objects, front to back),
    // with the document keys given beside them.
    void LoadLayers(nlohmann::json layers, nlohmann::json document = nlohmann::json::object()) {
        document["format"] = "plimhost-document";
        document["version"] = 1;
        document["layers"] = std::move(layers);
        Load(document.dump());
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
                return Handle(id);
            }
        }
        return nullptr;
    }

    // Calls of the suite's operation since the application started.
    int Calls(std::string_view suite, std::string_view operation) {
        return fApp->Faults().Calls(suite, operation);
    }

    static host::model::ArtId Id(ArtObject* art) {
        return host::model::ArtId{reinterpret_cast<std::uintptr_t>(art)};
    }
    static ArtObject* Handle(host::model::ArtId id) {
        return reinterpret_cast<ArtObject*>(static_cast<std::uintptr_t>(id.value));
    }
    // Whether the handle still names art of the document.
    bool IsLive(ArtObject* art) { return Doc().isValid(Id(art)); }
    // The art's children, front to back.
    std::vector<ArtObject*> Children(ArtObject* art) {
        std::vector<ArtObject*> children;
        const host::model::Result<std::vector<host::model::ArtId>> ids = Doc().children(Id(art));
        for (const host::model::ArtId id : *ids) {
            children.push_back(Handle(id));
        }
        return children;
    }
    static host::model::LayerId LayerId(AILayerHandle layer) {
        return host::model::LayerId{reinterpret_cast<std::uintptr_t>(layer)};
    }
    // The layer of that title, or null.
    AILayerHandle Layer(std::string_view title) {
        return reinterpret_cast<AILayerHandle>(
            static_cast<std::uintptr_t>(Doc().layers().byTitle(title).value));
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
    static std::vector<std::string> Names(const std::vector<ArtObject*>& list) {
        std::vector<std::string> names;
        for (ArtObject* art : list) {
            names.push_back(NameOf(art));
        }
        return names;
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

// Builders of native-format art for LoadLayers.
namespace doc {

using nlohmann::json;

inline json Layer(std::string title, json children = json::array()) {
    return {{"type", "layer"}, {"title", std::move(title)}, {"children", std::move(children)}};
}

// A closed rectangular path: left, top, right, bottom in points (y up).
inline json Path(std::string name, std::array<double, 4> r = {0, 10, 10, 0}, double stroke = 0) {
    json art{{"type", "path"},
             {"name", std::move(name)},
             {"closed", true},
             {"segments",
              {{{"anchor", {r[0], r[1]}}},
               {{"anchor", {r[2], r[1]}}},
               {{"anchor", {r[2], r[3]}}},
               {{"anchor", {r[0], r[3]}}}}}};
    if (stroke != 0) {
        art["strokeWidth"] = stroke;
    }
    return art;
}

// A group, compound path or other container of that type.
inline json Container(std::string type, std::string name, json children = json::array()) {
    return {{"type", std::move(type)}, {"name", std::move(name)}, {"children", std::move(children)}};
}
inline json Group(std::string name, json children = json::array()) {
    return Container("group", std::move(name), std::move(children));
}

// A point-text frame holding the text.
inline json Text(std::string name, std::string text = "text") {
    return {{"type", "textFrame"},
            {"name", std::move(name)},
            {"kind", "point"},
            {"frame", {0, 20, 100, 0}},
            {"text", std::move(text)}};
}

// The art with one more key.
inline json With(json art, const char* key, json value) {
    art[key] = std::move(value);
    return art;
}

}  // namespace doc

}  // namespace unittest
