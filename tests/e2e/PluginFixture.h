// A started plug-in in a started application, as the tests' common ground.
#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <lodepng.h>
#include <nlohmann/json.hpp>

#include "host/Application.h"
#include "model/DocumentFormat.h"

using json = nlohmann::json;

inline host::ApplicationOptions PluginOptions() {
    host::ApplicationOptions options;
    options.applicationFolder = PLIM_BIN_DIR;
    options.pluginPath = PLIM_PLUGIN_PATH;
    return options;
}

// The art of the document carrying the tag, in document order.
inline std::vector<host::model::ArtId> ArtTagged(const host::model::Document& document,
                                                 std::string_view tag) {
    std::vector<host::model::ArtId> found;
    for (const host::model::ArtId art : document.documentOrder()) {
        const host::model::TagList* tags = document.tags(art);
        if (tags == nullptr) {
            continue;
        }
        for (const host::model::TagEntry& entry : tags->entries()) {
            if (entry.value == tag) {
                found.push_back(art);
            }
        }
    }
    return found;
}

// A picture the plug-in exported to PNG, decoded to 8-bit RGB.
struct ExportedPicture {
    unsigned width = 0;
    unsigned height = 0;
    std::vector<unsigned char> rgb;

    // The pixel at a point of a picture exported at one pixel a point, the point counted from the
    // artboard's bottom-left corner: its red, green and blue.
    const unsigned char* At(double x, double y) const {
        const auto column = static_cast<std::size_t>(x);
        const auto row = static_cast<std::size_t>(static_cast<double>(height) - y);
        return &rgb[(row * width + column) * 3];
    }
};

class PluginTest : public testing::Test {
protected:
    void SetUp() override {
        app = std::make_unique<host::Application>(PluginOptions());
        ASSERT_EQ(app->Startup(), kNoErr) << app->LoadError();
        ASSERT_EQ(app->NotifyApplicationStarted(), kNoErr);
        ASSERT_EQ(app->NotifyPanelLibraryReady(), kNoErr);
    }

    // Makes a document of examples/ (by its file name) the current document, its new UUIDs drawn
    // from the seed.
    void OpenExample(const std::string& file, std::uint64_t seed) {
        OpenDocument(std::string(PLIM_SOURCE_DIR) + "/examples/" + file, seed);
    }
    void OpenDocument(const std::string& path, std::uint64_t seed) {
        auto opened = host::model::openDocument(path, seed);
        ASSERT_TRUE(opened.document) << opened.error;
        app->SetDocument(std::make_unique<host::model::Document>(std::move(*opened.document)));
    }
    // Opens the native-format file as a user does: a document of its own, kept with its path (what
    // commands that save, revert or export name it by).
    void OpenDocumentFile(const std::string& path, std::uint64_t seed) {
        auto opened = host::model::openDocument(path, seed);
        ASSERT_TRUE(opened.document) << opened.error;
        app->OpenDocument(std::make_unique<host::model::Document>(std::move(*opened.document)), path);
    }
    // Makes the document of the native-format text the current document.
    void OpenDocumentText(std::string_view text, std::uint64_t seed) {
        auto read = host::model::readDocument(text, seed);
        ASSERT_TRUE(read.document) << read.error;
        app->SetDocument(std::make_unique<host::model::Document>(std::move(*read.document)));
    }

    // The reply text of a script message; the message itself must succeed.
    std::string Script(const std::string& name, const std::string& request = "{}") {
        host::ScriptResult result = app->ScriptMessage(name, request);
        EXPECT_EQ(result.error, kNoErr) << name;
        return result.output;
    }

    json ScriptJson(const std::string& name, const std::string& request = "{}") {
        return json::parse(Script(name, request));
    }

    // Exports the current document's first artboard to folder/out.png at 72 pixels per inch and
    // decodes it; an empty picture when the export or the decoding failed (a test failure then).
    ExportedPicture ExportFirstArtboardPng(const std::filesystem::path& folder) {
        const json request = {{"formats", {"png"}},
                              {"artboardRange", "1"},
                              {"folderPath", folder.string()},
                              {"fileName", "out"}};
        const json reply = ScriptJson("exportFile", request.dump());
        EXPECT_EQ(reply["Results"][0]["exportSuccessful"], true) << reply.dump();
        ExportedPicture picture;
        EXPECT_EQ(lodepng::decode(picture.rgb, picture.width, picture.height, (folder / "out.png").string(),
                                  LCT_RGB, 8),
                  0u);
        return picture;
    }

    std::unique_ptr<host::Application> app;
};
