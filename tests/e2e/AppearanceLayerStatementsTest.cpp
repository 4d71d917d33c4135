// getGraphicStyle, getObjectAttributes and editGraphicStyle work on a layer or on the art a query
// finds: as the manual says, a layer is asked for by a number from 1 or by a name, and a number
// below 1 asks for none, so that the name, or without one the query, is used. Each statement is run
// as a user runs it on the poster example.
#include <string>
#include <vector>

#include "ManualStatements.h"

namespace {

// Edits the first fill of the found art, or of the layer, to the swatch "Sky".
std::string EditToSky(const std::string& where) {
    json request = json::parse(where);
    request["uiMethod"] = false;
    request["newStyle"] =
        json::parse(R"({"paintFields":[{"mode":"edit","pfIndex":1,"color":{"swatchName":"Sky"}}]})");
    return request.dump();
}

const json kNoError = {{"error", nullptr}};

std::vector<ManualStatement> Statements() {
    return {
        // The art's own appearance has paint fields; a layer's contents group has none.
        {"getGraphicStyle",
         "layer 0 and no name use the query",
         "poster.json",
         {{"getGraphicStyle", R"({"layerNumber":0,"layerName":"","tagSearch":"sun_disc"})"}},
         {{"error", nullptr}, {"tagSearch", "sun_disc"}, {"graphicStyle", {{"paintFields", "*"}}}}},
        {"getGraphicStyle",
         "a negative number uses the query",
         "poster.json",
         {{"getGraphicStyle", R"({"layerNumber":-5,"tagSearch":"sun_disc"})"}},
         {{"error", nullptr}, {"graphicStyle", {{"paintFields", "*"}}}}},
        {"getGraphicStyle",
         "layer 0 falls to the name",
         "poster.json",
         {{"getGraphicStyle", R"({"layerNumber":0,"layerName":"Art","tagSearch":"sun_disc"})"}},
         {{"error", nullptr}, {"graphicStyle", {{"paintFields", nullptr}}}}},
        {"getGraphicStyle",
         "a number beyond the layers names none",
         "poster.json",
         {{"getGraphicStyle", R"({"layerNumber":9,"tagSearch":"sun_disc"})"}},
         {{"error", "Layer not found or empty"}}},
        {"getGraphicStyle",
         "a name that names no layer",
         "poster.json",
         {{"getGraphicStyle", R"({"layerNumber":0,"layerName":"Nope","tagSearch":"sun_disc"})"}},
         {{"error", "Layer not found or empty"}}},
        {"getObjectAttributes",
         "layer 0 and no name use the query",
         "poster.json",
         {{"getObjectAttributes", R"({"layerNumber":0,"layerName":"","tagSearch":"sun"})"}},
         {{"error", nullptr}, {"objectAttributes", {{"name", "Sun"}, {"layer", "Art"}}}}},
        {"getObjectAttributes",
         "layer 0 falls to the name",
         "poster.json",
         {{"getObjectAttributes", R"({"layerNumber":0,"layerName":"Background","tagSearch":"sun"})"}},
         {{"error", nullptr}, {"objectAttributes", {{"name", "Background"}}}}},
        {"getObjectAttributes",
         "layers count from 1",
         "poster.json",
         {{"getObjectAttributes", R"({"layerNumber":3,"tagSearch":"sun"})"}},
         {{"error", nullptr}, {"objectAttributes", {{"name", "Background"}}}}},
        {"getObjectAttributes",
         "a number beyond the layers names none",
         "poster.json",
         {{"getObjectAttributes", R"({"layerNumber":4,"tagSearch":"sun"})"}},
         {{"error", "Layer not found or empty"}}},
        {"editGraphicStyle",
         "layer 0 and no name edit the found art",
         "poster.json",
         {{"editGraphicStyle", EditToSky(R"({"layerNumber":0,"layerName":"","tagSearch":"sun_disc"})")},
          {"getGraphicStyle", R"({"tagSearch":"sun_disc"})"}},
         {{"graphicStyle", {{"paintFields", {{{"color", {{"swatchName", "Sky"}}}}}}}}}},
        {"editGraphicStyle",
         "layer 0 and no name answer no error",
         "poster.json",
         {{"editGraphicStyle", EditToSky(R"({"layerNumber":0,"layerName":"","tagSearch":"sun_disc"})")}},
         kNoError},
        {"editGraphicStyle",
         "a number beyond the layers edits nothing",
         "poster.json",
         {{"editGraphicStyle", EditToSky(R"({"layerNumber":7,"tagSearch":"sun_disc"})")}},
         {{"error", "Layer not found or empty"}}},
    };
}

class LayerOrQuery : public ManualStatementTest {};

TEST_P(LayerOrQuery, Holds) {
    Check();
}

INSTANTIATE_TEST_SUITE_P(Statements, LayerOrQuery, testing::ValuesIn(Statements()), StatementName);

}  // namespace
