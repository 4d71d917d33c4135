// The commands on whole documents: open (from a file or the cloud storage), save (in place, to a
// folder, to the cloud), revert, close, colour mode and units, clean-up of unused swatches and
// symbols; and copying files.
#include <string>

#include "AICloudDocument.h"
#include "AIDocumentList.h"
#include "core/CommandTable.h"
#include "core/DocumentSettings.h"
#include "core/Failures.h"
#include "core/FilePaths.h"
#include "core/Json.h"
#include "core/PlimUtilsPlugin.h"
#include "core/Suites.h"
#include "core/TextHelpers.h"
#include "documents/FileHelpers.h"
#include "documents/HostDocuments.h"
#include "documents/VectorExport.h"
#include "layout/Lookups.h"

namespace {

constexpr const char* kFilePathNotFound = "File path not found";
constexpr const char* kCantOpenAFile = "Can't open a file";
constexpr const char* kCantSetAColorMode = "Can't set a color mode";
constexpr const char* kCantSaveACloudDocument = "Can't save a cloud document";
constexpr const char* kCantSaveOverAnOpenDocument = "Can't save over the file of an open document";
constexpr const char* kCantCopyOverAnOpenDocument = "Can't copy over the file of an open document";

// The colour model a "colorMode" names: "RGB"/"rgb" 1, "CMYK"/"cmyk" 2; none for anything else.
std::optional<ai::int16> ColorModelNamed(const std::string& name) {
    if (name == "RGB" || name == "rgb") {
        return kDocRGBColor;
    }
    if (name == "CMYK" || name == "cmyk") {
        return kDocCMYKColor;
    }
    return std::nullopt;
}

void AddDocumentProperties(json& reply) {
    reply.update(CurDocumentProperties().WriteJson());
}

// The path, or, when it is empty, the current document's file when that is a native document.
std::string PathOrCurrentNativeDocument(std::string path) {
    std::string current;
    if (path.empty() && GetCurDocPath(current) && AsciiLowerCase(StringPathExtension(current)) == "ai") {
        return current;
    }
    return path;
}

// The file that the path names as the application finds files (as given, else lower-cased, else
// upper-cased); empty when none of them is a file.
std::string ExistingFile(const std::string& path) {
    ai::FilePath file;
    if (!MakeAIFilePath(path, file) || !IsRegularFile(file.GetFullPathUTF8())) {
        return {};
    }
    return file.GetFullPathUTF8();
}

constexpr const char* kCantOpenTheDocument = "Can't open the document";

// The path without the extension of its last component.
std::string WithoutExtension(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    const std::size_t dot = path.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) {
        return path;
    }
    return path.substr(0, dot);
}

// Whether the path's last component is empty (a trailing "/"), "." or "..": it names a folder.
bool NamesAFolder(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    const std::string last = slash == std::string::npos ? path : path.substr(slash + 1);
    return last.empty() || last == "." || last == "..";
}

}  // namespace

std::string PlimUtilsPlugin::OpenFile(std::string request) {
    const json parsed = ParseRequest(request);
    json reply = StartReply("openFile", parsed);
    const std::string path =
        ExpandUserPath(PathOrCurrentNativeDocument(ReadPathStrictly(parsed, "filePath")));
    const std::string colorMode = ReadTextStrictly(parsed, "colorMode");
    reply["filePath"] = path;

    // The file found is the one opened: a path found only in other letter case opens the file that
    // has that case, not the path as given, which names no file.
    const std::string existing = ExistingFile(path);
    const bool existingFile = !existing.empty();
    if (AIDocumentHandle open = path.empty() ? nullptr : GetDocument(-1, path)) {
        // An open document is brought forward as it is; the colour mode is not applied to it.
        if (sAIDocumentList->Activate(open, true) != kNoErr) {
            reply["error"] = kCantOpenAFile;
            return DumpReply(reply);
        }
        reply["isOpen"] = true;
        reply["isNew"] = !existingFile;
        AddDocumentProperties(reply);
        return DumpReply(reply);
    }
    if (!existingFile) {
        reply["error"] = kFilePathNotFound;
        return DumpReply(reply);
    }
    reply["isNew"] = false;
    reply["isOpen"] = false;
    AIDocumentHandle opened = nullptr;
    {
        OpeningWithoutWarnings quiet;
        if (sAIDocumentList->Open(ai::FilePath(existing), kAIUnknownColorModel, kDialogNone, false,
                                  &opened) != kNoErr ||
            opened == nullptr) {
            reply["error"] = kCantOpenAFile;
            return DumpReply(reply);
        }
    }
    if (const std::optional<ai::int16> model = ColorModelNamed(colorMode)) {
        if (sAIDocument->SetDocumentColorModel(*model) != kNoErr) {
            reply["error"] = kCantSetAColorMode;
        }
    }
    AddDocumentProperties(reply);
    return DumpReply(reply);
}

std::string PlimUtilsPlugin::OpenCloudFile(std::string request) {
    const json parsed = ParseRequest(request);
    json reply = StartReply("openCloudFile", parsed);
    const std::string path = ReadPathStrictly(parsed, "filePath");
    if (path.empty()) {
        reply["error"] = "No file path";
        return DumpReply(reply);
    }
    OpeningWithoutWarnings quiet;
    AIDocumentHandle document = nullptr;
    const std::string description = json{{"path", "/cloud-content/" + path}}.dump();
    if (sAICloudDocument->OpenCloudDocument(ai::UnicodeString::FromUTF8(description), &document) != kNoErr ||
        document == nullptr) {
        reply["error"] = kCantOpenAFile;
    }
    return DumpReply(reply);
}

std::string PlimUtilsPlugin::SaveFile(std::string request) {
    const json parsed = ParseRequest(request);
    json reply = StartReply("saveFile", parsed);
    const std::string outputPath = ReadPathStrictly(parsed, "outputPath");
    const std::string fileName = ReadPathStrictly(parsed, "fileName");
    if (GetCurrentDocument() == nullptr) {
        reply["error"] = kDocumentNotFound;
        return DumpReply(reply);
    }
    if (!outputPath.empty() && !fileName.empty()) {
        // A copy in the folder: the document keeps its own file and modified flag. An open
        // document's file, this document's own included, holds that document's work as last saved
        // and is never the target of a copy (however its path is spelt): only a save in place
        // writes it. The check comes before anything is made.
        // The folder is resolved once, as the system resolves it: the file checked is the file
        // written, however the folder is spelt ("link/..", ".", "//", "~").
        const std::string folderPath = ResolvedFolderPath(ExpandUserPath(outputPath));
        const std::string target = AddNameToPath(folderPath, fileName);
        if (!folderPath.empty() && FindOpenDocumentOfFile(target) != nullptr) {
            reply["error"] = kCantSaveOverAnOpenDocument;
            return DumpReply(reply);
        }
        ai::FilePath folder;
        if (folderPath.empty() || !CreateNewDirectory(folderPath, folder) ||
            folder.GetFullPathUTF8() != folderPath) {
            reply["error"] = "Can't create output directory";
            return DumpReply(reply);
        }
        if (!WriteCurrentDocument(target)) {
            reply["error"] = "Can't save a file";
        }
        return DumpReply(reply);
    }
    std::string path;
    if (!GetCurDocPath(path) || !FileExists(path)) {
        reply["error"] = kFilePathNotFound;
        return DumpReply(reply);
    }
    if (!WriteCurrentDocument(path)) {
        reply["error"] = "Can't save a file";
        return DumpReply(reply);
    }
    sAIDocument->SetDocumentModified(false);
    return DumpReply(reply);
}

std::string PlimUtilsPlugin::SaveCloudFile(std::string request) {
    const json parsed = ParseRequest(request);
    json reply = StartReply("saveCloudFile", parsed);
    std::string path = ReadPathStrictly(parsed, "filePath");
    AIDocumentHandle document = GetCurrentDocument();
    if (document == nullptr) {
        reply["error"] = "No current document";
        return DumpReply(reply);
    }
    if (path.empty()) {
        ai::UnicodeString cloudPath;
        if (sAICloudDocument->GetCloudDocumentPath(document, cloudPath) == kNoErr) {
            InteractionOff quiet;
            if (sAICloudDocument->SaveCloudDocument() != kNoErr) {
                reply["error"] = kCantSaveACloudDocument;
            }
            return DumpReply(reply);
        }
        if (!GetCurDocPath(path)) {
            InteractionOff quiet;
            if (sAICloudDocument->SaveDocumentAsCloudDocument(ai::UnicodeString()) != kNoErr) {
                reply["error"] = kCantSaveACloudDocument;
            }
            return DumpReply(reply);
        }
    }
    // A path whose last component is empty, "." or ".." names a folder of the storage, not a
    // document: nothing is written.
    if (NamesAFolder(path)) {
        reply["error"] = kCantSaveACloudDocument;
        return DumpReply(reply);
    }
    InteractionOff quiet;
    if (sAICloudDocument->SaveDocumentAsCloudDocument(ai::UnicodeString::FromUTF8(WithoutExtension(path))) !=
        kNoErr) {
        reply["error"] = kCantSaveACloudDocument;
    }
    return DumpReply(reply);
}

std::string PlimUtilsPlugin::Revert(std::string request) {
    const json parsed = ParseRequest(request);
    json reply = StartReply("revert", parsed);
    AIDocumentHandle document = GetCurrentDocument();
    if (document == nullptr) {
        reply["error"] = kDocumentNotFound;
        return DumpReply(reply);
    }
    std::string path;
    if (!GetCurDocPath(path) || !IsRegularFile(path)) {
        reply["error"] = "FilePath not found";
        return DumpReply(reply);
    }
    const std::optional<int> model = GetCurDocColorModel();
    if (!model) {
        reply["error"] = "Color mode error";
        return DumpReply(reply);
    }
    const AIColorModel reopenAs = OpeningColorModel(*model);
    OpeningWithoutWarnings quiet;
    // The file must still open before the document is given up: one that was removed, can't be
    // read or no longer holds a document leaves the user's work open as it was.
    if (!FileOpensAsDocument(path, reopenAs, document)) {
        reply["error"] = kCantOpenTheDocument;
        return DumpReply(reply);
    }
    if (!CloseDocumentWithoutSaving(document)) {
        reply["error"] = "Can't close the document";
        return DumpReply(reply);
    }
    AIDocumentHandle reopened = nullptr;
    if (sAIDocumentList->Open(ai::FilePath(path), reopenAs, kDialogOff, false, &reopened) != kNoErr ||
        reopened == nullptr) {
        reply["error"] = kCantOpenTheDocument;
    }
    return DumpReply(reply);
}

std::string PlimUtilsPlugin::CloseDocument(std::string request) {
    const json parsed = ParseRequest(request);
    json reply = StartReply("closeDocument", parsed);
    const std::string path = ReadPathStrictly(parsed, "filePath");
    const bool saveChanges = ReadBoolStrictly(parsed, "saveChanges", false);
    const bool deleteFile = ReadBoolStrictly(parsed, "deleteFile", false);

    std::string closedPath;
    if (!CloseCurrentDocument(path, closedPath, saveChanges)) {
        // Nothing was closed, so no file is deleted: only the file of a document that was closed.
        reply["error"] = "Can't close a document";
        return DumpReply(reply);
    }
    if (deleteFile && !RemoveFile(closedPath)) {
        reply["error"] = "Can't delete a file";
    }
    return DumpReply(reply);
}

std::string PlimUtilsPlugin::SetDocumentColorMode(std::string request) {
    const json parsed = ParseRequest(request);
    json reply = StartReply("setDocumentColorMode", parsed);
    const std::string colorMode = ReadTextStrictly(parsed, "colorMode");
    if (GetCurrentDocument() == nullptr) {
        reply["error"] = kDocumentNotFound;
        return DumpReply(reply);
    }
    const std::optional<ai::int16> model = ColorModelNamed(colorMode);
    if (!model) {
        reply["error"] = "No valid color mode";
        return DumpReply(reply);
    }
    if (sAIDocument->SetDocumentColorModel(*model) != kNoErr) {
        reply["error"] = kCantSetAColorMode;
    }
    return DumpReply(reply);
}

std::string PlimUtilsPlugin::GetDocumentUnits(std::string request) {
    const json parsed = ParseRequest(request);
    json reply = StartReply("getDocumentUnits", parsed);
    const std::string units = GetDocumentLenUnits();
    if (units.empty()) {
        reply["error"] = "Can't determine document units";
        return DumpReply(reply);
    }
    reply["documentUnits"] = units;
    return DumpReply(reply);
}

std::string PlimUtilsPlugin::Copy_File(std::string request) {
    const json parsed = ParseRequest(request);
    json reply = StartReply("copyFile", parsed);
    std::string source = ReadPathStrictly(parsed, "source");
    std::string destination = ReadPathStrictly(parsed, "destination");
    reply["copySuccessful"] = false;
    if (destination.empty()) {
        reply["error"] = "No destination path";
        return DumpReply(reply);
    }
    if (source.empty() && !GetCurDocPath(source)) {
        reply["error"] = "No source path";
        return DumpReply(reply);
    }
    source = ExpandUserPath(source);
    // The destination is resolved once, as the system resolves it: the file checked is the file
    // replaced, however its folder is spelt. A destination ending in "/" names a folder, and the
    // copy fails as the system would fail it.
    destination = ResolvedFilePath(ExpandUserPath(destination));
    if (destination.empty()) {
        reply["error"] = "Can't copy a file";
        return DumpReply(reply);
    }
    if (IsSameFile(source, destination)) {
        reply["error"] = "Source and destination are the same";
        return DumpReply(reply);
    }
    // An open document's file is kept as that document last saved it: replacing it would leave
    // the document reported as saved with other content in its file.
    if (FindOpenDocumentOfFile(destination) != nullptr) {
        reply["error"] = kCantCopyOverAnOpenDocument;
        return DumpReply(reply);
    }
    // The destination is replaced only by a complete copy; a failed copy leaves it as it was.
    if (!FileDirCopy(source, destination, true)) {
        reply["error"] = "Can't copy a file";
        return DumpReply(reply);
    }
    reply["copySuccessful"] = true;
    return DumpReply(reply);
}

std::string PlimUtilsPlugin::CleanDocument(std::string request) {
    const json parsed = ParseRequest(request);
    json reply = StartReply("cleanDocument", parsed);
    const bool swatches = ReadBoolStrictly(parsed, "swatches", true);
    const bool symbols = ReadBoolStrictly(parsed, "symbols", true);
    if (swatches && !CleanSwatches()) {
        reply["error"] = "Can't find document colors";
    }
    if (symbols && !CleanSymbols()) {
        reply["error"] = "Can't find symbols in a Symbol palette";
    }
    // A cleaning fails before it deletes anything, and the other one runs all the same: what that
    // one deleted stays.
    if (HasKey(reply, "error")) {
        KeepChangesDespiteError();
    }
    return DumpReply(reply);
}
