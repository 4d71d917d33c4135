// No exception leaves a suite function: each answers what its kind of result says of a failure, and
// the operations that use the clipping library, sent the values
// that make it throw, answer an error code and leave the document as it was.
#include <functional>
#include <new>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>

#include "AIExpand.h"
#include "AIPathfinder.h"
#include "HostFixture.h"
#include "model/DocumentFormat.h"
#include "suites/SuiteBoundary.h"

namespace {

// A closed square named name, its lower left corner at (x, x).
std::string Square(const std::string& name, double x, double side) {
    std::ostringstream json;
    json.precision(17);
    json << R"({"type": "path", "name": ")" << name << R"(", "closed": true, "segments": [)";
    json << "{\"anchor\": [" << x << ", " << x << "]}, {\"anchor\": [" << x + side << ", " << x << "]}, ";
    json << "{\"anchor\": [" << x + side << ", " << x + side << "]}, {\"anchor\": [" << x << ", " << x + side
         << "]}]}";
    return json.str();
}

// A document of one layer holding the children (JSON objects).
std::string Layer(const std::string& children) {
    return R"({"format": "plimhost-document", "version": 1, "layers": [{"type": "layer", "title": "L",
               "children": [)" +
           children + "]}]}";
}

struct BoundaryCase {
    const char* name;
    std::string document;
    // Runs the operation on the art named "A" and "B" (null when absent) and answers its result.
    std::function<AIErr(const SPBasicSuite&, AIArtHandle, AIArtHandle)> operation;
};

AIErr Unite(const SPBasicSuite& basic, AIArtHandle a, AIArtHandle b) {
    const auto* pathfinder =
        hosttest::Acquire<AIPathfinderSuite>(basic, kAIPathfinderSuite, kAIPathfinderSuiteVersion);
    AIArtHandle operands[] = {a, b};
    AIPathfinderData data{};
    data.operands = operands;
    data.operandCount = 2;
    AIFilterMessage message{};
    return pathfinder->DoUniteEffect(&data, &message);
}

AIErr ExpandStroke(const SPBasicSuite& basic, AIArtHandle a, AIArtHandle) {
    const auto* expand = hosttest::Acquire<AIExpandSuite>(basic, kAIExpandSuite, kAIExpandSuiteVersion);
    return expand->Expand(a, kExpandStroke, 0);
}

class SuiteBoundary : public hosttest::HostTest, public testing::WithParamInterface<BoundaryCase> {
protected:
    AIArtHandle Named(const std::string& name) {
        host::Document& document = *app->CurrentDocument();
        for (const host::model::ArtId id : document.documentOrder()) {
            if (document.name(id).ok() && document.name(id)->text == name) {
                return reinterpret_cast<AIArtHandle>(static_cast<std::uintptr_t>(id.value));
            }
        }
        return nullptr;
    }
};

TEST_P(SuiteBoundary, AnswersAnErrorAndChangesNothing) {
    host::model::ReadResult read = host::model::readDocument(GetParam().document, 1);
    ASSERT_TRUE(read.document) << read.error;
    app->SetDocument(std::make_unique<host::Document>(std::move(*read.document)));
    const std::optional<std::string> before = host::model::writeDocument(*app->CurrentDocument()).text;
    ASSERT_TRUE(before);

    EXPECT_NE(GetParam().operation(app->BasicSuite(), Named("A"), Named("B")), kNoErr);

    EXPECT_EQ(host::model::writeDocument(*app->CurrentDocument()).text, before);
    // The application goes on serving.
    EXPECT_EQ(Unite(app->BasicSuite(), nullptr, nullptr), kBadParameterErr);
}

// The clipping library works on integers of 1/1000 point and throws beyond about 4.6e15 points.
INSTANTIATE_TEST_SUITE_P(
    ExtremeValues, SuiteBoundary,
    testing::Values(BoundaryCase{"PathfinderBeyondTheClippingRange",
                                 Layer(Square("A", 5e15, 10) + ", " + Square("B", 5e15, 20)), Unite},
                    BoundaryCase{"ExpandOfAStrokeWiderThanTheClippingRange",
                                 Layer(R"({"type": "path", "name": "A", "style": {"paintFields": [{"stroke":
                              {"color": {"gray": 1}, "width": 1e17}}]},
                              "segments": [{"anchor": [0, 0]}, {"anchor": [10, 0]}]})"),
                                 ExpandStroke}),
    [](const testing::TestParamInfo<BoundaryCase>& info) { return std::string(info.param.name); });

// --- The boundary itself ---------------------------------------------------------------------------

[[noreturn]] void ThrowNoMemory() {
    throw std::bad_alloc();
}
[[noreturn]] void ThrowRuntime() {
    throw std::runtime_error("broken");
}
AIErr ErrorOf(void (*thrower)()) {
    thrower();
    return kNoErr;
}
AIBoolean BooleanOf(void (*thrower)()) {
    thrower();
    return true;
}
ai::int32 CountOf(void (*thrower)()) {
    thrower();
    return 7;
}

TEST_F(SuiteBoundary, StopsEveryExceptionWithTheAnswerOfItsKind) {
    EXPECT_EQ((host::Guarded<"Memory", ErrorOf>(ThrowNoMemory)), kSPOutOfMemoryError);
    EXPECT_EQ((host::Guarded<"Runtime", ErrorOf>(ThrowRuntime)), kCantHappenErr);
    EXPECT_EQ((host::Guarded<"Boolean", BooleanOf>(ThrowRuntime)), false);
    EXPECT_EQ((host::GuardedCount<"Count", CountOf>(ThrowNoMemory)), 0);
    host::Guarded<"Nothing", ThrowRuntime>();
    EXPECT_EQ((host::Guarded<"Calm", CountOf>([] {})), 7);

    EXPECT_EQ(app->Journal().Count("SuiteException"), 5u);
    EXPECT_TRUE(app->Journal().Contains("SuiteException(Runtime, broken)"));
    EXPECT_EQ(app->Journal().Find("SuiteException").front().result, kSPOutOfMemoryError);
}

}  // namespace
