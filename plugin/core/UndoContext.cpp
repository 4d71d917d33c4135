// Undo contexts and art snapshots. "startContext" tags the current undo transaction so that
// "undoChanges" can step the document back to it; "listUndoPoints" lists the tagged transactions.
// "copyToDictionary" keeps a copy of each found object in its own dictionary and
// "restoreFromDictionary" puts that copy back in its place.
#include <optional>
#include <set>

#include "AIArt.h"
#include "AIDictionary.h"
#include "AIDocument.h"
#include "AIUndo.h"
#include "core/ArtFinder.h"
#include "core/Failures.h"
#include "core/HostScopes.h"
#include "core/Json.h"
#include "core/PlimUtilsPlugin.h"

namespace {

// The default undo tag, the document-dictionary marker and the art-dictionary snapshot key.
constexpr const char* kPlimTag = "com.torvi.PlimUtils_Tag";

// Whether the host offers dictionaries and knows the key of the marker and snapshot entries.
bool HasPlimKey() {
    return DictionaryKey(kPlimTag) != nullptr;
}

struct History {
    ai::int32 past = 0;
    ai::int32 future = 0;
};

std::optional<History> CountHistory() {
    History history;
    if (sAIUndo == nullptr || sAIUndo->CountTransactions(&history.past, &history.future) != kNoErr) {
        return std::nullopt;
    }
    return history;
}

std::optional<std::string> TransactionTag(ai::int32 n) {
    ai::UnicodeString tag;
    if (sAIUndo->GetNthTransactionTag(n, tag) != kNoErr) {
        return std::nullopt;
    }
    return tag.as_UTF8();
}

// The number of the nearest transaction carrying the tag: the newest past one first, then the
// nearest future one; nothing when none does.
std::optional<ai::int32> FindTaggedTransaction(const History& history, const std::string& tag) {
    for (ai::int32 n = -1; n >= -history.past; --n) {
        if (TransactionTag(n) == tag) {
            return n;
        }
    }
    for (ai::int32 n = 1; n <= history.future; ++n) {
        if (TransactionTag(n) == tag) {
            return n;
        }
    }
    return std::nullopt;
}

// Steps the history: undo -n times for a past transaction, redo n times for a future one. False
// as soon as a step fails.
bool StepHistory(ai::int32 n) {
    for (; n < 0; ++n) {
        if (sAIDocument->Undo() != kNoErr) {
            return false;
        }
    }
    for (; n > 0; --n) {
        if (sAIDocument->Redo() != kNoErr) {
            return false;
        }
    }
    return true;
}

// Keeps only the objects that no other listed object contains, so that nothing is used after an
// ancestor of it was replaced.
FoundArt TopMostObjects(const FoundArt& list) {
    const std::set<ArtObject*> listed(list.begin(), list.end());
    FoundArt top;
    for (ArtObject* art : list) {
        bool inside = false;
        ArtObject* parent = nullptr;
        for (ArtObject* at = art; !inside && sAIArt->GetArtParent(at, &parent) == kNoErr && parent != nullptr;
             at = parent) {
            inside = listed.count(parent) != 0;
        }
        if (!inside) {
            top.push_back(art);
        }
    }
    return top;
}

}  // namespace

std::string PlimUtilsPlugin::StartContext(std::string request) {
    // A start that fails (a request that can't be read among them) leaves the context as it found
    // it: the dispatch puts the flag back, so no later command joins an unrelated undo step.
    const json parsed = ParseRequest(request);
    json reply = StartReply("startContext", parsed);
    const std::string key = ReadTextStrictly(parsed, "key");

    AIDocumentHandle document = nullptr;
    if (sAIDocument == nullptr || sAIDocument->GetDocument(&document) != kNoErr || document == nullptr) {
        reply["error"] = kDocumentNotFound;
        return DumpReply(reply);
    }
    // The dictionary first: a context that fails leaves no tagged step behind.
    const DictionaryScope dictionary = DictionaryScope::OfDocument();
    if (dictionary.Get() == nullptr || !HasPlimKey()) {
        reply["error"] = "Dictionary not found";
        return DumpReply(reply);
    }
    sAIUndo->SetUndoTagUS(ai::UnicodeString::FromUTF8(key.empty() ? kPlimTag : key));
    dictionary.Delete(kPlimTag);
    dictionary.SetBoolean(kPlimTag, true);
    return DumpReply(reply);
}

std::string PlimUtilsPlugin::UndoAllChanges(std::string request) {
    const json parsed = ParseRequest(request);
    json reply = StartReply("undoChanges", parsed);
    const std::string key = ReadTextStrictly(parsed, "key");

    const std::optional<History> history = sAIDocument != nullptr ? CountHistory() : std::nullopt;
    if (!history) {
        reply["error"] = "Can't read the undo history";
        return DumpReply(reply);
    }
    // Without a key the context opened by "startContext" with its default tag is the goal, never
    // the whole history.
    const std::optional<ai::int32> found = FindTaggedTransaction(*history, key.empty() ? kPlimTag : key);
    if (!found) {
        reply["error"] = "Key not found";
        return DumpReply(reply);
    }
    if (!StepHistory(*found)) {
        reply["error"] = *found < 0 ? "Undo failed" : "Redo failed";
    }
    return DumpReply(reply);
}

std::string PlimUtilsPlugin::ListUndoPoints(std::string request) {
    const json parsed = ParseRequest(request);
    json reply = StartReply("listUndoPoints", parsed);

    AIDocumentHandle document = nullptr;
    if (sAIDocument == nullptr || sAIDocument->GetDocument(&document) != kNoErr || document == nullptr) {
        reply["error"] = kDocumentNotFound;
        return DumpReply(reply);
    }
    const std::optional<History> history = CountHistory();
    if (!history) {
        reply["error"] = "Can't read the undo history";
        return DumpReply(reply);
    }
    json points = json::array();
    for (ai::int32 n = -history->past; n <= history->future; ++n) {
        if (n == 0) {
            continue;
        }
        const std::optional<std::string> tag = TransactionTag(n);
        if (tag && !tag->empty()) {
            points.push_back(json::array({n, *tag}));
        }
    }
    reply["undoPoints"] = std::move(points);
    return DumpReply(reply);
}

std::string PlimUtilsPlugin::CopyToDictionary(std::string request) {
    const json parsed = ParseRequest(request);
    json reply = StartReply("copyToDictionary", parsed);
    const FoundArt found = FindArtOfRequest(parsed, reply, kNoArtworkFound);
    if (found.empty()) {
        return DumpReply(reply);
    }
    if (!HasPlimKey()) {
        return DumpReply(reply);
    }
    for (ArtObject* art : found) {
        const DictionaryScope dictionary = DictionaryScope::OfArt(art, true);
        if (dictionary.Get() == nullptr) {
            continue;
        }
        if (!dictionary.Delete(kPlimTag)) {
            continue;
        }
        dictionary.CopyArtToEntry(kPlimTag, art);
    }
    return DumpReply(reply);
}

std::string PlimUtilsPlugin::RestoreFromDictionary(std::string request) {
    const json parsed = ParseRequest(request);
    json reply = StartReply("restoreFromDictionary", parsed);
    const FoundArt found = FindArtOfRequest(parsed, reply, kNoArtworkFound);
    if (found.empty()) {
        return DumpReply(reply);
    }
    const bool hasKey = HasPlimKey();
    for (ArtObject* art : TopMostObjects(found)) {
        if (!hasKey || !sAIArt->ValidArt(art, true)) {
            continue;
        }
        const DictionaryScope dictionary = DictionaryScope::OfArt(art, false);
        if (!dictionary.Has(kPlimTag)) {
            continue;
        }
        if (dictionary.CopyEntryToArt(kPlimTag, kPlaceAbove, art)) {
            sAIArt->DisposeArt(art);
        }
    }
    return DumpReply(reply);
}
