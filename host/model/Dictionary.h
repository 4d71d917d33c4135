// Dictionaries: typed entries under text keys, held by art objects and by documents. An entry can
// hold a copy of an art object (with everything below it) or another dictionary.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "model/Box.h"
#include "model/Status.h"

namespace host::model {

struct ArtTree;
class Dictionary;
struct FillPaint;
struct StrokePaint;

enum class EntryType { integer, boolean, real, string, art, dictionary, fillStyle, strokeStyle, array };

// "integer", "boolean", "real", "string", "art", "dictionary", "fillStyle", "strokeStyle", "array":
// the names of the document format.
std::string_view entryTypeName(EntryType type);

// An array entry: an ordered list of integers, booleans, reals and texts (the alternatives in the
// order of EntryType).
using ArrayElement = std::variant<std::int32_t, bool, double, std::string>;
using EntryArray = std::vector<ArrayElement>;

// The alternatives are in the order of EntryType.
using DictionaryValue = std::variant<std::int32_t, bool, double, std::string, Box<ArtTree>, Box<Dictionary>,
                                     Box<FillPaint>, Box<StrokePaint>, EntryArray>;

// ok when every text of the array is well-formed UTF-8 and every real finite.
bool isValidArray(const EntryArray& array);
// The value as an array element; none for a value of another type than the four an array holds.
std::optional<ArrayElement> arrayElementOf(const DictionaryValue& value);
DictionaryValue valueOf(const ArrayElement& element);

// Keys are non-empty UTF-8 texts, kept in byte-wise ascending order; key n (from 0) is the n-th in
// that order. Setting a key replaces its entry whatever the old entry's type was.
class Dictionary {
public:
    Dictionary();
    Dictionary(const Dictionary& other);
    Dictionary(Dictionary&& other) noexcept;
    Dictionary& operator=(const Dictionary& other);
    Dictionary& operator=(Dictionary&& other) noexcept;
    ~Dictionary();

    // Equal when they hold the same keys with entries of the same types and values.
    bool operator==(const Dictionary& other) const;

    bool empty() const;
    std::size_t size() const;
    bool contains(std::string_view key) const;
    // notFound for an index out of range.
    Result<std::string> keyAt(std::size_t index) const;
    std::vector<std::string> keys() const;
    Result<EntryType> typeOf(std::string_view key) const;
    // notFound when the key is absent.
    Status erase(std::string_view key);
    void clear();

    // badParameter: malformed key, malformed string value, real value that is not finite.
    Status setInteger(std::string_view key, std::int32_t value);
    Status setBoolean(std::string_view key, bool value);
    Status setReal(std::string_view key, double value);
    Status setString(std::string_view key, std::string_view value);
    Status setArt(std::string_view key, ArtTree art);
    Status setDictionary(std::string_view key, Dictionary value);
    // badParameter also for a paint that breaks the style limits (ArtStyle.h).
    Status setFillStyle(std::string_view key, FillPaint value);
    Status setStrokeStyle(std::string_view key, StrokePaint value);
    // badParameter also for an array that isValidArray refuses.
    Status setArray(std::string_view key, EntryArray value);
    // Any value, checked as its own setter checks it.
    Status setValue(std::string_view key, DictionaryValue value);

    // notFound: absent key; wrongType: an entry of another type.
    Result<std::int32_t> integer(std::string_view key) const;
    Result<bool> boolean(std::string_view key) const;
    Result<double> real(std::string_view key) const;
    Result<std::string> string(std::string_view key) const;
    Result<EntryArray> array(std::string_view key) const;
    // The stored art copy, or null (absent key or another type). Valid until the entry changes.
    const ArtTree* art(std::string_view key) const;
    ArtTree* art(std::string_view key);
    // The nested dictionary, or null. Valid until the entry changes; changes to it are changes of
    // this dictionary.
    Dictionary* dictionary(std::string_view key);
    const Dictionary* dictionary(std::string_view key) const;
    // The stored fill or stroke, or null (absent key or another type).
    FillPaint* fillStyle(std::string_view key);
    const FillPaint* fillStyle(std::string_view key) const;
    StrokePaint* strokeStyle(std::string_view key);
    const StrokePaint* strokeStyle(std::string_view key) const;

    // Every entry in key order, for writers and comparisons.
    const std::map<std::string, DictionaryValue, std::less<>>& entries() const;

private:
    Status set(std::string_view key, DictionaryValue value);
    const DictionaryValue* find(std::string_view key) const;

    std::map<std::string, DictionaryValue, std::less<>> entries_;
};

}  // namespace host::model
