// Stories and threads of text frames.
#include <algorithm>
#include <cstdint>
#include <optional>
#include <set>

#include "model/Document.h"

namespace host::model {

ArtId Document::threadHeadOf(ArtId textFrame) const {
    const TextFrameContent* text = contentAs<TextFrameContent>(textFrame);
    if (text == nullptr || text->threadHead.empty()) {
        return textFrame;
    }
    const auto head = uuidIndex_.find(text->threadHead);
    return head == uuidIndex_.end() ? textFrame : head->second;
}

Story* Document::editStory(ArtId textFrame) {
    TextFrameContent* head = editContent<TextFrameContent>(threadHeadOf(textFrame));
    return head == nullptr ? nullptr : &head->story;
}

const Story* Document::story(ArtId textFrame) const {
    const TextFrameContent* text = contentAs<TextFrameContent>(textFrame);
    if (text != nullptr && !text->threadHead.empty()) {
        text = contentAs<TextFrameContent>(threadHeadOf(textFrame));
    }
    return text == nullptr ? nullptr : &text->story;
}

Result<std::vector<ArtId>> Document::thread(ArtId textFrame) const {
    if (!isValid(textFrame)) {
        return Status::invalidHandle;
    }
    const ArtId head = threadHeadOf(textFrame);
    const TextFrameContent* text = contentAs<TextFrameContent>(head);
    if (text == nullptr) {
        return Status::wrongType;
    }
    std::vector<ArtId> frames{head};
    for (const std::string& uuid : text->thread) {
        const auto found = uuidIndex_.find(uuid);
        if (found != uuidIndex_.end()) {
            frames.push_back(found->second);
        }
    }
    return frames;
}

Status Document::threadFrame(ArtId textFrame, ArtId next) {
    const TextFrameContent* nextText = contentAs<TextFrameContent>(next);
    const ArtId head = threadHeadOf(textFrame);
    const TextFrameContent* headText = contentAs<TextFrameContent>(head);
    if (headText == nullptr || nextText == nullptr) {
        return isValid(textFrame) && isValid(next) ? Status::wrongType : Status::invalidHandle;
    }
    if (headText->kind == TextKind::point || nextText->kind == TextKind::point) {
        return Status::badParameter;
    }
    if (next == head || !nextText->threadHead.empty() || !nextText->thread.empty() ||
        nextText->story.size() != 0) {
        return Status::notAllowed;
    }
    const std::string nextUuid = find(next)->data->uuid;
    if (std::find(headText->thread.begin(), headText->thread.end(), nextUuid) != headText->thread.end()) {
        return Status::notAllowed;
    }
    editContent<TextFrameContent>(head)->thread.push_back(nextUuid);
    editContent<TextFrameContent>(next)->threadHead = find(head)->data->uuid;
    return Status::ok;
}

ArtTree Document::detachedTree(const ArtNode& node) const {
    ArtTree tree = extractTree(node);
    detachText(tree);
    return tree;
}

void Document::detachText(ArtTree& tree) const {
    if (auto* text = std::get_if<TextFrameContent>(&tree.data.content)) {
        if (!text->threadHead.empty()) {
            const auto head = uuidIndex_.find(text->threadHead);
            if (head != uuidIndex_.end()) {
                text->story = *story(head->second);
            }
        }
        text->threadHead.clear();
        text->thread.clear();
    }
    for (ArtTree& child : tree.children) {
        detachText(child);
    }
}

void Document::releaseThreads(const std::vector<ArtId>& doomed) {
    const std::set<ArtId> going(doomed.begin(), doomed.end());
    const auto stays = [&](const std::string& uuid) {
        const auto found = uuidIndex_.find(uuid);
        return found != uuidIndex_.end() && !going.contains(found->second);
    };
    for (const ArtId id : doomed) {
        const TextFrameContent* text = contentAs<TextFrameContent>(id);
        if (text == nullptr) {
            continue;
        }
        if (!text->threadHead.empty()) {
            // A later frame leaves its thread (when the first frame stays).
            const auto head = uuidIndex_.find(text->threadHead);
            if (head != uuidIndex_.end() && !going.contains(head->second)) {
                std::erase(editContent<TextFrameContent>(head->second)->thread, find(id)->data->uuid);
            }
            continue;
        }
        // A first frame hands its story and the rest of its thread to the next frame that stays.
        std::vector<std::string> rest;
        std::copy_if(text->thread.begin(), text->thread.end(), std::back_inserter(rest), stays);
        if (rest.empty()) {
            continue;
        }
        const ArtId heir = uuidIndex_.at(rest.front());
        TextFrameContent* heirText = editContent<TextFrameContent>(heir);
        // The frame goes: its data stays as the change log recorded it, so the story is copied.
        heirText->story = text->story;
        heirText->threadHead.clear();
        heirText->thread.assign(rest.begin() + 1, rest.end());
        const std::string heirUuid = find(heir)->data->uuid;
        for (const std::string& uuid : heirText->thread) {
            editContent<TextFrameContent>(uuidIndex_.at(uuid))->threadHead = heirUuid;
        }
    }
}

void Document::repairThreads() {
    std::set<std::string> claimed;
    const std::vector<ArtId> order = documentOrder();
    for (const ArtId id : order) {
        const TextFrameContent* frame = contentAs<TextFrameContent>(id);
        if (frame == nullptr || !frame->threadHead.empty() || frame->thread.empty()) {
            continue;
        }
        TextFrameContent* text = editContent<TextFrameContent>(id);
        const std::string& uuid = find(id)->data->uuid;
        std::erase_if(text->thread, [&](const std::string& next) {
            const auto found = uuidIndex_.find(next);
            const TextFrameContent* nextText =
                found == uuidIndex_.end() ? nullptr : contentAs<TextFrameContent>(found->second);
            const bool usable =
                nextText != nullptr && nextText->threadHead == uuid && !claimed.contains(next);
            if (usable) {
                claimed.insert(next);
            }
            return !usable;
        });
    }
    for (const ArtId id : order) {
        const TextFrameContent* text = contentAs<TextFrameContent>(id);
        if (text != nullptr && !text->threadHead.empty() && !claimed.contains(find(id)->data->uuid)) {
            editContent<TextFrameContent>(id)->threadHead.clear();
        }
    }
}

}  // namespace host::model

// --- Path objects of text frames ---------------------------------------------------------------------

namespace host::model {

namespace {

// Handles are drawn from a counter that never comes near the top bit, so a frame's handle with that
// bit set names its path object and nothing else.
constexpr std::uint64_t kPathObjectBit = std::uint64_t{1} << 63;

}  // namespace

Result<ArtId> Document::pathObject(ArtId textFrame) const {
    const TextFrameContent* text = contentAs<TextFrameContent>(textFrame);
    if (text == nullptr) {
        return isValid(textFrame) ? Status::wrongType : Status::invalidHandle;
    }
    if (text->kind == TextKind::point) {
        return Status::badParameter;
    }
    return ArtId{textFrame.value | kPathObjectBit};
}

ArtId Document::frameOfPathObject(ArtId art) const {
    if ((art.value & kPathObjectBit) == 0) {
        return {};
    }
    const ArtId frame{art.value & ~kPathObjectBit};
    const TextFrameContent* text = contentAs<TextFrameContent>(frame);
    return text != nullptr && text->kind != TextKind::point ? frame : ArtId{};
}

std::optional<PathGeometry> Document::pathObjectGeometry(ArtId art) const {
    const TextFrameContent* text = contentAs<TextFrameContent>(frameOfPathObject(art));
    if (text == nullptr) {
        return std::nullopt;
    }
    if (text->kind == TextKind::onPath) {
        return text->path;
    }
    PathGeometry shape = PathGeometry::rectangle(text->box.frame);
    shape.transform(text->box.matrix);
    return shape;
}

}  // namespace host::model
