// "arrange", "duplicate" and "z-order" on the shapes example: stacking read back from the saved
// document, copies numbered as a series, moves, and the error replies.
#include "ManualStatements.h"
#include "StructureFixture.h"

namespace {

using structuretest::StructureTest;
using structuretest::TagsOf;

using Strings = std::vector<std::string>;

const Strings kShapes = {"Blue", "Red",  "Green",  "Lime",   "Word",  "Picture",
                         "Pair", "Ring", "Nested", "Window", "Circle"};

Strings Front(const Strings& names, std::size_t count) {
    return Strings(names.begin(), names.begin() + static_cast<std::ptrdiff_t>(std::min(count, names.size())));
}

// --- arrange ------------------------------------------------------------------------------------------

struct ArrangeCase {
    const char* name;
    const char* request;
    Strings front;  // the first names of layer "Shapes" afterwards
};

void PrintTo(const ArrangeCase& c, std::ostream* out) {
    *out << c.name;
}

class ArrangeOrders : public StructureTest, public testing::WithParamInterface<ArrangeCase> {};

TEST_P(ArrangeOrders, RestackAmongSiblings) {
    const json reply = ScriptJson("arrange", GetParam().request);
    EXPECT_FALSE(reply.contains("error")) << reply;
    EXPECT_EQ(Front(Layer("Shapes"), GetParam().front.size()), GetParam().front);
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, ArrangeOrders,
    testing::Values(
        ArrangeCase{"toFront", R"({"tagSearch":"red","order":"moveToFront"})", {"Red", "Blue", "Green"}},
        ArrangeCase{"alreadyInFront", R"({"tagSearch":"blue","order":"moveToFront"})", {"Blue", "Red"}},
        ArrangeCase{"twoForwardTogether",
                    R"({"tagSearch":"greens","order":"moveForward"})",
                    {"Blue", "Green", "Lime", "Red", "Word"}},
        ArrangeCase{"backward", R"({"tagSearch":"blue","order":"moveBackward"})", {"Red", "Blue", "Green"}},
        ArrangeCase{"toBack", R"({"tagSearch":"blue|red","order":"moveToBack"})", {"Green", "Lime"}},
        ArrangeCase{"insideAGroup", R"({"tagSearch":"member","order":"moveToBack"})", kShapes}),
    [](const auto& info) { return std::string(info.param.name); });

using Arrange = StructureTest;

TEST_F(Arrange, ToBackPutsTheArtLastInItsOrder) {
    Script("arrange", R"({"tagSearch":"red|blue","order":"moveToBack"})");
    const Strings shapes = Layer("Shapes");
    EXPECT_EQ(Strings(shapes.end() - 2, shapes.end()), (Strings{"Blue", "Red"}));
}

TEST_F(Arrange, MovesAWholeLayer) {
    const json reply = ScriptJson("arrange", R"({"layerName":"Back","order":"moveToFront","uid":"x"})");
    EXPECT_EQ(reply,
              (json{{"eventType", "arrange"}, {"layerName", "Back"}, {"tagSearch", ""}, {"uid", "x"}}));
    EXPECT_EQ(LayerTitles(), (Strings{"Back", "Shapes"}));
}

struct ErrorCase {
    const char* name;
    const char* command;
    const char* request;
    const char* key;
    const char* text;
};

void PrintTo(const ErrorCase& c, std::ostream* out) {
    *out << c.name;
}

class StackingErrors : public StructureTest, public testing::WithParamInterface<ErrorCase> {};

TEST_P(StackingErrors, AnswerAndChangeNothing) {
    const json before = Saved();
    const json reply = ScriptJson(GetParam().command, GetParam().request);
    EXPECT_EQ(reply.value(GetParam().key, ""), GetParam().text) << reply;
    EXPECT_EQ(Saved(), before);
}

INSTANTIATE_TEST_SUITE_P(
    Replies, StackingErrors,
    testing::Values(
        ErrorCase{"arrangeNothing", "arrange", R"({"order":"moveToFront"})", "error", "No artwork found"},
        ErrorCase{"arrangeNotFound", "arrange", R"({"tagSearch":"nothing","order":"moveToFront"})", "error",
                  "No artwork found"},
        ErrorCase{"arrangeBadOrder", "arrange", R"({"tagSearch":"red","order":"MoveToFront"})", "error",
                  "Order not found"},
        ErrorCase{"arrangeNoLayer", "arrange", R"({"layerName":"Nope","order":"moveToFront"})", "error",
                  "Layer not found"},
        ErrorCase{"duplicateNoSource", "duplicate", R"({"tagSearch":"nothing"})", "error",
                  "No source artwork found"},
        ErrorCase{"duplicateNoQuery", "duplicate", "{}", "error", "No source artwork found"},
        ErrorCase{"duplicateNoDocument", "duplicate", R"({"tagSearch":"red","documentNumber":4})", "error",
                  "Target document not found"},
        ErrorCase{"duplicateNoLayer", "duplicate", R"({"tagSearch":"red","targetLayerName":"Nope"})", "error",
                  "Target layer not found"},
        ErrorCase{"duplicateNoCopies", "duplicate", R"({"tagSearch":"red","numberOfCopies":0})", "error",
                  "The number of copies must be from 1 to 10000"},
        ErrorCase{"duplicateNegativeCopies", "duplicate", R"({"tagSearch":"red","numberOfCopies":-3})",
                  "error", "The number of copies must be from 1 to 10000"},
        ErrorCase{"duplicateTooManyCopies", "duplicate", R"({"tagSearch":"red","numberOfCopies":2000000000})",
                  "error", "The number of copies must be from 1 to 10000"},
        ErrorCase{"moveIntoItself", "z-order", R"({"tagSearch":"pair","targetTagSearch":"member"})", "error",
                  "The target lies in the art to move"},
        ErrorCase{"moveNextToItself", "z-order", R"({"tagSearch":"red","targetTagSearch":"red"})", "error",
                  "The target lies in the art to move"}),
    [](const auto& info) { return std::string(info.param.name); });

// --- duplicate and z-order -------------------------------------------------------------------------------

using Duplicate = StructureTest;

TEST_F(Duplicate, CopiesAreNumberedAfterTheOriginal) {
    const json reply =
        ScriptJson("duplicate", R"({"tagSearch":"red","numberOfCopies":3,"seriesTag":"c","tags":["copy"]})");
    EXPECT_EQ(reply, (json{{"eventType", "duplicate"},
                           {"replace", false},
                           {"tagSearch", "red"},
                           {"tags", {"copy"}},
                           {"targetTagSearch", ""}}));
    // Above all, top to bottom in the order of their numbers.
    EXPECT_EQ(Front(Layer("Shapes"), 5), (Strings{"Red", "Red", "Red", "Blue", "Red"}));
    const std::vector<json> reds = Tagged("red");
    ASSERT_EQ(reds.size(), 4u);
    EXPECT_EQ(TagsOf(reds[0]), (std::set<std::string>{"red", "square", "copy", "c2"}));
    EXPECT_EQ(TagsOf(reds[1]), (std::set<std::string>{"red", "square", "copy", "c3"}));
    EXPECT_EQ(TagsOf(reds[2]), (std::set<std::string>{"red", "square", "copy", "c4"}));
    EXPECT_EQ(TagsOf(reds[3]), (std::set<std::string>{"red", "square", "copy", "c1"}));
}

TEST_F(Duplicate, WithoutTaggingTheOriginalTheCopiesStartTheSeries) {
    Script("duplicate", R"({"tagSearch":"red","numberOfCopies":2,"seriesTag":"c","tagOriginal":false})");
    EXPECT_EQ(Tagged("c1").size(), 1u);
    EXPECT_EQ(Tagged("c2").size(), 1u);
    // The original comes last in document order and keeps only its own tags.
    EXPECT_EQ(TagsOf(Tagged("red").back()), (std::set<std::string>{"red", "square"}));
    EXPECT_TRUE(Tagged("c3").empty());
}

TEST_F(Duplicate, ReplaceGivesTheOriginalOnlyTheRequestsTags) {
    Script("duplicate", R"({"tagSearch":"green","tags":["t"],"replace":true,"seriesTag":"s"})");
    const std::vector<json> tagged = Tagged("t");
    ASSERT_EQ(tagged.size(), 2u);
    EXPECT_EQ(TagsOf(tagged[0]), (std::set<std::string>{"t", "s2"}));
    EXPECT_EQ(TagsOf(tagged[1]), (std::set<std::string>{"t", "s1"}));
}

TEST_F(Duplicate, EverySourceIsATargetWhenAskedSo) {
    Script("duplicate", R"({"tagSearch":"square","useSingleTarget":false,"tags":["x"]})");
    EXPECT_EQ(Tagged("square").size(), 2u + 4u);
}

TEST_F(Duplicate, CopiesGoBelowATargetInAnotherLayer) {
    Script("duplicate", R"({"tagSearch":"square","targetTagSearch":"floor","location":"below"})");
    EXPECT_EQ(Layer("Back"), (Strings{"Floor", "Blue", "Red"}));
    EXPECT_EQ(Front(Layer("Shapes"), 2), (Strings{"Blue", "Red"}));
}

using ZOrder = StructureTest;

TEST_F(ZOrder, MovesTheArtIntoATargetLayer) {
    const json reply =
        ScriptJson("z-order", R"({"tagSearch":"picture","targetLayerName":"Back","location":"insideOnTop"})");
    EXPECT_EQ(reply["eventType"], "move");
    EXPECT_FALSE(reply.contains("error"));
    EXPECT_EQ(Layer("Back"), (Strings{"Picture", "Floor"}));
    const Strings shapes = Layer("Shapes");
    EXPECT_EQ(std::count(shapes.begin(), shapes.end(), "Picture"), 0);
}

TEST_F(ZOrder, ASourceWhoseCopyFailedStays) {
    app->Faults().FailOperation("AI Art Suite", "DuplicateArt", kBadParameterErr, 2);
    const json reply = ScriptJson("z-order", R"({"tagSearch":"square","targetTagSearch":"floor"})");
    EXPECT_FALSE(reply.contains("error"));
    EXPECT_EQ(Layer("Back"), (Strings{"Blue", "Floor"}));
    EXPECT_EQ(Front(Layer("Shapes"), 2), (Strings{"Red", "Green"}));
}

TEST_F(ZOrder, NothingCopiedIsAnErrorAndNothingIsRemoved) {
    app->Faults().FailOperation("AI Art Suite", "DuplicateArt", kBadParameterErr);
    const json before = Saved();
    const json reply = ScriptJson("z-order", R"({"tagSearch":"square","targetTagSearch":"floor"})");
    EXPECT_EQ(reply["error"], "No artwork could be copied");
    app->Faults().Clear();
    EXPECT_EQ(Saved(), before);
}

// Every z-order reply says "move", as the manual says: a success, a failure the command finds, a
// request that fails by a key's type or can't be read, by script and as a batch entry.
std::vector<ManualStatement> ZOrderStatements() {
    const json failed = {{"eventType", "move"}, {"error", "*"}};
    return {
        {"z-order",
         "a move answers move",
         "poster.json",
         {{"z-order", R"({"tagSearch":"sun","targetTagSearch":"balloons","location":"below"})"}},
         {{"eventType", "move"}, {"error", nullptr}}},
        {"z-order",
         "no source answers move",
         "poster.json",
         {{"z-order", R"({"tagSearch":"nothing_here"})"}},
         failed},
        {"z-order",
         "a count of another type answers move",
         "poster.json",
         {{"z-order", R"({"tagSearch":"sun","numberOfCopies":"2"})"}},
         failed},
        {"z-order",
         "a uid of another type answers move",
         "poster.json",
         {{"z-order", R"({"uid":5})"}},
         failed},
        {"z-order", "a request that is no JSON answers move", "poster.json", {{"z-order", "{"}}, failed},
        {"z-order",
         "a batch entry of another type answers move",
         "poster.json",
         {{"batchCall",
           R"({"data":[{"eventType":"com.torvi.event.z-order","data":{"tagSearch":"sun","numberOfCopies":"2"}}]})"}},
         {{"data", {{{"data", failed}}}}}},
    };
}

class ZOrderReplies : public ManualStatementTest {};

TEST_P(ZOrderReplies, Hold) {
    Check();
}

INSTANTIATE_TEST_SUITE_P(Statements, ZOrderReplies, testing::ValuesIn(ZOrderStatements()), StatementName);

}  // namespace
