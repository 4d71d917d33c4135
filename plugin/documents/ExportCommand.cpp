// The command "exportFile": the request turned into its job list (ExportJobs.h), every job's file
// written through its format's preparation and writer, and one result per job. Each job works on the
// current document inside a JobRestore, so that whatever the job's outcome the next job, and the
// user, find the document as the command found it.
#include <algorithm>
#include <cmath>
#include <optional>
#include <set>
#include <vector>

#include "AICloudDocument.h"
#include "AIDocumentList.h"
#include "SystemNames.h"
#include "appearance/Colors.h"
#include "art/ArtTree.h"
#include "core/Counters.h"
#include "core/DocumentSettings.h"
#include "core/Failures.h"
#include "core/FilePaths.h"
#include "core/Json.h"
#include "core/PlimUtilsPlugin.h"
#include "core/Suites.h"
#include "core/TextHelpers.h"
#include "core/Units.h"
#include "documents/ExportFiles.h"
#include "documents/ExportFormats.h"
#include "documents/ExportJobs.h"
#include "documents/ExportScope.h"
#include "documents/FileHelpers.h"
#include "documents/HostDocuments.h"
#include "documents/RasterExports.h"
#include "documents/RasterPreparation.h"
#include "documents/VectorExport.h"
#include "documents/VectorFormats.h"
#include "documents/XmpPacket.h"
#include "layout/Lookups.h"
#include "layout/ReferencePoints.h"

namespace {

constexpr const char* kCantCreateOutputDirectory = "Can't create output directory";
constexpr const char* kCantWriteAFile = "Can't write a file";
constexpr const char* kCantCreateATempFile = "Can't create a temp file";
constexpr const char* kCantProcessAFileNameOrPath = "Can't process a file name or path";
constexpr const char* kCantExportOverAnOpenDocument = "Can't export over the file of an open document";

std::string CantExport(const std::string& format) {
    return "Can't export a file of type '" + format + "'";
}

// Where a job writes: its folder, resolved once as the system resolves it, its file's path there,
// its file name without extension and its format. The one resolved text is both what the checks
// look at (an open document's file, two jobs of one file) and where the job writes, so that no
// spelling of the folder ("link/..", ".", "//", "~") is checked in one place and written in another.
struct JobFile {
    std::string folder;
    std::string path;
    std::string name;
    const ExportFormat* format = nullptr;
};

// The job's folder, file name and format as texts; false when any is missing or empty.
bool ReadJobFile(const json& job, std::string& folder, std::string& name, std::string& format) {
    return ReadJsonValue(job, "finalFolderPath", folder) && ReadJsonValue(job, "finalFileName", name) &&
           ReadJsonValue(job, "fileFormat", format) && !folder.empty() && !name.empty() && !format.empty();
}

// The file a job writes in its folder.
std::string FileNameOf(const std::string& name, const ExportFormat& format) {
    return name + "." + std::string(format.extension);
}

// Where the job writes: its texts read, "~" expanded, the folder resolved. False with the error set.
bool ResolveJobFile(const json& job, JobFile& file, std::string& error) {
    std::string folder;
    std::string format;
    if (!ReadJobFile(job, folder, file.name, format)) {
        error = "File path, file name or type not found";
        return false;
    }
    file.format = FindExportFormat(AsciiLowerCase(format));
    if (file.format == nullptr) {
        error = "File type not supported";
        return false;
    }
    file.folder = ResolvedFolderPath(ExpandUserPath(folder));
    if (file.folder.empty()) {
        error = kCantCreateOutputDirectory;
        return false;
    }
    file.path = AddNameToPath(file.folder, FileNameOf(file.name, *file.format));
    return true;
}

// The checks both job kinds share, on the job's resolved file: no open document's file, and the
// folder made. False with the error set.
bool PrepareJobFile(const JobFile& file, std::string& error) {
    // An open document's file holds the user's work as last saved: a job that would replace it
    // (the document's own folder and name, another open document's, the same file by another
    // spelling or link) fails before it makes anything, and the file stays as it was.
    if (FindOpenDocumentOfFile(file.path) != nullptr) {
        error = kCantExportOverAnOpenDocument;
        return false;
    }
    ai::FilePath made;
    if (!CreateNewDirectory(file.folder, made) || made.GetFullPathUTF8() != file.folder) {
        error = kCantCreateOutputDirectory;
        return false;
    }
    return true;
}

// The job's "metadata" written into the document's packet as it was before the job; an empty
// packet stays empty. Whether the host took the packet.
bool WriteXAP(const std::string& xmp, const json& job) {
    if (xmp.empty()) {
        return true;
    }
    const std::optional<std::string> edited = EditXmpPacket(xmp, job);
    return sAIDocument->SetDocumentXAP(edited ? edited->c_str() : xmp.c_str()) == kNoErr;
}

// The vector job's document prepared, its packet written and its file written to the path.
bool WriteVectorJob(const json& job, const ExportFormat& format, const std::string& xmp,
                    const ArtList& selectedArt, const std::string& path, std::string& error) {
    const bool asIs = format.writesAsIs && ReadBoolStrictly(job, "as_is", false);
    if (!asIs && !PrepareVectorExport(job, selectedArt, error)) {
        return false;
    }
    WriteXAP(xmp, job);
    SuspendedContext suspended;
    if (!format.vectorWriter(job, path, error)) {
        // Whatever stopped the writer, an option of the wrong type included, the job answers the
        // one text of a failed writer.
        error = CantExport(std::string(format.name));
        return false;
    }
    return true;
}

// The raster job's document prepared, its packet written (a packet the host refuses fails the job
// without a message) and its file written to the path.
bool WriteRasterJob(const json& job, const ExportFormat& format, const std::string& xmp,
                    const ArtList& selectedArt, const std::string& path, std::string& error) {
    json prepared = job;
    AIRealRect rect{};
    if (!PrepareRasterExport(prepared, selectedArt, rect, error)) {
        return false;
    }
    if (!WriteXAP(xmp, prepared)) {
        error.clear();
        return false;
    }
    if (!format.rasterWriter(prepared, path, rect, error)) {
        error = CantExport(std::string(format.name));
        return false;
    }
    return true;
}

// Writes one job's file: the document prepared and written to the job's own temporary file, then
// delivered atomically to the final path. The document is restored whatever happens.
bool ExportJob(const json& job, const JobFile& file, const ArtList& selectedArt, std::string& error) {
    if (!PrepareJobFile(file, error)) {
        return false;
    }
    const ExportFormat& format = *file.format;
    const JobTempFile temporary(file.name, std::string(format.extension));
    if (!temporary.Created()) {
        error = kCantCreateATempFile;
        return false;
    }
    {
        const std::string xmp = ReadXAP();
        const JobRestore restore;
        if (!restore.Armed()) {
            error = CantExport(std::string(format.name));
            return false;
        }
        const bool written = format.kind == FormatKind::raster
                                 ? WriteRasterJob(job, format, xmp, selectedArt, temporary.Path(), error)
                                 : WriteVectorJob(job, format, xmp, selectedArt, temporary.Path(), error);
        if (!written) {
            return false;
        }
    }
    if (!FileDirCopy(temporary.Path(), file.path, true)) {
        error = kCantWriteAFile;
        return false;
    }
    return true;
}

// Whether the job could be written: its folder made and writable. Nothing at the final path is
// touched; the test's own file is removed.
bool ExportTestJob(const JobFile& file, std::string& error) {
    if (!PrepareJobFile(file, error)) {
        return false;
    }
    const JobTempFile temporary(file.name, std::string(file.format->extension));
    if (!temporary.Created()) {
        error = kCantCreateATempFile;
        return false;
    }
    if (!CanWriteInFolder(file.folder)) {
        error = kCantWriteAFile;
        return false;
    }
    return true;
}

// Whether a job writes a file: not a test, not a job that already failed or can't be resolved,
// and not one refused for an open document's file.
bool WritesAFile(const json& job, const JobFile* file) {
    // A "testExport" that is no boolean fails its job (RunJob), which then writes nothing either.
    const json* testKey = FindKey(job, "testExport");
    const bool test = testKey != nullptr && (!testKey->is_boolean() || testKey->get<bool>());
    return !test && !HasKey(job, kJobFailureKey) && file != nullptr &&
           FindOpenDocumentOfFile(file->path) == nullptr;
}

// Whether two jobs of the list would write one file: the later would replace the earlier's file,
// both reported written. The jobs' resolved paths are the paths they write, so two spellings of one
// folder give one text.
bool JobsShareAPath(const JobList& jobs, const std::vector<std::optional<JobFile>>& files) {
    std::set<std::string> paths;
    for (std::size_t i = 0; i < jobs.size(); ++i) {
        const JobFile* file = files[i] ? &*files[i] : nullptr;
        if (WritesAFile(jobs[i], file) && !paths.insert(file->path).second) {
            return true;
        }
    }
    return false;
}

// Runs one job and gives its result; a job that throws (a value of the wrong type) fails alone,
// with the document restored by the job's own scope. wroteFile tells whether the job left a file
// at its path (a test writes none). resolveError is why the job's file could not be resolved.
json RunJob(const json& job, const std::optional<JobFile>& file, const std::string& resolveError,
            const ArtList& selectedArt, bool& wroteFile) {
    std::string error;
    bool done = false;
    bool test = false;
    std::string failure;
    if (ReadJsonValue(job, kJobFailureKey, failure)) {
        error = failure;
    } else if (!file) {
        error = resolveError;
    } else {
        try {
            // Strictly: a test asked for in another type must not write the file it only meant
            // to check.
            test = ReadBoolStrictly(job, "testExport", false);
            done = test ? ExportTestJob(*file, error) : ExportJob(job, *file, selectedArt, error);
        } catch (const std::exception& exception) {
            done = false;
            error = DescribeException(exception);
        }
    }
    wroteFile = done && !test;
    return JobResult(job, done, error);
}

// The counters as a request found them, put back when the request ends without having written a
// file. Every job's name advances the counters before the first file is written; a request that
// then fails, or writes nothing (every job failed, or only tested), leaves the names of the next
// request where they were. Once a file is written the names given out stand, failed jobs' too.
class CountersUnlessWritten {
public:
    explicit CountersUnlessWritten(Counters& counters) : fCounters(counters), fBefore(counters) {}
    ~CountersUnlessWritten() {
        if (!fWritten) {
            fCounters = std::move(fBefore);
        }
    }
    CountersUnlessWritten(const CountersUnlessWritten&) = delete;
    CountersUnlessWritten& operator=(const CountersUnlessWritten&) = delete;

    void Written() { fWritten = true; }

private:
    Counters& fCounters;
    Counters fBefore;
    bool fWritten = false;
};

// The current document's path (a cloud document's storage path) and colour model.
bool GetCurDocSpecs(std::string& path, int& colorModel) {
    colorModel = -1;
    AIDocumentHandle document = GetCurrentDocument();
    if (document == nullptr) {
        return false;
    }
    ai::UnicodeString cloud;
    if (sAICloudDocument != nullptr && sAICloudDocument->GetCloudDocumentPath(document, cloud) == kNoErr) {
        path = cloud.as_UTF8();  // the document's path in the cloud storage
        if (path.empty()) {
            return false;
        }
    } else if (!GetCurDocPath(path) || !IsRegularFile(path)) {
        return false;
    }
    const std::optional<int> model = GetCurDocColorModel();
    if (!model) {
        return false;
    }
    colorModel = *model;
    return true;
}

std::string ArtboardSize(int artboard, bool height, const std::string& unit, int decimals) {
    AIRealRect rect{};
    if (artboard < 0 || !GetArtBoardBounds(artboard, "", rect)) {
        return {};
    }
    const double size = height ? std::abs(rect.top - rect.bottom) : std::abs(rect.left - rect.right);
    return PointsToLenUnitsString(size, unit, decimals);
}

std::string ArtSize(const json& job, bool height, bool visible, const std::string& unit, int decimals) {
    AIRealRect rect{};
    if (!GetArtVectorBounds(GetArtToExport(job), rect, {.visible = visible})) {
        return {};
    }
    const double size = height ? std::abs(rect.top - rect.bottom) : std::abs(rect.left - rect.right);
    return PointsToLenUnitsString(size, unit, decimals);
}

// Pixels per unit for a resolution in pixels per inch.
std::string ResolutionIn(double resolution, const std::string& unit, int decimals) {
    return LenToString(resolution * UnitSizeInPoints(unit) / 72.0, unit, decimals);
}

std::string ComputerName() {
    std::string name;
    return GetKernelHostName(&name) ? name : std::string();
}

NameSources HostNameSources(Counters& counters) {
    NameSources sources;
    sources.artboardSize = ArtboardSize;
    sources.artSize = ArtSize;
    sources.resolution = ResolutionIn;
    sources.rulerUnit = GetDocumentLenUnits;
    sources.colorSpace = GetCurDocumentColorSpace;
    sources.userName = NSUserName;
    sources.computerName = ComputerName;
    sources.counters = &counters;
    return sources;
}

ArtboardSource HostArtboards() {
    ArtboardSource artboards;
    artboards.count = GetNumberOfDocumentArtboards();
    artboards.parse = GetArtboardNumbersAndNames;
    return artboards;
}

// One expansion step: its result, or its message thrown when it yields no job or meets a value of
// the wrong type (before any file is written).
template <typename Step>
void RunStep(const char* message, Step step) {
    bool produced = false;
    try {
        produced = step();
    } catch (const std::exception&) {
        produced = false;
    }
    if (!produced) {
        throw CommandError(message);
    }
}

// The job list of the request, through every expansion step, in running order.
JobList ExpandJobs(const json& request, bool& triggerStandards, Counters& counters) {
    JobList inherited;
    RunStep("Can't read jobs", [&] { return InheritJobs(request, inherited); });
    triggerStandards = TriggerStandards(inherited);
    if (triggerStandards) {
        counters.Reset("export");
    }
    JobList formats;
    RunStep("Can't read file formats", [&] { return AddFileFormats(inherited, formats); });
    JobList artboards;
    RunStep("Can't process artboard ranges",
            [&] { return ProcessArtboards(formats, artboards, HostArtboards()); });
    JobList named;
    RunStep("Can't process file paths or names",
            [&] { return ProcessFilePathsNames(artboards, named, HostNameSources(counters), counters); });
    JobList numbered;
    RunStep("Can't append artboard numbers", [&] { return AppendArtboardNumbers(named, numbered); });
    return OrderJobs(numbered);
}

}  // namespace

std::string PlimUtilsPlugin::ExportFile(std::string request) {
    const json parsed = ParseRequest(request);
    json reply = StartReply("exportFile", parsed);
    const bool reopen = ReadBoolStrictly(parsed, "reopenSourceFile", false);
    CountersUnlessWritten counters(fCounters);
    bool triggerStandards = true;
    const JobList jobs = ExpandJobs(parsed, triggerStandards, fCounters);

    std::string path;
    int colorModel = -1;
    if (!GetCurDocSpecs(path, colorModel)) {
        reply["error"] = "Can't get specs of a current document";
        return DumpReply(reply);
    }
    // The selection as it is before the first job; only jobs of the selected art read it, so it
    // is taken only when one of them is in the list.
    const bool selectionNeeded = std::any_of(jobs.begin(), jobs.end(), [](const json& job) {
        const json* selected = FindKey(job, "exportSelected");
        return selected != nullptr && selected->is_boolean() && selected->get<bool>();
    });
    const ArtList selectedArt =
        selectionNeeded ? SortArtByPaintOrder(RemoveLeaves2(GetAllSelectedObjects(false)), false) : ArtList();
    // Every job's folder and name are settled before the first file is written: a name that can't
    // be used, or one that two jobs would write, fails the command with nothing written.
    JobList named;
    for (const json& job : jobs) {
        if (!FilePathNameToString(job, named.emplace_back())) {
            reply["error"] = kCantProcessAFileNameOrPath;
            return DumpReply(reply);
        }
    }
    // Each job's file is resolved once, here: the collision check below and the job's own checks
    // and writing all use that one text.
    std::vector<std::optional<JobFile>> files(named.size());
    std::vector<std::string> resolveErrors(named.size());
    for (std::size_t i = 0; i < named.size(); ++i) {
        JobFile file;
        if (ResolveJobFile(named[i], file, resolveErrors[i])) {
            files[i] = std::move(file);
        }
    }
    if (JobsShareAPath(named, files)) {
        reply["error"] = kCantProcessAFileNameOrPath;
        return DumpReply(reply);
    }
    json results = json::array();
    for (std::size_t i = 0; i < named.size(); ++i) {
        bool wroteFile = false;
        results.push_back(RunJob(named[i], files[i], resolveErrors[i], selectedArt, wroteFile));
        if (wroteFile) {
            counters.Written();
        }
    }
    reply["Results"] = std::move(results);
    if (triggerStandards) {
        fCounters.Increment("export");
    }
    if (!reopen) {
        return DumpReply(reply);
    }
    // A source file that no longer opens (removed, unreadable, no document any more) is not
    // reopened, and the user's document stays open rather than being closed for nothing.
    if (!HostFileReopens(path, colorModel)) {
        reply["error"] = "Can't reopen a source file";
    } else if (!CloseCurrentDocument()) {
        reply["error"] = "Can't close a source file";
    } else if (!OpenHostFile(path, colorModel)) {
        reply["error"] = "Can't reopen a source file";
    }
    return DumpReply(reply);
}
