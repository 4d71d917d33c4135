// Scope objects for the host state a command holds: each takes a host reference (or makes it) when
// it is made and gives it back on every way out, early returns and exceptions alike. Use these
// instead of a release call at the end of a function.
#pragma once

#include "AIArt.h"
#include "AIArtStyle.h"
#include "AIArtStyleParser.h"
#include "AIDictionary.h"

// A dictionary reference held for a scope: its count is given back on every way out.
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
    ~DictionaryScope();
    DictionaryScope(const DictionaryScope&) = delete;
    DictionaryScope& operator=(const DictionaryScope&) = delete;

    // Where a suite call that hands out a counted reference writes it.
    AIDictionaryRef* Out() { return &fDictionary; }
    AIDictionaryRef Get() const { return fDictionary; }

    // Writes an entry; false without a dictionary or when the host refuses.
    bool SetInteger(const char* name, ai::int32 value) const;
    bool SetReal(const char* name, double value) const;
    bool SetBoolean(const char* name, bool value) const;

private:
    AIDictionaryRef fDictionary = nullptr;
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
    // Builds a style from what the parser holds and sets it on the art; false when a host step fails.
    bool ApplyTo(AIArtHandle art) const;

private:
    void Parse(AIArtStyleHandle style);

    AIStyleParser fParser = nullptr;
    bool fParsed = false;
};
