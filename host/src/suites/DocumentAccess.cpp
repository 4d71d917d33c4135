#include "suites/DocumentAccess.h"

#include "textengine/Text.h"

namespace host {

DocumentStart StartDocumentOperation(std::string_view suite, std::string_view operation) {
    auto [state, error] = StartOperation(suite, operation);
    if (error != kNoErr) {
        return {state, nullptr, error};
    }
    if (state->documents.current == nullptr) {
        return {state, nullptr, kNoDocumentErr};
    }
    return {state, state->documents.current.get(), kNoErr};
}

AIErr ErrorFromStatus(model::Status status) {
    return status == model::Status::ok ? kNoErr : kBadParameterErr;
}

std::string ArtLabel(const model::Document* document, AIArtHandle art) {
    if (art == nullptr) {
        return "null";
    }
    if (document == nullptr) {
        return "invalid";
    }
    // A text frame's path object is labelled as its frame's path.
    const model::ArtId frame = document->frameOfPathObject(ArtIdOf(art));
    const model::Result<std::string> uuid = document->uuid(frame ? frame : ArtIdOf(art));
    return uuid ? *uuid + (frame ? ".path" : "") : std::string("invalid");
}

std::optional<std::string> StringText(const HostState& state, const ai::UnicodeString& text) {
    if (text.ref() == nullptr) {
        return std::string();
    }
    const std::u16string* units = state.text.strings.Find(text.ref());
    if (units == nullptr) {
        return std::nullopt;
    }
    return text::EncodeUTF8(*units);
}

void SetStringText(HostState& state, ai::UnicodeString& target, std::string_view utf8) {
    std::u16string units = text::DecodeUTF8(utf8);
    if (std::u16string* held = state.text.strings.Find(target.ref())) {
        *held = std::move(units);
        return;
    }
    // The string holds no live reference: give it a new one.
    FaultInjector::Suspension suspension(state.faults);
    target = ai::UnicodeString(units);
}

}  // namespace host
