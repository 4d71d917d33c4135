// The action manager: parameter blocks and the one event the application knows, saving a copy of
// the current document ("host_saveACopyAs"). The event reads the path ('name') and the format
// name ('frmt'); every other key is accepted and left to the format's writer (the native writer
// reads none, the PDF, SVG and EPS writers read theirs). Every play is journalled with its whole
// block, so that tests can read the options a job set. Values keep the type they were set with; the
// journal's text of them is made only when the journal records.
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "AIActionManager.h"
#include "HostState.h"
#include "VectorWriters.h"
#include "model/DocumentFormat.h"
#include "suites/DocumentAccess.h"
#include "suites/HostSuites.h"
#include "suites/SuiteBoundary.h"

namespace host {
namespace {

using Block = std::map<ai::uint32, ActionParam>;

constexpr const char* kSaveACopyEvent = "host_saveACopyAs";
constexpr const char* kNativeFormat = "Host Any Format Writer";

std::string KeyText(ActionParamKeyID key) {
    std::string text;
    for (const int shift : {24, 16, 8, 0}) {
        text += static_cast<char>((key >> shift) & 0xFFu);
    }
    return text;
}

// A value as text: texts as they are, booleans "1" or "0", reals with 17 significant digits and an
// enumeration as "name=number".
std::string ValueText(const ActionParam& param) {
    if (const auto* flag = std::get_if<bool>(&param.value)) {
        return *flag ? "1" : "0";
    }
    if (const auto* number = std::get_if<std::int64_t>(&param.value)) {
        return (param.type == 'e' ? param.name + "=" : std::string()) + std::to_string(*number);
    }
    if (const auto* real = std::get_if<double>(&param.value)) {
        char digits[64];
        std::snprintf(digits, sizeof digits, "%.17g", *real);
        return digits;
    }
    return std::get<std::string>(param.value);
}

// A value as the journal shows it: "<type>:<text>" ("u:/a.ai", "b:1", "e:=3").
std::string JournalText(const ActionParam& param) {
    return std::string(1, param.type) + ":" + ValueText(param);
}

// The text of the block's value under the key; none when the key has no value.
std::optional<std::string> TextOf(const Block& block, const char (&code)[5]) {
    const auto found = block.find(ActionKey(code));
    return found != block.end() ? std::optional<std::string>(ValueText(found->second)) : std::nullopt;
}

// Stores one value under the key.
AIErr SetValue(const char* operation, AIActionParamValueRef param, ActionParamKeyID key, ActionParam value) {
    auto [state, error] = StartOperation(kAIActionManagerSuite, operation);
    if (state == nullptr) {
        return error;
    }
    Block* block = error == kNoErr ? state->actions.blocks.Find(param) : nullptr;
    error = OutputError(error, block);
    if (error == kNoErr) {
        (*block)[key] = std::move(value);
    }
    return error;
}

AIErr AINewActionParamValue(AIActionParamValueRef* param) {
    auto [state, error] = StartOperation(kAIActionManagerSuite, "AINewActionParamValue");
    if (state == nullptr) {
        return error;
    }
    error = OutputError(error, param);
    if (error != kNoErr) {
        return Refuse(param, error);
    }
    *param = state->actions.blocks.Add<AIActionParamValueRef>(std::make_unique<Block>());
    return kNoErr;
}

AIErr AIDeleteActionParamValue(AIActionParamValueRef param) {
    auto [state, error] = StartOperation(kAIActionManagerSuite, "AIDeleteActionParamValue");
    if (state == nullptr) {
        return error;
    }
    if (error == kNoErr && !state->actions.blocks.Remove(param)) {
        error = kBadParameterErr;
    }
    return error;
}

AIErr AIActionSetString(AIActionParamValueRef param, ActionParamKeyID key, const char* value) {
    if (value == nullptr) {
        return kBadParameterErr;
    }
    return SetValue("AIActionSetString", param, key, ActionParam{'s', std::string(value), {}});
}

AIErr AIActionSetStringUS(AIActionParamValueRef param, ActionParamKeyID key, const ai::UnicodeString& value) {
    HostState* state = CurrentState();
    const std::optional<std::string> text = state != nullptr ? StringText(*state, value) : std::nullopt;
    if (!text) {
        return kBadParameterErr;
    }
    return SetValue("AIActionSetStringUS", param, key, ActionParam{'u', *text, {}});
}

AIErr AIActionSetBoolean(AIActionParamValueRef param, ActionParamKeyID key, ASBoolean value) {
    return SetValue("AIActionSetBoolean", param, key, ActionParam{'b', value != 0, {}});
}

AIErr AIActionSetInteger(AIActionParamValueRef param, ActionParamKeyID key, ai::int32 value) {
    return SetValue("AIActionSetInteger", param, key, ActionParam{'i', std::int64_t{value}, {}});
}

AIErr AIActionSetReal(AIActionParamValueRef param, ActionParamKeyID key, AIReal value) {
    return SetValue("AIActionSetReal", param, key, ActionParam{'r', double{value}, {}});
}

AIErr AIActionSetEnumerated(AIActionParamValueRef param, ActionParamKeyID key, const char* name,
                            ai::int32 value) {
    return SetValue("AIActionSetEnumerated", param, key,
                    ActionParam{'e', std::int64_t{value}, name != nullptr ? name : ""});
}

// The native writer: the current document, atomically (saveDocument writes a temporary file beside
// the target, or beside the file a link names, and renames it over the target once it is complete).
AIErr SaveACopy(const model::Document& document, const std::string& path) {
    return model::saveDocument(document, std::filesystem::path(path)) ? kNoErr : kCantHappenErr;
}

// The block's values as the vector writers read them, by four-character key: texts, booleans,
// integers (enumerations by their number), reals.
ActionValues WriterValues(const Block& block) {
    ActionValues values;
    for (const auto& [key, param] : block) {
        values.emplace(KeyText(key),
                       std::visit([](const auto& value) { return ActionValue(value); }, param.value));
    }
    return values;
}

// Writes the copy in the format of the block: the native format, or PDF, SVG or EPS drawn by the
// renderer with the document's XMP packet. 'PARM' for a format this application has no writer of,
// 'CANT' when the writer fails (the target then keeps what it held).
AIErr WriteCopy(const model::Document& document, const Block& block, const std::string& path,
                const std::string& format, std::string* reason) {
    if (format == kNativeFormat) {
        return SaveACopy(document, path);
    }
    if (!IsVectorFormat(format)) {
        return kBadParameterErr;
    }
    return WriteVectorCopy(document, path, format, WriterValues(block), document.xmp(), reason,
                           CurrentDocumentFolder())
               ? kNoErr
               : kCantHappenErr;
}

AIErr PlayActionEvent(const char* eventName, ActionDialogStatus dialogStatus,
                      AIActionParamValueRef parameters) {
    auto [state, document, error] = StartDocumentOperation(kAIActionManagerSuite, "PlayActionEvent");
    if (state == nullptr) {
        return error;
    }
    const std::string event = eventName != nullptr ? eventName : "";
    const Block* block = state->actions.blocks.Find(parameters);
    const bool journalled = state->journal.Enabled();
    std::vector<std::string> arguments;
    if (journalled) {
        arguments = {event, std::to_string(dialogStatus)};
        if (block != nullptr) {
            for (const auto& [key, param] : *block) {
                arguments.push_back(KeyText(key) + "=" + JournalText(param));
            }
        }
    }
    if (error == kNoErr && (event != kSaveACopyEvent || block == nullptr)) {
        error = kBadParameterErr;
    }
    const std::optional<std::string> path = block != nullptr ? TextOf(*block, "name") : std::nullopt;
    const std::optional<std::string> format = block != nullptr ? TextOf(*block, "frmt") : std::nullopt;
    // A path holding a NUL would end there in the file system and name another file.
    if (error == kNoErr && (!path || path->empty() || path->find('\0') != std::string::npos || !format)) {
        error = kBadParameterErr;
    }
    std::string reason;
    if (error == kNoErr) {
        error = WriteCopy(*document, *block, *path, *format, &reason);
    }
    if (journalled) {
        if (!reason.empty()) {
            arguments.push_back("reason=" + reason);
        }
        state->journal.Record("PlayActionEvent", std::move(arguments), error);
    }
    return error;
}

}  // namespace

AIActionManagerSuite gActionManagerSuite = {
    PLIM_SUITE_FUNCTION(AINewActionParamValue), PLIM_SUITE_FUNCTION(AIDeleteActionParamValue),
    PLIM_SUITE_FUNCTION(AIActionSetString),     PLIM_SUITE_FUNCTION(AIActionSetStringUS),
    PLIM_SUITE_FUNCTION(AIActionSetBoolean),    PLIM_SUITE_FUNCTION(AIActionSetInteger),
    PLIM_SUITE_FUNCTION(AIActionSetReal),       PLIM_SUITE_FUNCTION(AIActionSetEnumerated),
    PLIM_SUITE_FUNCTION(PlayActionEvent),
};

}  // namespace host
