// Scope objects for the host state a command holds: each takes a host reference (or makes it) when
// it is made and gives it back on every way out, early returns and exceptions alike. Use these
// instead of a release call at the end of a function.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "AIArt.h"
#include "AIArtStyle.h"
#include "AIArtStyleParser.h"
#include "AIDictionary.h"
#include "AIEntry.h"
#include "AIPathStyle.h"
#include "AIUndo.h"

// A counted host reference held for a scope: GiveBack is called with it on every way out (never
// with null). The reference types of the entry and array suites are held this way.
template <typename Ref, void (*GiveBack)(Ref)>
class HostRef {
public:
    HostRef() = default;
    // Takes over a reference the caller holds (null for none).
    explicit HostRef(Ref ref) : fRef(ref) {}
    ~HostRef() {
        if (fRef != nullptr) {
            GiveBack(fRef);
        }
    }
    HostRef(const HostRef&) = delete;
    HostRef& operator=(const HostRef&) = delete;

    // Where a suite call that hands out a counted reference writes it.
    Ref* Out() { return &fRef; }
    Ref Get() const { return fRef; }

private:
    Ref fRef = nullptr;
};

void GiveBackArray(AIArrayRef array);
void GiveBackEntry(AIEntryRef entry);
using ArrayRef = HostRef<AIArrayRef, GiveBackArray>;
using EntryRef = HostRef<AIEntryRef, GiveBackEntry>;

// The key of an entry name: the one lookup every dictionary read and write goes through. Null when
// the host refuses or offers no dictionaries.
AIDictKey DictionaryKey(const char* name);

// One entry of a dictionary, by the type its value has. Entries of other types (art, dictionaries,
// arrays) are not read this way.
struct DictionaryEntry {
    std::string name;
    std::variant<ai::int32, bool, double, std::string, AIFillStyle, AIStrokeStyle> value;
};

// A dictionary reference held for a scope: its count is given back on every way out. Entries are
// read and written by name through the typed members; a read answers none when the entry is not
// there, has another type or the host refuses, and a write false without a dictionary or when the
// host refuses.
class DictionaryScope {
public:
    DictionaryScope() = default;
    // Takes over a reference the caller holds (null for none).
    explicit DictionaryScope(AIDictionaryRef dictionary) : fDictionary(dictionary) {}
    // A new empty dictionary; none when the host can't make one.
    static DictionaryScope New();
    // The art's dictionary, made when make is true and the art has none yet; none when the art has
    // no dictionary (and make is false) or the host refuses.
    static DictionaryScope OfArt(AIArtHandle art, bool make);
    // The current document's dictionary; none without a document or when the host refuses.
    static DictionaryScope OfDocument();
    ~DictionaryScope();
    DictionaryScope(DictionaryScope&& other) noexcept
        : fDictionary(std::exchange(other.fDictionary, nullptr)) {}
    DictionaryScope& operator=(DictionaryScope&& other) noexcept;
    DictionaryScope(const DictionaryScope&) = delete;
    DictionaryScope& operator=(const DictionaryScope&) = delete;

    // Where a suite call that hands out a counted reference writes it.
    AIDictionaryRef* Out() { return &fDictionary; }
    AIDictionaryRef Get() const { return fDictionary; }

    bool Has(const char* name) const;
    std::optional<ai::int32> GetInteger(const char* name) const;
    std::optional<double> GetReal(const char* name) const;
    std::optional<bool> GetBoolean(const char* name) const;
    std::optional<std::string> GetString(const char* name) const;
    // The dictionary an entry holds; none as for the other reads.
    DictionaryScope GetDictionary(const char* name) const;
    // The entry as an entry reference (null as for the other reads).
    EntryRef GetEntry(const char* name) const;
    // Every integer, boolean, real, text, fill and stroke entry, in key order.
    std::vector<DictionaryEntry> Entries() const;

    bool SetInteger(const char* name, ai::int32 value) const;
    bool SetReal(const char* name, double value) const;
    bool SetBoolean(const char* name, bool value) const;
    bool SetString(const char* name, const char* value) const;
    bool SetFillStyle(const char* name, const AIFillStyle& value) const;
    bool SetStrokeStyle(const char* name, const AIStrokeStyle& value) const;
    bool SetEntry(const char* name, AIEntryRef entry) const;
    // Removes the entry; true when it was not there.
    bool Delete(const char* name) const;
    // Keeps a copy of the art (and everything below it) in the entry, replacing what it held.
    bool CopyArtToEntry(const char* name, AIArtHandle art) const;
    // Puts a copy of the art the entry holds in place relative to prep; false when the host refuses.
    bool CopyEntryToArt(const char* name, ai::int16 paintOrder, AIArtHandle prep) const;

private:
    // The key of a name in a held dictionary; null without one.
    AIDictKey KeyIn(const char* name) const;

    AIDictionaryRef fDictionary = nullptr;
};

// A revert mark on the current document, set when the scope is made (none without a document):
// Revert takes back what changed in the document since, leaving no trace in the undo history and
// keeping what changed before; a mark not reverted is forgotten when the scope ends, the changes
// kept. Marks nest: reverting an outer mark takes back what changed after inner ones as well.
class RevertMark {
public:
    RevertMark();
    ~RevertMark();
    RevertMark(const RevertMark&) = delete;
    RevertMark& operator=(const RevertMark&) = delete;

    bool IsSet() const { return fMark != nullptr; }
    // Puts the document back as it was when the mark was set. Nothing happens when no mark is set,
    // or when the host already forgot it (the document went, or the history was stepped).
    void Revert();

private:
    AIUndoMark fMark = nullptr;
};

// A style parser holding the parts of an art object's style (or of a style), disposed of on every
// way out. Parsed() is false when the style can't be had or parsed.
class ParsedStyle {
public:
    explicit ParsedStyle(AIArtHandle art);
    explicit ParsedStyle(AIArtStyleHandle style);
    ~ParsedStyle();
    ParsedStyle(const ParsedStyle&) = delete;
    ParsedStyle& operator=(const ParsedStyle&) = delete;

    bool Parsed() const { return fParsed; }
    AIStyleParser Get() const { return fParser; }
    // A style built from what the parser holds; null when the host refuses.
    AIArtStyleHandle NewStyle() const;
    // Builds a style from what the parser holds and sets it on the art; false when a host step fails.
    bool ApplyTo(AIArtHandle art) const;

private:
    void Parse(AIArtStyleHandle style);

    AIStyleParser fParser = nullptr;
    bool fParsed = false;
};
