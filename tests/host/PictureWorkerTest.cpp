// The job's worker: the pictures of one job are drawn one after another by one process that outlives
// each of them, each under its own bound, with its own result; a change of the document between them
// is drawn, a picture killed at its bound takes its worker with it and the next is drawn by another,
// and the worker ends with its job.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/Document.h"
#include "render/PictureProcess.h"
#include "render/Renderer.h"

namespace {

using host::PictureOutput;
using host::PictureResult;
using host::model::ArtId;
using host::model::Document;
using namespace std::chrono_literals;

// --- Pictures of a document -----------------------------------------------------------------------

// A square filling the picture of 20 points, in the colour.
ArtId AddSquare(Document& document, double red, double green, double blue) {
    using host::model::Point;
    using host::model::Segment;
    const ArtId layer = *document.layers().group(document.layers().first());
    const ArtId path =
        *document.newArt(host::model::ArtType::path, host::model::PaintOrder::insideOnTop, layer);
    host::model::PathGeometry& geometry = document.editContent<host::model::PathContent>(path)->geometry;
    geometry.closed = true;
    geometry.segments = {Segment{Point{0, 0}, Point{0, 0}, Point{0, 0}, false},
                         Segment{Point{20, 0}, Point{20, 0}, Point{20, 0}, false},
                         Segment{Point{20, 20}, Point{20, 20}, Point{20, 20}, false},
                         Segment{Point{0, 20}, Point{0, 20}, Point{0, 20}, false}};
    document.setStyle(path, host::model::ArtStyle::basic(host::model::Color::rgb(red, green, blue),
                                                         host::model::Color::rgb(red, green, blue), 0.0));
    return path;
}

// The middle pixel of the document's picture of 20 points, as red, green and blue.
std::vector<int> Middle(const Document& document) {
    const std::optional<host::model::RasterPixels> pixels =
        host::RenderArt(document, host::LayerGroupsBottomFirst(document), {0.0, 20.0, 20.0, 0.0}, {});
    if (!pixels || pixels->width != 20) {
        return {};
    }
    const std::uint8_t* middle = &pixels->bytes[(10 * 20 + 10) * 3];
    return {middle[0], middle[1], middle[2]};
}

// What happens to the document between its pictures.
enum class Between { nothing, recoloured, grown, selected };

struct DocumentCase {
    const char* name;
    Between between;
    bool sameWorker;  // the second picture is drawn by the worker of the first
};

const DocumentCase kDocumentCases[] = {
    {"Unchanged", Between::nothing, true},
    // A document small enough is handed to the worker; the second picture shows the change.
    {"RecolouredIsHandedOver", Between::recoloured, true},
    {"SelectedIsHandedOver", Between::selected, true},
    // Too large to be handed over: a worker is started that holds it as it is now.
    {"GrownPastWhatIsHandedOverStartsAnother", Between::grown, false},
};

class PictureWorkerDocuments : public testing::TestWithParam<DocumentCase> {};

TEST_P(PictureWorkerDocuments, DrawTheDocumentAsItIsAtEachPicture) {
    const DocumentCase& c = GetParam();
    Document document(std::uint64_t{7});
    const ArtId square = AddSquare(document, 1.0, 0.0, 0.0);
    int first = 0;
    {
        const host::PictureJob job;
        EXPECT_EQ(Middle(document), (std::vector<int>{255, 0, 0}));
        first = host::PictureWorkerProcess();
        ASSERT_GT(first, 0);
        std::vector<int> expected{255, 0, 0};
        switch (c.between) {
            case Between::nothing:
                break;
            case Between::recoloured:
                document.setStyle(square,
                                  host::model::ArtStyle::basic(host::model::Color::rgb(0.0, 0.0, 1.0),
                                                               host::model::Color::rgb(0.0, 0.0, 1.0), 0.0));
                expected = {0, 0, 255};
                break;
            case Between::selected:
                document.setAttributes(square, host::model::attribute::selected,
                                       host::model::attribute::selected);
                break;
            case Between::grown:
                // Green squares over the red one.
                for (int i = 0; i < 2500; ++i) {
                    AddSquare(document, 0.0, 1.0, 0.0);
                }
                expected = {0, 255, 0};
                break;
        }
        EXPECT_EQ(Middle(document), expected);
        EXPECT_EQ(host::PictureWorkerProcess() == first, c.sameWorker);
        EXPECT_EQ(Middle(document), expected);
    }
    // The worker ended with its job, reaped.
    EXPECT_EQ(host::PictureWorkerProcess(), 0);
    EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1);
}

INSTANTIATE_TEST_SUITE_P(Changes, PictureWorkerDocuments, testing::ValuesIn(kDocumentCases),
                         [](const auto& info) { return std::string(info.param.name); });

// --- Pictures of recipes --------------------------------------------------------------------------

// Takes the CPU time the recipe names in milliseconds (none: for ever), then hands the recipe back.
bool TakeThenAnswer(std::string_view recipe, PictureOutput& output, std::string&) {
    const std::int64_t milliseconds = recipe.empty() ? -1 : std::stoll(std::string(recipe));
    const std::int64_t start = host::ProcessCpuNanoseconds();
    while (milliseconds < 0 || host::ProcessCpuNanoseconds() - start < milliseconds * 1'000'000) {
    }
    return output.Write(recipe);
}

const int kHeld = 0;

PictureResult DrawRecipe(const std::string& recipe, const host::PictureLoad& load = {}) {
    return host::DrawPictureInWorker(
        TakeThenAnswer, [&](bool) { return std::optional<std::string>(recipe); }, {&kHeld, 1}, load);
}

// Each picture of a job: what it takes (milliseconds of CPU time; empty: it never ends), what it
// holds, how it ends, and whether it is drawn by the worker of the picture before.
struct Step {
    const char* recipe;
    std::size_t objects;
    PictureResult::End end;
    bool sameWorker;
};

struct JobCase {
    const char* name;
    std::vector<Step> steps;
};

// The bound is 1 s of CPU time; 1,600 objects allow a picture half a second more, and pictures
// that take less than their allowance leave the job's base whole.
const JobCase kJobCases[] = {
    // Each takes a sixth of its own bound, and they take more than the bound together: each is
    // drawn, by the one worker.
    {"QuickOnesShareTheWorker",
     {{"150", 1600, PictureResult::End::made, false},
      {"150", 1600, PictureResult::End::made, true},
      {"150", 1600, PictureResult::End::made, true},
      {"150", 1600, PictureResult::End::made, true},
      {"150", 1600, PictureResult::End::made, true},
      {"150", 1600, PictureResult::End::made, true},
      {"330", 0, PictureResult::End::made, true}}},
    // After quick ones, one that never ends is stopped at its own bound, and takes its worker with
    // it: the next is drawn by another.
    {"OneKilledAfterQuickOnesTakesItsWorkerOnly",
     {{"150", 1600, PictureResult::End::made, false},
      {"150", 1600, PictureResult::End::made, true},
      {"", 0, PictureResult::End::beyond, true},
      {"10", 1600, PictureResult::End::made, false},
      {"10", 1600, PictureResult::End::made, true}}},
};

class PictureWorkerJobs : public testing::TestWithParam<JobCase> {
protected:
    void TearDown() override { host::SetPictureBound({}); }
};

TEST_P(PictureWorkerJobs, DrawEachPictureUnderItsOwnBound) {
    host::SetPictureBound({1s, std::size_t{1} << 30, 60s});
    testing::internal::CaptureStderr();
    {
        const host::PictureJob job;
        int worker = 0;
        for (std::size_t i = 0; i < GetParam().steps.size(); ++i) {
            const Step& step = GetParam().steps[i];
            host::PictureLoad load;
            load.objects = step.objects;
            const int before = worker;
            const PictureResult result = DrawRecipe(step.recipe, load);
            ASSERT_EQ(result.end, step.end) << i << ": " << result.failure;
            if (result.made()) {
                EXPECT_EQ(result.bytes.view(), step.recipe) << i;
                worker = host::PictureWorkerProcess();
                EXPECT_EQ(worker == before, step.sameWorker) << i;
            } else {
                EXPECT_NE(result.failure.find("more than the 1 s of CPU time the picture may take"),
                          std::string::npos)
                    << result.failure;
                EXPECT_EQ(host::PictureWorkerProcess(), 0) << i;
                worker = 0;
            }
        }
    }
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(host::PictureWorkerProcess(), 0);
    EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1);
}

INSTANTIATE_TEST_SUITE_P(Jobs, PictureWorkerJobs, testing::ValuesIn(kJobCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
