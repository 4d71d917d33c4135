// JSON text for the native document format: a pull reader that walks the text once, straight into
// the model's values, and a writer of the canonical text (nlohmann's dump with two spaces of
// indentation, byte for byte) into a buffer that can be drained into a file as it grows.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace host::model {

// A problem with a document text or with what is to be written, its message starting with the place
// where it was found ("layers[0].children[2].segments: expected an array").
class FormatError : public std::runtime_error {
public:
    FormatError(const std::string& where, const std::string& what)
        : std::runtime_error(where.empty() ? what : where + ": " + what) {}
};

enum class JsonKind { null, boolean, number, string, array, object };

// The kind's name as errors show it: "null", "boolean", "number", "string", "array", "object".
std::string_view jsonKindName(JsonKind kind);

// Reads one JSON value from the text, piece by piece, in the order the caller asks for. Strings are
// only decoded when asked for; the place of a value ("layers[0].children[2]") is kept as a stack of
// key positions and indices and put into words only when an error is reported. Malformed JSON
// throws FormatError starting with "not JSON"; a value of the wrong kind throws FormatError with its
// place.
class JsonReader {
public:
    explicit JsonReader(std::string_view text);

    // Skips blanks and answers the kind of the value that starts there.
    JsonKind peek();

    // Objects: beginObject(), then nextKey() until it answers false, reading each key's value in
    // between (every value must be read or skipped).
    void beginObject();
    // False at the end of the object. The key is the text as written (escapes not decoded): known
    // keys have none, and a key with escapes simply matches none of them.
    bool nextKey(std::string_view* key);
    // The current key of the innermost object, decoded.
    std::string keyText() const;

    // Arrays: beginArray(), then nextElement() until it answers false, reading each element.
    void beginArray();
    bool nextElement();

    std::string readString();
    bool readBool();
    // A finite number, integer or not.
    double readNumber();
    // An integer (no fraction, no exponent) from low to high.
    std::int64_t readInteger(std::int64_t low, std::int64_t high);
    void skipValue();

    // Where a value starts, to read it again later (a dictionary entry's "value" that comes before
    // its "type"): seek() goes back there as the value of the same key.
    struct Mark {
        std::size_t position = 0;
        std::size_t keyPosition = 0;
    };
    Mark mark();
    void seek(const Mark& mark);
    std::size_t position() const { return position_; }

    // Only blanks may follow the value.
    void finish();

    // The place of the value being read, and of the innermost object or array that holds it.
    std::string location() const;
    std::string containerLocation() const;
    [[noreturn]] void fail(const std::string& what) const;
    [[noreturn]] void failAtContainer(const std::string& what) const;
    // "expected <what>, found <the kind of the value here>".
    [[noreturn]] void failExpected(std::string_view what);

private:
    struct Frame {
        bool array = false;
        std::size_t index = 0;        // arrays: the element being read (from 0)
        std::size_t keyPosition = 0;  // objects: where the current key's opening quote is; 0 for none
    };

    [[noreturn]] void syntaxError(const std::string& what) const;
    [[noreturn]] void syntaxErrorAt(std::size_t position, const std::string& what) const;
    void skipBlanks();
    void expect(char c, const char* what);
    std::string decodeString(std::size_t* position) const;
    std::string_view scanString();
    std::string_view scanNumber(bool* integer);
    void appendPlace(std::string& out, std::size_t frames) const;

    std::string_view text_;
    std::size_t position_ = 0;
    std::vector<Frame> frames_;
};

// Reads an object whose keys are among `names` (at most 64), calling read(i) with the reader at the
// value of names[i]. A key not among them, or one given twice, is an error at the object. Answers
// the keys that were there, bit i for names[i].
template <std::size_t N, typename Read>
std::uint64_t readMembers(JsonReader& in, const std::string_view (&names)[N], Read&& read) {
    static_assert(N <= 64);
    in.beginObject();
    std::uint64_t seen = 0;
    std::string_view key;
    while (in.nextKey(&key)) {
        std::size_t index = 0;
        while (index < N && names[index] != key) {
            ++index;
        }
        if (index == N) {
            in.failAtContainer("unknown key \"" + in.keyText() + "\"");
        }
        const std::uint64_t bit = std::uint64_t{1} << index;
        if ((seen & bit) != 0) {
            in.failAtContainer("the key \"" + in.keyText() + "\" is given twice");
        }
        seen |= bit;
        read(index);
    }
    return seen;
}

// Reads an array of exactly N values, each with read(); anything else (not an array, fewer or more
// values) fails with `expected`, at the array for one value too many.
template <typename T, std::size_t N, typename Read>
std::array<T, N> readFixedArray(JsonReader& in, const std::string& expected, Read&& read) {
    if (in.peek() != JsonKind::array) {
        in.fail(expected);
    }
    std::array<T, N> result{};
    std::size_t count = 0;
    in.beginArray();
    while (in.nextElement()) {
        if (count == N) {
            in.failAtContainer(expected);
        }
        result[count++] = read();
    }
    if (count != N) {
        in.fail(expected);
    }
    return result;
}

// True when the names are in byte-wise ascending order, the order the canonical text writes them.
template <std::size_t N>
constexpr bool inCanonicalOrder(const std::string_view (&names)[N]) {
    for (std::size_t i = 1; i < N; ++i) {
        if (!(names[i - 1] < names[i])) {
            return false;
        }
    }
    return true;
}

// The place of a name in a table of member names, worked out while compiling (a name the table
// lacks does not compile), so that a reader's cases name their keys: case keyIndex(kKeys, "color").
template <std::size_t N>
consteval std::size_t keyIndex(const std::string_view (&names)[N], std::string_view name) {
    for (std::size_t i = 0; i < N; ++i) {
        if (names[i] == name) {
            return i;
        }
    }
    throw "the name is not in the table";
}

// The bit of a name in the set of members readMembers answers as seen.
template <std::size_t N>
consteval std::uint64_t keyBit(const std::string_view (&names)[N], std::string_view name) {
    return std::uint64_t{1} << keyIndex(names, name);
}

// Writes canonical JSON text: members in the order the caller gives them (sorted keys: the caller's
// duty, checked in debug builds), two spaces of indentation, nlohmann's number forms. Texts that are
// not UTF-8 and numbers that are not finite throw FormatError. The text collects in a buffer; the
// drain, when given, is handed the buffer whenever it passes a megabyte, and empties it.
class JsonWriter {
public:
    using Drain = std::function<void(std::string_view)>;

    explicit JsonWriter(std::string& out, Drain drain = nullptr);

    void beginObject();
    void key(std::string_view key);
    void endObject();
    void beginArray();
    // Before each element of an array.
    void element();
    void endArray();

    void string(std::string_view text);
    void number(double value);
    void integer(std::int64_t value);
    void boolean(bool value);

    // Hands the buffer to the drain when it has grown past its limit.
    void drainIfFull();
    // Hands everything left to the drain.
    void drain();

private:
    void separate();
    void open(char bracket);
    void close(char bracket);

    std::string& out_;
    Drain drain_;
    int indent_ = 0;
    bool first_ = true;
#ifndef NDEBUG
    std::vector<std::string> lastKeys_;  // the previous key of each open object, to check the order
#endif
};

}  // namespace host::model
