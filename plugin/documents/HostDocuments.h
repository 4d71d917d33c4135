// Opening, saving and closing documents through the host, with its warnings and its user
// interaction off around every call that could ask the user something, and the current document's
// properties for replies.
#pragma once

#include <optional>
#include <string>

#include <nlohmann/json.hpp>

#include "AIDocument.h"
#include "AIDocumentList.h"
#include "core/Preferences.h"

// User interaction at level -1 (none) while the scope lives, level 2 (all) afterwards.
class InteractionOff {
public:
    InteractionOff();
    ~InteractionOff();
    InteractionOff(const InteractionOff&) = delete;
    InteractionOff& operator=(const InteractionOff&) = delete;
};

// While a document opens: the preferences of OpenNoWarningsOptions set (those the host has), user
// interaction off; afterwards interaction at level 2 and the preferences as they were.
class OpeningWithoutWarnings {
public:
    OpeningWithoutWarnings();
    ~OpeningWithoutWarnings();
    OpeningWithoutWarnings(const OpeningWithoutWarnings&) = delete;
    OpeningWithoutWarnings& operator=(const OpeningWithoutWarnings&) = delete;

private:
    PreferenceMap fSaved;
    InteractionOff fInteraction;
};

// The current document; null when there is none or the host fails.
AIDocumentHandle GetCurrentDocument();
// The current document's file; false when there is no document, the host fails or it has no file.
bool GetCurDocPath(std::string& path);
// The current document's colour model (AIDocumentColorModelValue); none when it can't be read.
std::optional<int> GetCurDocColorModel();

// Opens a document with host warnings and interaction off: a cloud document when the extension is
// "aic" (in any case), else a local file; colour model 1 opens it as RGB, anything else as CMYK.
bool OpenHostFile(const std::string& path, int colorModel);
// The model a file opens in for a colour model number: RGB for 1, CMYK for anything else.
AIColorModel OpeningColorModel(int colorModel);
// Whether the file opens as a document: it is opened as an untitled copy, which is closed again at
// once, and the document that was current comes back to the front.
bool FileOpensAsDocument(const std::string& path, AIColorModel model, AIDocumentHandle current);
// Whether OpenHostFile(path, colorModel) would open the file again, checked before the current
// document is given up for it; a cloud document ("aic") is taken to reopen from its storage.
bool HostFileReopens(const std::string& path, int colorModel);
// Writes the current document to the file in the host's native format, interaction off.
bool WriteCurrentDocument(const std::string& path);
// Clears the document's modified flag and closes it without saving; the close is repeated once
// when the handle still reports a file afterwards. False when a step fails.
bool CloseDocumentWithoutSaving(AIDocumentHandle document);
// Closes the current document without saving.
bool CloseCurrentDocument();
// Closes the open document whose file is the path, or the current one when the path is empty,
// first saving it in place when save is true. closedPath is the full path of the document found.
bool CloseCurrentDocument(const std::string& path, std::string& closedPath, bool save);

// The current document's properties for replies; unset fields are left out.
struct CurDocumentProperties {
    std::optional<double> scaleFactor;
    std::optional<std::string> colorSpace;  // "RGB" or "CMYK"
    std::optional<bool> isSaved;
    std::optional<int> rasterEffectResolution;

    // Reads the current document; without one every field stays unset.
    CurDocumentProperties();
    nlohmann::json WriteJson() const;
};
