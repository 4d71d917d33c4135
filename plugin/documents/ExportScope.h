// What an export job writes, and the scopes around its work on the current document. The
// preparations cut the current document itself down to the job's art, layers and artboards; the
// job's JobRestore puts it back as it was, whatever the job's outcome.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "AIContext.h"
#include "AILayer.h"
#include "art/ArtList.h"
#include "core/AppContext.h"
#include "core/HostScopes.h"

// The art a job exports: the top objects on the artboards of its "artboardRange"; without a range
// the art of its "tagSearch", or with "exportSelected" the fully selected art, or else every
// object. Reduced to the members none of whose ancestors is listed, in paint order.
ArtList GetArtToExport(const nlohmann::json& job);
// The top-level layer of each object, each once, in the order of first appearance.
std::vector<AILayerHandle> GetLayersToExport(const ArtList& art);
// Disposes of every object that is neither listed, inside listed art, nor a container of listed
// art: an object inside a group keeps its ancestors, and the clipping paths of its clip groups.
// Layer groups stay. Always true.
bool RemoveNonListedArt(const ArtList& art);
// Deletes the top-level layers that are not listed, and the hidden ones. Always true.
bool RemoveNonListedLayers(const std::vector<AILayerHandle>& layers);
// Deletes the artboards outside the range; true when the range covers them all. False for a range
// that names no artboard of the document, and when the host fails.
bool RemoveNonListedArtboards(const std::string& range);

// Cuts the current document down to the job: its art (the selected art handed in with
// "exportSelected"), the layers of that art, and with "artboardRange" its artboards. False with the
// error set ("Can't find an art to export", "Can't find layers to export", "Can't remove artboards
// from the document"). The first step of every format's preparation.
bool CutDocumentToJob(const nlohmann::json& job, const ArtList& selectedArt, std::string& error);

// Fits the text of the whole document by the job's "fittingMethod" (a value of another type counts
// as none). The file is written whatever the fitting answers: a text that can't be fitted is
// exported as it stands.
void FitJobText(const nlohmann::json& job);

// The current document's application context suspended while the scope lives.
class SuspendedContext {
public:
    SuspendedContext();
    ~SuspendedContext();
    SuspendedContext(const SuspendedContext&) = delete;
    SuspendedContext& operator=(const SuspendedContext&) = delete;

private:
    AIDocumentHandle fDocument = nullptr;
    AISuspendedAppContext fSuspended = nullptr;
};

// The document's context suspended and the plug-in's own pushed while the scope lives (popped,
// then resumed, at its end).
class InnerContext {
private:
    SuspendedContext fSuspended;
    CommandContext fPushed;
};

// Everything one export job changes in the current document, taken back when the scope ends: the
// document's changes since the scope began, its XMP packet included (a revert mark, which leaves
// no trace in the undo history and keeps what came before, the user's last edit and earlier batch
// entries included).
class JobRestore {
public:
    JobRestore() = default;
    ~JobRestore() { fMark.Revert(); }
    JobRestore(const JobRestore&) = delete;
    JobRestore& operator=(const JobRestore&) = delete;

    // False when the document's state could not be marked: the job must not change it.
    bool Armed() const { return fMark.IsSet(); }

private:
    RevertMark fMark;
};

// The current document's XMP packet; empty when there is none or the host fails.
std::string ReadXAP();
