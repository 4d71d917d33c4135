// Reading and setting the appearance of art.
#include "model/Document.h"

#include <cmath>

namespace host::model {

Result<ArtStyle> Document::style(ArtId art) const {
    const ArtNode* node = find(art);
    if (node == nullptr) {
        return Status::invalidHandle;
    }
    return node->data->style;
}

Status Document::setStyle(ArtId art, ArtStyle style) {
    if (!isValid(art)) {
        return Status::invalidHandle;
    }
    if (colors().checkStyle(style) != Status::ok) {
        return Status::badParameter;
    }
    editData(art).style = std::move(style);
    return Status::ok;
}

Status Document::setTextWrap(ArtId art, double offset, bool inside) {
    if (!isValid(art)) {
        return Status::invalidHandle;
    }
    if (!std::isfinite(offset)) {
        return Status::badParameter;
    }
    ArtData& data = editData(art);
    data.wrapOffset = offset;
    data.wrapInside = inside;
    return Status::ok;
}

namespace {

bool isFixedSwatchName(std::string_view name) {
    return name == kNoneSwatch || name == kRegistrationSwatch;
}

// The swatch that is the custom colour's own: it has the colour's name and paints it.
const Swatch* ownSwatch(const DocumentColors& colors, const CustomColor& custom) {
    const Swatch* swatch = colors.swatchByName(custom.name);
    if (swatch == nullptr || isFixedSwatchName(swatch->name) || swatch->color.kind != Color::Kind::custom ||
        swatch->color.resource != custom.name) {
        return nullptr;
    }
    return swatch;
}

}  // namespace

Status Document::renameCustomColor(ResourceId id, std::string_view name) {
    const CustomColor* custom = colors().findCustomColor(id);
    if (custom == nullptr) {
        return Status::badParameter;
    }
    const std::string oldName = custom->name;
    const Swatch* own = ownSwatch(colors(), *custom);
    const ResourceId swatchId = own != nullptr ? own->id : ResourceId{};
    // The swatch takes the name too: checked before anything changes.
    if (own != nullptr) {
        const Swatch* holder = colors().swatchByName(name);
        if ((holder != nullptr && holder != own) || isFixedSwatchName(name)) {
            return Status::badParameter;
        }
    }
    if (const Status status = editColors().setCustomColorName(id, name); status != Status::ok) {
        return status;
    }
    const std::string newName(name);
    const auto rename = [&](Color& color, bool& changed) {
        if (color.kind == Color::Kind::custom && color.resource == oldName) {
            color.resource = newName;
            changed = true;
        }
    };
    if (!forEachColor(ArtId{}, rename, true)) {
        return Status::badParameter;
    }
    return swatchId ? editColors().setSwatchName(swatchId, name) : Status::ok;
}

Status Document::renameSwatch(ResourceId id, std::string_view name) {
    const Swatch* swatch = colors().findSwatch(id);
    if (swatch == nullptr) {
        return Status::badParameter;
    }
    const CustomColor* custom = swatch->color.kind == Color::Kind::custom
                                    ? colors().customColorByName(swatch->color.resource)
                                    : nullptr;
    if (custom != nullptr && ownSwatch(colors(), *custom) == swatch) {
        return renameCustomColor(custom->id, name);
    }
    return editColors().setSwatchName(id, name);
}

Result<bool> Document::forEachColor(ArtId art, const std::function<void(Color&, bool& changed)>& visit,
                                    bool swatches) {
    std::vector<ArtId> arts;
    if (art) {
        Result<std::vector<ArtId>> tree = artTree(art);
        if (!tree) {
            return tree.status();
        }
        arts = std::move(*tree);
    } else {
        arts = documentOrder();
    }
    bool anyChange = false;
    const auto offer = [&](Color& color, bool& changed) {
        const Color before = color;
        bool altered = false;
        visit(color, altered);
        if (!altered) {
            return;
        }
        if (colors().checkColor(color) != Status::ok) {
            color = before;  // a change the document cannot hold is dropped
            return;
        }
        changed = true;
    };
    // The colours change on a copy, which replaces the recorded data only when something changed.
    for (const ArtId id : arts) {
        ArtData data = *nodeAt(id).data;
        bool changed = false;
        model::forEachColor(data.style, [&](Color& color) { offer(color, changed); });
        if (auto* text = std::get_if<TextFrameContent>(&data.content)) {
            model::forEachColor(text->story, [&](Color& color) { offer(color, changed); });
        }
        // A walk of the whole document reaches the art kept in dictionaries, so that a renamed colour
        // is renamed there too; a walk of some art leaves the copies kept of it as they were taken.
        model::forEachColor(
            data.dictionary, [&](Color& color) { offer(color, changed); }, !art);
        if (changed) {
            editData(id) = std::move(data);
            anyChange = true;
        }
    }
    if (!art) {
        // The whole document includes the symbols' artwork and the document dictionary: a colour
        // used only there is still a colour the document uses.
        for (std::size_t index = 0; index < symbols().size(); ++index) {
            ArtTree definition = *symbols()[index].definition;
            bool changed = false;
            model::forEachColor(definition, [&](Color& color) { offer(color, changed); });
            if (changed) {
                editSymbols().setDefinition(index, std::move(definition));
                anyChange = true;
            }
        }
        Dictionary dictionary = documentDictionary();
        bool changed = false;
        model::forEachColor(dictionary, [&](Color& color) { offer(color, changed); });
        if (changed) {
            editDocumentDictionary() = std::move(dictionary);
            anyChange = true;
        }
        TextStyles styles = textStyles();
        changed = false;
        model::forEachColor(styles, [&](Color& color) { offer(color, changed); });
        if (changed) {
            editTextStyles() = std::move(styles);
            anyChange = true;
        }
        DocumentColors resources = colors();
        changed = false;
        resources.forEachColor([&](Color& color) { offer(color, changed); }, swatches);
        if (changed) {
            editColors() = std::move(resources);
            anyChange = true;
        }
    }
    return anyChange;
}

}  // namespace host::model
