// The job's worker: the pictures of one job are drawn one after another by one process that outlives
// each of them, each under its own bound, with its own result; a change of the document between them
// is drawn, a picture killed at its bound takes its worker with it and the next is drawn by another,
// and the worker ends with its job.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

#include "ProgramRun.h"
#include "VectorWriters.h"
#include "model/Document.h"
#include "render/PictureProcess.h"
#include "render/Renderer.h"

namespace {

using host::PictureOutput;
using host::PictureResult;
using host::model::ArtId;
using host::model::Document;
namespace model = host::model;
using namespace std::chrono_literals;

// --- Pictures of a document -----------------------------------------------------------------------

// A fill and stroke of the colour.
model::ArtStyle Plain(double red, double green, double blue) {
    const model::Color colour = model::Color::rgb(red, green, blue);
    return model::ArtStyle::basic(colour, colour, 0.0);
}

// A square filling the picture of 20 points, in the colour.
ArtId AddSquare(Document& document, double red, double green, double blue) {
    const ArtId layer = *document.layers().group(document.layers().first());
    const ArtId path = *document.newArt(model::ArtType::path, model::PaintOrder::insideOnTop, layer);
    model::PathGeometry& geometry = document.editContent<model::PathContent>(path)->geometry;
    geometry.closed = true;
    for (const model::Point corner : {model::Point{0, 0}, {20, 0}, {20, 20}, {0, 20}}) {
        geometry.segments.push_back(model::Segment{corner, corner, corner, false});
    }
    document.setStyle(path, Plain(red, green, blue));
    return path;
}

// The middle pixel of the document's picture of 20 points, as red, green and blue.
std::vector<int> Middle(const Document& document) {
    const std::optional<model::RasterPixels> pixels =
        host::RenderArt(document, host::LayerGroupsBottomFirst(document), {0.0, 20.0, 20.0, 0.0}, {});
    if (!pixels || pixels->width != 20) {
        return {};
    }
    const std::uint8_t* middle = &pixels->bytes[(10 * 20 + 10) * 3];
    return {middle[0], middle[1], middle[2]};
}

// What happens to the document between its pictures, and the middle pixel after it.
struct DocumentCase {
    const char* name;
    void (*change)(Document&, ArtId square);
    std::vector<int> middle;
    bool sameWorker;  // the second picture is drawn by the worker of the first
};

constexpr auto kSelected = model::attribute::selected;

// clang-format off
const DocumentCase kDocumentCases[] = {
    {"Unchanged", [](Document&, ArtId) {}, {255, 0, 0}, true},
    // A document small enough is handed to the worker; the second picture shows the change.
    {"RecolouredIsHandedOver", [](Document& d, ArtId square) { d.setStyle(square, Plain(0, 0, 1)); },
     {0, 0, 255}, true},
    {"SelectedIsHandedOver", [](Document& d, ArtId square) { d.setAttributes(square, kSelected, kSelected); },
     {255, 0, 0}, true},
    // Too large to be handed over (green squares over the red one): a worker is started that holds
    // it as it is now.
    {"GrownPastWhatIsHandedOverStartsAnother",
     [](Document& d, ArtId) { for (int i = 0; i < 2500; ++i) { AddSquare(d, 0, 1, 0); } },
     {0, 255, 0}, false},
};
// clang-format on

// The worker ends with its job, reaped.
void ExpectNoWorker() {
    EXPECT_EQ(host::PictureWorkerProcess(), 0);
    EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1);
}

class PictureWorkerDocuments : public testing::TestWithParam<DocumentCase> {};

TEST_P(PictureWorkerDocuments, DrawTheDocumentAsItIsAtEachPicture) {
    const DocumentCase& c = GetParam();
    Document document(std::uint64_t{7});
    const ArtId square = AddSquare(document, 1.0, 0.0, 0.0);
    {
        const host::PictureJob job;
        EXPECT_EQ(Middle(document), (std::vector<int>{255, 0, 0}));
        const int first = host::PictureWorkerProcess();
        ASSERT_GT(first, 0);
        c.change(document, square);
        EXPECT_EQ(Middle(document), c.middle);
        EXPECT_EQ(host::PictureWorkerProcess() == first, c.sameWorker);
        EXPECT_EQ(Middle(document), c.middle);
    }
    ExpectNoWorker();
}

INSTANTIATE_TEST_SUITE_P(Changes, PictureWorkerDocuments, testing::ValuesIn(kDocumentCases),
                         [](const auto& info) { return std::string(info.param.name); });

// The CPU time of the children this process has reaped.
double ReapedChildrenSeconds() {
    rusage usage{};
    ::getrusage(RUSAGE_CHILDREN, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
}

// A job's vector copies are drawn by its worker too, beside its pictures of pixels, each from the
// document as it is at the copy (here carried to the worker: it changed since the worker started).
TEST(PictureWorkerCopies, AreDrawnByTheJobsWorker) {
    Document document(std::uint64_t{7});
    const ArtId square = AddSquare(document, 1.0, 0.0, 0.0);
    const testsupport::ScratchFolder folder{"worker_copies"};
    {
        const host::PictureJob job;
        EXPECT_EQ(Middle(document), (std::vector<int>{255, 0, 0}));
        const int worker = host::PictureWorkerProcess();
        const double reaped = ReapedChildrenSeconds();
        document.setStyle(square, Plain(0, 0, 1));
        for (const auto& [format, name, start] : {std::tuple{host::kSvgFormatName, "copy.svg", "<?xml"},
                                                  std::tuple{host::kPdfFormatName, "copy.pdf", "%PDF-"},
                                                  std::tuple{host::kEpsFormatName, "copy.eps", "%!PS"}}) {
            std::string error;
            ASSERT_TRUE(host::WriteVectorCopy(document, folder.Path() / name, format, {}, {}, &error))
                << error;
            const std::string text = testsupport::ReadFile(folder.Path() / name);
            EXPECT_EQ(text.rfind(start, 0), 0u) << name;
            EXPECT_EQ(host::PictureWorkerProcess(), worker) << name;
            if (format == host::kSvgFormatName) {
                EXPECT_NE(text.find("fill:rgb(0%,0%,100%)"), std::string::npos) << text;
            }
        }
        EXPECT_EQ(ReapedChildrenSeconds(), reaped);  // no process of its own was forked for one
    }
    ExpectNoWorker();
}

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

constexpr auto kMade = PictureResult::End::made;
constexpr auto kBeyond = PictureResult::End::beyond;

// The bound is 1 s of CPU time; 1,600 objects allow a picture half a second more, and pictures
// that take less than their allowance leave the job's base whole.
// clang-format off
const JobCase kJobCases[] = {
    // Each takes a sixth of its own bound, and they take more than the bound together: each is
    // drawn, by the one worker.
    {"QuickOnesShareTheWorker",
     {{"150", 1600, kMade, false}, {"150", 1600, kMade, true}, {"150", 1600, kMade, true},
      {"150", 1600, kMade, true}, {"150", 1600, kMade, true}, {"150", 1600, kMade, true},
      {"330", 0, kMade, true}}},
    // After quick ones, one that never ends is stopped at its own bound, and takes its worker with
    // it: the next is drawn by another.
    {"OneKilledAfterQuickOnesTakesItsWorkerOnly",
     {{"150", 1600, kMade, false}, {"150", 1600, kMade, true}, {"", 0, kBeyond, true},
      {"10", 1600, kMade, false}, {"10", 1600, kMade, true}}},
};
// clang-format on

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
            const PictureResult result = host::DrawPictureInWorker(
                TakeThenAnswer, [&](bool) { return std::optional<std::string>(step.recipe); }, {&kHeld, 1},
                load);
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
    ExpectNoWorker();
}

INSTANTIATE_TEST_SUITE_P(Jobs, PictureWorkerJobs, testing::ValuesIn(kJobCases),
                         [](const auto& info) { return std::string(info.param.name); });

// --- The pictures' results ------------------------------------------------------------------------

// Writes as many of the recipe's first character as the number after it.
bool Repeat(std::string_view recipe, PictureOutput& output, std::string&) {
    return output.Write(std::string(std::stoull(std::string(recipe.substr(1))), recipe[0]));
}

// The results of a job's pictures, some kept while the next ones are drawn (the worker writes each
// result to a file it keeps for the next): each holds what its own picture wrote, whatever the
// pictures after it wrote, and nothing of a larger one before it, beyond the largest result kept.
TEST(PictureWorkerResults, HoldWhatTheirOwnPictureWrote) {
    const std::pair<const char*, bool> pictures[] = {{"a300000", true},   {"b10", false}, {"c5", false},
                                                     {"d70000000", true}, {"e20", false}, {"f300000", true},
                                                     {"g1", false}};
    const auto written = [](std::string_view recipe) {
        return std::string(std::stoull(std::string(recipe.substr(1))), recipe[0]);
    };
    {
        const host::PictureJob job;
        std::vector<std::pair<std::string, PictureResult>> kept;
        for (const auto& [recipe, keep] : pictures) {
            PictureResult result = host::DrawPictureInWorker(
                Repeat, [&](bool) { return std::optional<std::string>(recipe); }, {&kHeld, 1}, {});
            ASSERT_TRUE(result.made()) << recipe << ": " << result.failure;
            EXPECT_TRUE(result.bytes.view() == written(recipe)) << recipe;
            if (keep) {
                kept.emplace_back(recipe, std::move(result));
            }
            for (const auto& [earlier, held] : kept) {
                EXPECT_TRUE(held.bytes.view() == written(earlier)) << earlier << " after " << recipe;
            }
        }
    }
    ExpectNoWorker();
}

}  // namespace
