#include "documents/HostDocuments.h"

#include "AICloudDocument.h"
#include "AIDocumentList.h"
#include "ASUserInteraction.h"
#include "IAIFilePath.hpp"
#include "core/FilePaths.h"
#include "core/HostScopes.h"
#include "core/Suites.h"
#include "core/TextHelpers.h"
#include "documents/FileHelpers.h"
#include "layout/Lookups.h"

InteractionOff::InteractionOff() {
    if (sASUserInteraction != nullptr) {
        sASUserInteraction->SetInteractionAllowed(kASInteractWithNone);
    }
}

InteractionOff::~InteractionOff() {
    if (sASUserInteraction != nullptr) {
        sASUserInteraction->SetInteractionAllowed(kASInteractWithAll);
    }
}

OpeningWithoutWarnings::OpeningWithoutWarnings()
    : fSaved(ReplaceExistingHostOptionsBool(OpenNoWarningsOptions())) {}

OpeningWithoutWarnings::~OpeningWithoutWarnings() {
    WriteHostOptionsBool(fSaved);
}

AIDocumentHandle GetCurrentDocument() {
    AIDocumentHandle document = nullptr;
    if (sAIDocument == nullptr || sAIDocument->GetDocument(&document) != kNoErr) {
        return nullptr;
    }
    return document;
}

bool GetCurDocPath(std::string& path) {
    ai::FilePath file;
    if (sAIDocument == nullptr || sAIDocument->GetDocumentFileSpecification(file) != kNoErr) {
        return false;
    }
    path = file.GetFullPathUTF8();
    return !path.empty();
}

std::optional<int> GetCurDocColorModel() {
    ai::int16 model = 0;
    if (sAIDocument == nullptr || sAIDocument->GetDocumentColorModel(&model) != kNoErr) {
        return std::nullopt;
    }
    return model;
}

namespace {

// The cloud storage's description of a document path: a JSON object built by the JSON library, so
// that quotes and backslashes in the path can't change its form.
std::string CloudDescription(const std::string& path) {
    return nlohmann::json{{"path", "/cloud-content/" + path}}.dump();
}

// Whether the handle still names a document with a file.
bool StillHasFile(AIDocumentHandle document) {
    ai::FilePath file;
    return sAIDocumentList->GetDocumentFilePath(document, file) == kNoErr && !file.GetFullPathUTF8().empty();
}

// A cloud document's path: its extension is "aic", in any case.
bool IsCloudDocumentPath(const std::string& path) {
    return AsciiLowerCase(StringPathExtension(path)) == "aic";
}

}  // namespace

AIColorModel OpeningColorModel(int colorModel) {
    return colorModel == kDocRGBColor ? kDocRGBColor : kDocCMYKColor;
}

bool OpenHostFile(const std::string& path, int colorModel) {
    if (sAIDocumentList == nullptr) {
        return false;
    }
    OpeningWithoutWarnings quiet;
    AIDocumentHandle document = nullptr;
    if (IsCloudDocumentPath(path)) {
        return sAICloudDocument != nullptr &&
               sAICloudDocument->OpenCloudDocument(ai::UnicodeString::FromUTF8(CloudDescription(path)),
                                                   &document) == kNoErr &&
               document != nullptr;
    }
    return sAIDocumentList->Open(ai::FilePath(path), OpeningColorModel(colorModel), kDialogOff, false,
                                 &document) == kNoErr &&
           document != nullptr;
}

bool FileOpensAsDocument(const std::string& path, AIColorModel model, AIDocumentHandle current) {
    AIDocumentHandle copy = nullptr;
    if (sAIDocumentList->Open(ai::FilePath(path), model, kDialogOff, true, &copy) != kNoErr ||
        copy == nullptr) {
        return false;
    }
    const bool closed = sAIDocumentList->Close(copy) == kNoErr;
    return sAIDocumentList->Activate(current, true) == kNoErr && closed;
}

bool HostFileReopens(const std::string& path, int colorModel) {
    if (IsCloudDocumentPath(path)) {
        return true;
    }
    AIDocumentHandle current = GetCurrentDocument();
    if (sAIDocumentList == nullptr || current == nullptr) {
        return false;
    }
    OpeningWithoutWarnings quiet;
    return FileOpensAsDocument(path, OpeningColorModel(colorModel), current);
}

bool WriteCurrentDocument(const std::string& path) {
    if (sAIDocument == nullptr) {
        return false;
    }
    InteractionOff quiet;
    return sAIDocument->WriteDocument(ai::FilePath(path), kAIAnyFormatWriter, false) == kNoErr;
}

bool CloseDocumentWithoutSaving(AIDocumentHandle document) {
    if (sAIDocument == nullptr || sAIDocumentList == nullptr ||
        sAIDocument->SetDocumentModified(false) != kNoErr) {
        return false;
    }
    // One repeat at most, so that a host that keeps reporting the document can't hold the command.
    constexpr int kCloseAttempts = 2;
    for (int attempt = 0; attempt < kCloseAttempts; ++attempt) {
        if (sAIDocumentList->Close(document) != kNoErr) {
            return false;
        }
        if (!StillHasFile(document)) {
            return true;
        }
    }
    return false;
}

bool CloseCurrentDocument() {
    AIDocumentHandle document = GetCurrentDocument();
    return document != nullptr && CloseDocumentWithoutSaving(document);
}

bool CloseCurrentDocument(const std::string& path, std::string& closedPath, bool save) {
    // The document of the file the path names, as the system resolves it, and no other: not one
    // found by the path lower- or upper-cased, which on a file system that tells cases apart is
    // another file. Closing loses its unsaved work and may delete its file.
    AIDocumentHandle document =
        path.empty() ? GetCurrentDocument() : FindOpenDocumentOfFile(ResolvedFilePath(path));
    if (document == nullptr || sAIDocumentList->Activate(document, true) != kNoErr) {
        return false;
    }
    ai::FilePath file;
    if (sAIDocument->GetDocumentFileSpecification(file) != kNoErr) {
        return false;
    }
    closedPath = file.GetFullPathUTF8();
    if (save && !WriteCurrentDocument(closedPath)) {
        return false;
    }
    return CloseDocumentWithoutSaving(document);
}

namespace {

// The integer "dpi." of the document dictionary's entry "AI Auto Rasterize"; none when the document
// has no such entry or it can't be read.
std::optional<int> ReadRasterEffectResolution() {
    const DictionaryScope settings = DictionaryScope::OfDocument().GetDictionary("AI Auto Rasterize");
    const std::optional<ai::int32> dpi = settings.GetInteger("dpi.");
    return dpi ? std::optional<int>(*dpi) : std::nullopt;
}

}  // namespace

CurDocumentProperties::CurDocumentProperties() {
    if (GetCurrentDocument() == nullptr) {
        return;
    }
    AIReal scale = 0.0;
    if (sAIDocument->GetDocumentScale(&scale) == kNoErr && scale != 0.0) {
        scaleFactor = scale;
    }
    colorSpace = GetCurDocColorModel() == kDocCMYKColor ? "CMYK" : "RGB";
    AIBoolean modified = false;
    if (sAIDocument->GetDocumentModified(&modified) == kNoErr) {
        isSaved = modified == 0;
    }
    rasterEffectResolution = ReadRasterEffectResolution();
}

nlohmann::json CurDocumentProperties::WriteJson() const {
    nlohmann::json properties = nlohmann::json::object();
    if (scaleFactor) {
        properties["scaleFactor"] = *scaleFactor;
    }
    if (colorSpace) {
        properties["colorSpace"] = *colorSpace;
    }
    if (isSaved) {
        properties["isSaved"] = *isSaved;
    }
    if (rasterEffectResolution) {
        properties["rasterEffectResolution"] = *rasterEffectResolution;
    }
    return properties;
}
