// plimhost's documents: --open reads one in the native format before start-up, --save writes the
// current one after the last line.
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "HostFixture.h"
#include "ProgramRun.h"
#include "model/DocumentFormat.h"

namespace {

using testsupport::ReadFile;
using Outcome = testsupport::ProgramRun;

class PlimhostDocuments : public testing::Test {
protected:
    std::string Write(const std::string& name, const std::string& text) { return scratch.Write(name, text); }

    // Runs plimhost with the probe as its plug-in, the arguments and standard input.
    Outcome Plim(const std::string& arguments, const std::string& input = "") {
        return testsupport::RunProgram(
            scratch, std::string("'") + HOST_PLIMHOST + "' --plugin '" + HOST_PROBE_PLUGIN + "' " + arguments,
            input);
    }

    testsupport::ScratchFolder scratch{"plimhost_documents"};
    const std::filesystem::path& folder = scratch.Path();
};

const std::string kSample = std::string(HOST_EXAMPLES_DIR) + "/sample.json";

TEST_F(PlimhostDocuments, SavingAnOpenedDocumentGivesTheSameBytes) {
    const std::string saved = (folder / "saved.json").string();
    const Outcome run = Plim("--open '" + kSample + "' --save '" + saved + "'", "echo between\n");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "between\n");
    ASSERT_TRUE(std::filesystem::exists(saved));
    EXPECT_EQ(ReadFile(saved), ReadFile(kSample));
}

TEST_F(PlimhostDocuments, ANewDocumentIsSavedWithItsOneLayer) {
    const std::string saved = (folder / "new.json").string();
    const Outcome run = Plim("--new --save '" + saved + "'");
    EXPECT_EQ(run.status, 0) << run.err;
    const host::model::ReadResult read = host::model::openDocument(saved);
    ASSERT_TRUE(read.document) << read.error;
    ASSERT_EQ(read.document->layers().count(), 1u);
    EXPECT_EQ(read.document->layers().properties(read.document->layers().first())->title, "Layer 1");
}

// A new document's UUIDs follow from a seed: the same lines on a new document save the same bytes
// in every run, while an opened document's new art gets UUIDs of its own in each.
TEST_F(PlimhostDocuments, TheSameLinesOnANewDocumentSaveTheSameBytes) {
    std::vector<std::string> texts;
    const std::string opened = "--open '" + kSample + "'";
    for (const std::string& start : std::vector<std::string>{"--new", "--new", opened, opened}) {
        const std::string saved = (folder / ("run" + std::to_string(texts.size()) + ".json")).string();
        const Outcome run = Plim(start + " --save '" + saved + "'", "newPath first\nnewPath second\n");
        EXPECT_EQ(run.status, 0) << run.err;
        texts.push_back(ReadFile(saved));
    }
    EXPECT_EQ(texts[0], texts[1]);
    EXPECT_NE(texts[0].find("\"uuid\""), std::string::npos);
    EXPECT_NE(texts[2], texts[3]);
}

TEST_F(PlimhostDocuments, AnUnwritableFileFailsAfterTheLinesWereDelivered) {
    const Outcome run = Plim("--save /nonexistent/folder/doc.json", "echo delivered\n");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "delivered\n");
    EXPECT_NE(run.err.find("/nonexistent/folder/doc.json"), std::string::npos) << run.err;
}

// The file-size limit stops the save's writes part-way (the signal it raises is ignored, so a
// write fails instead): the file that was there keeps its bytes and nothing is left beside it.
TEST_F(PlimhostDocuments, ASaveThatFailsPartWayLeavesThePreviousFileByteForByte) {
    const std::string previous = ReadFile(kSample);
    const std::string target = Write("target.json", previous);
    const std::string bigger = std::string(HOST_EXAMPLES_DIR) + "/shapes.json";
    const Outcome run =
        testsupport::RunProgram(scratch,
                                std::string("trap '' XFSZ; ulimit -f 8; '") + HOST_PLIMHOST + "' --plugin '" +
                                    HOST_PROBE_PLUGIN + "' --open '" + bigger + "' --save '" + target + "'",
                                "echo delivered\n");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "delivered\n");
    EXPECT_NE(run.err.find("cannot save the document to " + target), std::string::npos) << run.err;
    EXPECT_EQ(ReadFile(target), previous);
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        EXPECT_FALSE(entry.path().filename().string().starts_with(".target.json")) << entry.path();
    }
}

struct UnreadableCase {
    const char* label;
    std::string text;
    std::string reason;
};

class UnreadableDocuments : public PlimhostDocuments, public testing::WithParamInterface<UnreadableCase> {};

TEST_P(UnreadableDocuments, StopBeforeThePluginStarts) {
    const std::string file = Write("document.json", GetParam().text);
    const Outcome run = Plim("--open '" + file + "'", "log\n");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find(file), std::string::npos) << run.err;
    EXPECT_NE(run.err.find(GetParam().reason), std::string::npos) << run.err;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UnreadableDocuments,
    testing::Values(UnreadableCase{"not_json", "layers: none", "not JSON"},
                    UnreadableCase{"no_format", "{}", "\"format\" is missing"},
                    UnreadableCase{
                        "bad_layer",
                        R"({"format": "plimhost-document", "version": 1, "layers": [{"type": "path"}]})",
                        "layers[0]"},
                    UnreadableCase{"twice_the_same_symbol",
                                   R"({"format": "plimhost-document", "version": 1, "layers": [],
                                       "symbols": ["Star", "Star"]})",
                                   "symbols[1]"}),
    [](const auto& info) { return std::string(info.param.label); });

}  // namespace
