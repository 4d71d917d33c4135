// Applying a graphic-style record to art: the record is an edit script worked on the host's style
// parser. Paint fields and effects each carry a mode ("add", "edit", "editRE", "replace", "remove",
// and "addEdit"/"addEditRE", which choose between adding and editing) and optionally the position
// of what they address. Positions are 0-based; -3 means none and -1 the end of a list.
#include <map>
#include <set>

#include "AIPaintStyle.h"
#include "appearance/GStyle.h"
#include "appearance/StyleParts.h"
#include "appearance/TextArt.h"
#include "core/Suites.h"

namespace {

// The paint-field map: one record per paint field of the parser while a style is applied.
struct FieldInfo {
    int start = kNoPosition;     // its position when the work began; -3 for one added
    int producer = kNoPosition;  // the JSON paint field that made or edited it
    int fillNumber = kNoPosition;
    int strokeNumber = kNoPosition;
    bool edited = false;
};

int FindField(const std::vector<FieldInfo>& map, int FieldInfo::*member, int value) {
    for (std::size_t i = 0; i < map.size(); ++i) {
        if (map[i].*member == value) {
            return static_cast<int>(i);
        }
    }
    return kNoPosition;
}

// Where a JSON paint field points in the map: by fill number, stroke number, then start position.
int FieldTarget(const PField& field, const std::vector<FieldInfo>& map) {
    int target = kNoPosition;
    int used = kNoPosition;
    if (field.fillIndex) {
        used = *field.fillIndex;
        target = FindField(map, &FieldInfo::fillNumber, used);
    } else if (field.strokeIndex) {
        used = *field.strokeIndex;
        target = FindField(map, &FieldInfo::strokeNumber, used);
    }
    if (target == kNoPosition && used != kEnd && field.pfIndex) {
        used = *field.pfIndex;
        target = FindField(map, &FieldInfo::start, used);
    }
    return target == kNoPosition && used == kEnd ? kEnd : target;
}

void InsertField(std::vector<FieldInfo>& map, int at, int producer) {
    InsertInfo(map, at, FieldInfo{kNoPosition, producer, kNoPosition, kNoPosition, true});
}

// Works one JSON paint field (the producer-th) on the parser by its mode, keeping the map in step.
void ApplyPaintField(const PField& field, int producer, AIStyleParser parser, std::vector<FieldInfo>& map) {
    int target = FieldTarget(field, map);
    const std::string mode = field.mode.value_or("add");
    if (mode == "add") {
        target = target == kNoPosition ? kEnd : target;
        if (field.Add(target, parser)) {
            InsertField(map, target, producer);
        }
        return;
    }
    if (target < 0) {
        return;
    }
    if (mode == "edit" || mode == "editRE") {
        const PField normalized = field.Normalize(target, parser);
        if (normalized.Edit(target, parser, normalized.mode == "editRE")) {
            map[static_cast<std::size_t>(target)].edited = true;
            map[static_cast<std::size_t>(target)].producer = producer;
        }
    } else if (mode == "replace") {
        if (field.Add(target, parser)) {
            InsertField(map, target, producer);
            if (PField::Remove(target + 1, parser)) {
                map.erase(map.begin() + target + 1);
            }
        }
    } else if (mode == "remove") {
        if (PField::Remove(target, parser)) {
            map.erase(map.begin() + target);
        }
    }
}

// The paint fields as applied: for each paint field of the map that a JSON paint field made or
// edited, that record at its new position.
std::vector<PField> AppliedPaintFields(const std::vector<PField>& paintFields,
                                       const std::vector<FieldInfo>& map) {
    std::vector<PField> applied;
    for (std::size_t i = 0; i < map.size(); ++i) {
        const int producer = map[i].producer;
        if (producer < 0 || producer >= static_cast<int>(paintFields.size())) {
            continue;
        }
        PField copy = paintFields[static_cast<std::size_t>(producer)];
        copy.pfIndex = static_cast<int>(i);
        copy.fillIndex.reset();
        copy.strokeIndex.reset();
        applied.push_back(std::move(copy));
    }
    return applied;
}

// Each paint field's position and whether it is a fill; empty when the style can't be parsed.
std::map<int, bool> GetFillStrokeMap(AIArtHandle art) {
    std::map<int, bool> map;
    const ParsedStyle parsed(art);
    if (!parsed.Parsed()) {
        return map;
    }
    const std::vector<AIParserPaintField> fields = PaintFields(parsed.Get());
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (fields[i] != nullptr) {
            map[static_cast<int>(i)] = sAIArtStyleParser->IsFill(fields[i]) != 0;
        }
    }
    return map;
}

// Makes the paint field at the position the style's focus.
bool SetFocus(AIArtHandle art, int position) {
    const ParsedStyle parsed(art);
    const AIParserPaintField field = parsed.Parsed() ? NthPaintField(parsed.Get(), position) : nullptr;
    return field != nullptr && sAIArtStyleParser->SetFocus(parsed.Get(), field) == kNoErr &&
           parsed.ApplyTo(art);
}

// The 1-based number of the current paint field that is the k-th (1-based) fill or stroke.
std::optional<std::int64_t> NumberOfKind(const GStyle& current, bool fill, std::int64_t k) {
    for (const PField& field : current.paintFields) {
        const std::optional<int>& index = fill ? field.fillIndex : field.strokeIndex;
        if (index && *index + 1 == k) {
            return *field.pfIndex + 1;
        }
    }
    return std::nullopt;
}

// The 1-based number of the current paint field that a JSON paint field edits; none for one that
// adds, or that addresses no paint field.
std::optional<std::int64_t> EditedFieldNumber(const json& element, const GStyle& current) {
    const auto modeKey = element.is_object() ? element.find("mode") : element.end();
    const std::string mode =
        modeKey != element.end() && modeKey->is_string() ? modeKey->get<std::string>() : std::string();
    if (mode != "edit" && mode != "editRE" && mode != "addEdit" && mode != "addEditRE") {
        return std::nullopt;
    }
    const auto integer = [&](const char* name) -> std::optional<std::int64_t> {
        const auto found = element.find(name);
        return found != element.end() && found->is_number_integer()
                   ? std::optional(found->get<std::int64_t>())
                   : std::nullopt;
    };
    if (const auto pf = integer("pfIndex")) {
        return *pf;
    }
    if (const auto fill = integer("fillIndex")) {
        return NumberOfKind(current, true, *fill);
    }
    if (const auto stroke = integer("strokeIndex")) {
        return NumberOfKind(current, false, *stroke);
    }
    return std::nullopt;
}

// The JSON paint fields with the edits of one paint field merged, in order, into one group.
std::vector<json> GroupPaintFieldEdits(const std::vector<json>& paintFieldsJson, const GStyle& current) {
    std::vector<json> groups;
    std::map<std::int64_t, std::size_t> groupOfKey;
    for (const json& element : paintFieldsJson) {
        const std::optional<std::int64_t> key = EditedFieldNumber(element, current);
        if (key && groupOfKey.contains(*key)) {
            groups[groupOfKey[*key]].merge_patch(element);
            continue;
        }
        if (key) {
            groupOfKey[*key] = groups.size();
        }
        groups.push_back(element);
    }
    return groups;
}

// Resolves "addEdit" and "addEditRE" against the current paint fields, and gives a paint field
// that is added its position, kind and colour where the record leaves them out.
void NormalizePaintField(PField& field, const GStyle& current) {
    int fills = 0;
    int strokes = 0;
    for (const PField& each : current.paintFields) {
        (each.isFill ? fills : strokes) += 1;
    }
    const auto below = [](const std::optional<int>& index, int count) { return index && *index < count; };
    if (field.mode == "addEdit" || field.mode == "addEditRE") {
        const bool edit = field.pfIndex ? below(field.pfIndex, static_cast<int>(current.paintFields.size()))
                          : field.fillIndex   ? below(field.fillIndex, fills)
                          : field.strokeIndex ? below(field.strokeIndex, strokes)
                                              : false;
        field.mode = edit ? (field.mode == "addEdit" ? "edit" : "editRE") : "add";
    }
    if (field.mode == "add") {
        std::optional<int>* first = field.pfIndex       ? &field.pfIndex
                                    : field.fillIndex   ? &field.fillIndex
                                    : field.strokeIndex ? &field.strokeIndex
                                                        : nullptr;
        if (first == nullptr) {
            field.pfIndex = 0;
        } else if (**first == kEnd) {
            *first = 0;
        }
    }
    if (field.mode != "add" && field.mode != "replace") {
        return;
    }
    if (!field.isFillKnown) {
        field.isFill = true;
        field.isFillKnown = true;
    }
    if (!(field.colorGiven && field.color.Check()) && field.partialColor.colorSpace.empty()) {
        field.partialColor.colorSpace = GetCurDocumentColorSpace();
        bool built = false;
        const PFieldColor colour(field.partialColor, built);
        if (built) {
            field.color = colour;
            field.colorGiven = true;
        }
    }
}

// Sends the effects of the mixed list that address a current pre-effect back to the pre-effects, and
// resolves the modes of both lists against the current effects.
void NormalizeEffects(std::vector<Effect>& preEffects, std::vector<Effect>& postEffects,
                      const GStyle& current) {
    const int pre = static_cast<int>(current.preEffects.size());
    for (auto effect = postEffects.end(); effect != postEffects.begin();) {
        --effect;
        if (effect->fromMixedList && effect->effectIndex && *effect->effectIndex < pre) {
            preEffects.push_back(*effect);
            effect = postEffects.erase(effect);
        }
    }
    preEffects = NormalizeEffectsVector(preEffects, pre);
    for (Effect& effect : postEffects) {
        if (effect.fromMixedList) {
            if (effect.effectIndex) {
                effect.effectIndex =
                    *effect.effectIndex - pre >= 0 ? std::optional(*effect.effectIndex - pre) : std::nullopt;
            }
            effect.fromMixedList = false;
        }
    }
    postEffects = NormalizeEffectsVector(postEffects, static_cast<int>(current.postEffects.size()));
}

}  // namespace

bool ArtToParser(const ParsedStyle& parsed) {
    if (!parsed.Parsed()) {
        return false;
    }
    const AIArtStyleHandle rebuilt = parsed.NewStyle();
    return rebuilt != nullptr && sAIArtStyleParser->ParseStyle(parsed.Get(), rebuilt) == kNoErr;
}

void GStyle::Normalize(AIStyleParser parser) {
    const GStyle current(parser);
    paintFields.clear();
    for (const json& group : GroupPaintFieldEdits(paintFieldsJson, current)) {
        bool ok = false;
        PField field(group, ok);
        if (ok) {
            NormalizePaintField(field, current);
            paintFields.push_back(std::move(field));
        }
    }
    NormalizeEffects(preEffects, postEffects, current);
}

void GStyle::AddToParser(AIStyleParser parser, bool replacePaintFields, bool replaceEffects) const {
    GStyle applied;
    AddToParser(parser, replacePaintFields, replaceEffects, applied);
}

void GStyle::AddToParser(AIStyleParser parser, bool replacePaintFields, bool replaceEffects,
                         GStyle& applied) const {
    if (blendGiven) {
        blend.AddToParser(parser, replacePaintFields);
    }
    const GStyle current(parser);
    std::vector<EffectInfo> preInfos = EffectInfosOf(static_cast<int>(current.preEffects.size()));
    std::vector<EffectInfo> postInfos = EffectInfosOf(static_cast<int>(current.postEffects.size()));
    std::vector<FieldInfo> map;
    for (const PField& field : current.paintFields) {
        map.push_back(FieldInfo{*field.pfIndex, kNoPosition, field.fillIndex.value_or(kNoPosition),
                                field.strokeIndex.value_or(kNoPosition), false});
    }
    AddEffects(preEffects, preInfos, parser, true, replaceEffects);
    AddEffects(postEffects, postInfos, parser, false, replaceEffects);

    for (std::size_t j = 0; j < paintFields.size(); ++j) {
        ApplyPaintField(paintFields[j], static_cast<int>(j), parser, map);
    }
    if (replacePaintFields) {
        for (int i = static_cast<int>(map.size()) - 1; i >= 0; --i) {
            if (!map[static_cast<std::size_t>(i)].edited && PField::Remove(i, parser)) {
                map.erase(map.begin() + i);
            }
        }
    }
    // A contents position beyond the paint fields is left out.
    if (contentsPosition && *contentsPosition >= 0 && *contentsPosition <= static_cast<int>(map.size())) {
        sAIArtStyleParser->SetContentsPosition(parser, *contentsPosition);
    }
    applied = *this;
    applied.paintFields = AppliedPaintFields(paintFields, map);
}

bool GStyle::AddStrokeProperties(AIArtHandle art) const {
    const std::map<int, bool> fillStroke = GetFillStrokeMap(art);
    if (fillStroke.empty()) {
        return false;
    }
    for (const PField& field : paintFields) {
        const auto found = field.pfIndex ? fillStroke.find(*field.pfIndex) : fillStroke.end();
        if (found == fillStroke.end() || found->second || !SetFocus(art, *field.pfIndex)) {
            continue;
        }
        AIPathStyle style;
        if (sAIPathStyle->GetPathStyle(art, &style, nullptr) != kNoErr) {
            continue;
        }
        const std::string& align = field.pFieldStroke.strokeAlign;
        if (align == "Inside" || align == "Outside") {
            style.strokePaint = false;
            sAIPathStyle->SetFocusPathStyle(art, &style);
        }
        style.strokePaint = field.visible;
        if (sAIPathStyle->SetFocusPathStyle(art, &style) != kNoErr) {
            continue;
        }
        if (const int alignment = IndexOf(kStrokeAlignNames, align); alignment >= 0) {
            sAIPaintStyle->SetStrokeAlignment(art, alignment);
        }
    }
    return true;
}

bool GStyle::AddToArt(AIArtHandle art, bool replacePaintFields, bool replaceEffects) const {
    GStyle copy = *this;
    // A text frame's colours and stroke belong to its characters: only effects, contents position
    // and transparency reach the frame's art style.
    if (ApplyStyleToTextFrame(art, copy)) {
        copy.paintFields.clear();
        copy.paintFieldsJson.clear();
    }
    const ParsedStyle parsed(art);
    if (!ArtToParser(parsed)) {
        return false;
    }
    copy.Normalize(parsed.Get());
    GStyle applied;
    copy.AddToParser(parsed.Get(), replacePaintFields, replaceEffects, applied);
    if (!parsed.ApplyTo(art)) {
        return false;
    }
    // False as well when the art has no paint field left.
    return applied.AddStrokeProperties(art);
}

bool GStyle::FindPreEffects(const std::vector<Effect>& search) const {
    const auto names = [](const std::vector<Effect>& effects) {
        std::set<std::string> out;
        for (const Effect& effect : effects) {
            out.insert(effect.name);
        }
        return out;
    };
    const std::set<std::string> wanted = names(search);
    const std::set<std::string> have = names(preEffects);
    return std::includes(have.begin(), have.end(), wanted.begin(), wanted.end());
}

bool GStyle::FindPostEffects(const std::vector<Effect>& search) const {
    GStyle post;
    post.preEffects = postEffects;
    return post.FindPreEffects(search);
}
