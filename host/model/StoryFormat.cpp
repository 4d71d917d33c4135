#include "model/StoryFormat.h"

#include <algorithm>
#include <functional>
#include <limits>
#include <map>
#include <set>
#include <utility>

#include "model/ArtPaintFormat.h"

namespace host::model {

namespace {

// The members of an object whose keys come from feature tables in no order of their own: gathered,
// then written in the canonical (sorted) order.
class SortedMembers {
public:
    void add(std::string_view key, std::function<void()> write) {
        members_.emplace_back(key, std::move(write));
    }

    void write(JsonWriter& out) {
        std::sort(members_.begin(), members_.end(),
                  [](const auto& left, const auto& right) { return left.first < right.first; });
        out.beginObject();
        for (const auto& [key, write] : members_) {
            out.key(key);
            write();
        }
        out.endObject();
    }

private:
    std::vector<std::pair<std::string_view, std::function<void()>>> members_;
};

void writeValue(JsonWriter& out, double value) {
    out.number(value);
}
void writeValue(JsonWriter& out, int value) {
    out.integer(value);
}
void writeValue(JsonWriter& out, bool value) {
    out.boolean(value);
}

void readValue(JsonReader& in, double& out) {
    out = in.readNumber();
}
void readValue(JsonReader& in, int& out) {
    out = static_cast<int>(in.readInteger(std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}
void readValue(JsonReader& in, bool& out) {
    out = in.readBool();
}

#define PLIM_TEXT_KEY(Name, member, T, rule) #member,

// The keys of character features: the three that are no plain value, then the plain values.
constexpr std::string_view kCharKeys[] = {"font", "fillColor", "strokeColor",
                                          PLIM_TEXT_CHAR_VALUES(PLIM_TEXT_KEY)};
constexpr std::size_t kCharPlainFirst = 3;
constexpr std::string_view kParaKeys[] = {"defaultCharacter", PLIM_TEXT_PARA_VALUES(PLIM_TEXT_KEY)};
constexpr std::size_t kParaPlainFirst = 1;

#undef PLIM_TEXT_KEY

#define PLIM_TEXT_WRITE(Name, member, T, rule)                                              \
    if (features.member) {                                                                  \
        members.add(#member, [&out, value = *features.member] { writeValue(out, value); }); \
    }
#define PLIM_TEXT_READ(Name, member, T, rule) \
    if (index++ == key) {                     \
        T value{};                            \
        readValue(in, value);                 \
        features.member = value;              \
        return;                               \
    }

void writeChar(JsonWriter& out, const CharFeatures& features) {
    SortedMembers members;
    if (features.font) {
        members.add("font", [&] { out.string(*features.font); });
    }
    if (features.fillColor) {
        members.add("fillColor", [&] { writePaintColor(out, *features.fillColor); });
    }
    if (features.strokeColor) {
        members.add("strokeColor", [&] { writePaintColor(out, *features.strokeColor); });
    }
    PLIM_TEXT_CHAR_VALUES(PLIM_TEXT_WRITE)
    members.write(out);
}

void readCharValue(JsonReader& in, std::size_t key, CharFeatures& features) {
    std::size_t index = 0;
    PLIM_TEXT_CHAR_VALUES(PLIM_TEXT_READ)
}

CharFeatures readChar(JsonReader& in) {
    CharFeatures features;
    readMembers(in, kCharKeys, [&](std::size_t key) {
        switch (key) {
            case 0:
                features.font = in.readString();
                break;
            case 1:
                features.fillColor = readPaintColor(in);
                break;
            case 2:
                features.strokeColor = readPaintColor(in);
                break;
            default:
                readCharValue(in, key - kCharPlainFirst, features);
                break;
        }
    });
    if (!features.isValid()) {
        in.fail("a feature is out of its range");
    }
    return features;
}

void writePara(JsonWriter& out, const ParaFeatures& features) {
    SortedMembers members;
    if (features.defaultChar) {
        members.add("defaultCharacter", [&] { writeChar(out, *features.defaultChar); });
    }
    PLIM_TEXT_PARA_VALUES(PLIM_TEXT_WRITE)
    members.write(out);
}

void readParaValue(JsonReader& in, std::size_t key, ParaFeatures& features) {
    std::size_t index = 0;
    PLIM_TEXT_PARA_VALUES(PLIM_TEXT_READ)
}

ParaFeatures readPara(JsonReader& in) {
    ParaFeatures features;
    readMembers(in, kParaKeys, [&](std::size_t key) {
        if (key == 0) {
            features.defaultChar = readChar(in);
        } else {
            readParaValue(in, key - kParaPlainFirst, features);
        }
    });
    if (!features.isValid()) {
        in.fail("a feature is out of its range");
    }
    return features;
}

#undef PLIM_TEXT_WRITE
#undef PLIM_TEXT_READ

CharRun readCharRun(JsonReader& in) {
    static constexpr std::string_view kKeys[] = {"features", "length", "style"};
    CharRun run;
    const std::uint64_t seen = readMembers(in, kKeys, [&](std::size_t key) {
        switch (key) {
            case keyIndex(kKeys, "features"):
                run.local = readChar(in);
                break;
            case keyIndex(kKeys, "length"):
                run.length = static_cast<std::size_t>(in.readInteger(0, std::numeric_limits<int>::max()));
                break;
            default:
                run.style = in.readString();
                break;
        }
    });
    if ((seen & keyBit(kKeys, "length")) == 0) {
        in.fail("the key \"length\" is missing");
    }
    return run;
}

ParaRun readParaRun(JsonReader& in) {
    static constexpr std::string_view kKeys[] = {"features", "style"};
    ParaRun paragraph;
    readMembers(in, kKeys, [&](std::size_t key) {
        if (key == 0) {
            paragraph.local = readPara(in);
        } else {
            paragraph.style = in.readString();
        }
    });
    return paragraph;
}

template <typename Read>
auto readList(JsonReader& in, Read&& read) {
    std::vector<decltype(read(in))> items;
    in.beginArray();
    while (in.nextElement()) {
        items.push_back(read(in));
    }
    return items;
}

// The styles of one kind by name, names in the map's (byte-wise) order.
template <typename Features, typename Write>
void writeStyleMap(JsonWriter& out, const std::map<std::string, Features, std::less<>>& styles,
                   Write&& write) {
    out.beginObject();
    for (const auto& [name, features] : styles) {
        out.key(name);
        write(out, features);
    }
    out.endObject();
}

template <typename Read, typename Set>
void readStyleMap(JsonReader& in, Read&& read, Set&& set) {
    std::set<std::string, std::less<>> names;
    in.beginObject();
    std::string_view key;
    while (in.nextKey(&key)) {
        const std::string name = in.keyText();
        if (!names.insert(name).second) {
            in.failAtContainer("the key \"" + name + "\" is given twice");
        }
        if (set(name, read(in)) != Status::ok) {
            in.fail("not a style name");
        }
    }
}

}  // namespace

void writeStory(JsonWriter& out, const Story& story) {
    out.beginObject();
    out.key("paragraphs");
    out.beginArray();
    for (const ParaRun& paragraph : story.paragraphs()) {
        out.element();
        out.beginObject();
        if (!paragraph.local.empty()) {
            out.key("features");
            writePara(out, paragraph.local);
        }
        if (!paragraph.style.empty()) {
            out.key("style");
            out.string(paragraph.style);
        }
        out.endObject();
    }
    out.endArray();
    out.key("runs");
    out.beginArray();
    for (const CharRun& run : story.charRuns()) {
        out.element();
        out.beginObject();
        if (!run.local.empty()) {
            out.key("features");
            writeChar(out, run.local);
        }
        out.key("length");
        out.integer(static_cast<std::int64_t>(run.length));
        if (!run.style.empty()) {
            out.key("style");
            out.string(run.style);
        }
        out.endObject();
    }
    out.endArray();
    out.key("text");
    out.string(story.utf8());
    out.endObject();
}

Story readStory(JsonReader& in) {
    static constexpr std::string_view kKeys[] = {"paragraphs", "runs", "text"};
    std::string text;
    std::optional<std::vector<CharRun>> runs;
    std::optional<std::vector<ParaRun>> paragraphs;
    readMembers(in, kKeys, [&](std::size_t key) {
        switch (key) {
            case keyIndex(kKeys, "paragraphs"):
                paragraphs = readList(in, readParaRun);
                break;
            case keyIndex(kKeys, "runs"):
                runs = readList(in, readCharRun);
                break;
            default:
                text = in.readString();
                break;
        }
    });
    const std::optional<Story> plain = Story::plain(text);
    if (!plain) {
        in.fail("the text is not UTF-8");
    }
    std::optional<Story> story = Story::fromParts(plain->text(), runs ? std::move(*runs) : plain->charRuns(),
                                                  paragraphs ? std::move(*paragraphs) : plain->paragraphs());
    if (!story) {
        in.fail("the runs do not cover the text, or the paragraphs do not match its breaks");
    }
    return *std::move(story);
}

void writeThread(JsonWriter& out, const std::vector<std::string>& thread) {
    out.beginArray();
    for (const std::string& uuid : thread) {
        out.element();
        out.string(uuid);
    }
    out.endArray();
}

std::vector<std::string> readThread(JsonReader& in) {
    return readList(in, [](JsonReader& reader) { return reader.readString(); });
}

bool hasTextStyles(const TextStyles& styles) {
    return !styles.isDefault();
}

void writeTextStyles(JsonWriter& out, const TextStyles& styles) {
    out.beginObject();
    out.key("character");
    writeStyleMap(out, styles.charStyles(), writeChar);
    out.key("paragraph");
    writeStyleMap(out, styles.paraStyles(), writePara);
    out.endObject();
}

TextStyles readTextStyles(JsonReader& in) {
    static constexpr std::string_view kKeys[] = {"character", "paragraph"};
    TextStyles styles;
    readMembers(in, kKeys, [&](std::size_t key) {
        if (key == 0) {
            readStyleMap(in, readChar, [&](const std::string& name, CharFeatures features) {
                return styles.setCharStyle(name, std::move(features));
            });
        } else {
            readStyleMap(in, readPara, [&](const std::string& name, ParaFeatures features) {
                return styles.setParaStyle(name, std::move(features));
            });
        }
    });
    return styles;
}

}  // namespace host::model
