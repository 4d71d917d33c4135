// The appearance example (custom colours, a gradient, swatches, named styles, styled art) open, the
// brand library loaded, and the document read back through its saved text.
#pragma once

#include <memory>
#include <string>

#include "PluginFixture.h"
#include "model/DocumentFormat.h"

class AppearanceTest : public PluginTest {
protected:
    void SetUp() override {
        PluginTest::SetUp();
        OpenExample("appearance.json", 13);
        std::string error;
        ASSERT_TRUE(app->LoadSwatchLibrary(
            std::string(PLIM_SOURCE_DIR) + "/examples/libraries/brand-library.json", &error))
            << error;
    }

    // The current document as its saved text reads back.
    json Saved() {
        const host::model::WriteResult written = host::model::writeDocument(*app->CurrentDocument());
        EXPECT_TRUE(written.text) << written.error;
        const host::model::ReadResult read = host::model::readDocument(written.text.value_or(""));
        EXPECT_TRUE(read.document) << read.error;
        return json::parse(written.text.value_or("{}"));
    }

    // Saves the current document in the native format and opens what was saved in its place.
    void Reopen() {
        const host::model::WriteResult written = host::model::writeDocument(*app->CurrentDocument());
        ASSERT_TRUE(written.text) << written.error;
        host::model::ReadResult read = host::model::readDocument(*written.text, 14);
        ASSERT_TRUE(read.document) << read.error;
        app->SetDocument(std::make_unique<host::model::Document>(std::move(*read.document)));
    }

    // The saved swatches by name.
    json SavedSwatch(const std::string& name) {
        for (const json& swatch : Saved().value("swatches", json::array())) {
            if (swatch.at("name") == name) {
                return swatch.at("color");
            }
        }
        return nullptr;
    }
};
