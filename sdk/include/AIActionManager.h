// The action manager suite: blocks of action parameters (typed values under four-character keys)
// and playing an action event with them. The application knows one event, "host_saveACopyAs",
// which saves a copy of the current document in the format that the block names.
#pragma once

#include "IAIUnicodeString.h"
#include "SPTypes.h"

#define kAIActionManagerSuite "AI Action Manager Suite"
constexpr ASInt32 kAIActionManagerSuiteVersion = 1005;

struct ActionParamValue;
using AIActionParamValueRef = ActionParamValue*;
using ActionParamKeyID = ai::uint32;

// How an event treats its dialogs.
enum ActionDialogStatus : ai::int32 {
    kDialogNone = 0,
    kDialogOn = 1,
    kDialogOff = 3,
};

// The four-character key as a number: 'name' is 0x6E616D65.
constexpr ActionParamKeyID ActionKey(const char (&code)[5]) {
    return (static_cast<ActionParamKeyID>(static_cast<unsigned char>(code[0])) << 24) |
           (static_cast<ActionParamKeyID>(static_cast<unsigned char>(code[1])) << 16) |
           (static_cast<ActionParamKeyID>(static_cast<unsigned char>(code[2])) << 8) |
           static_cast<ActionParamKeyID>(static_cast<unsigned char>(code[3]));
}

// Setting a key replaces what the block held under it. Every operation answers kBadParameterErr for
// an unknown or deleted block.
struct AIActionManagerSuite {
    AIErr (*AINewActionParamValue)(AIActionParamValueRef* param);
    AIErr (*AIDeleteActionParamValue)(AIActionParamValueRef param);
    AIErr (*AIActionSetString)(AIActionParamValueRef param, ActionParamKeyID key, const char* value);
    AIErr (*AIActionSetStringUS)(AIActionParamValueRef param, ActionParamKeyID key,
                                 const ai::UnicodeString& value);
    AIErr (*AIActionSetBoolean)(AIActionParamValueRef param, ActionParamKeyID key, ASBoolean value);
    AIErr (*AIActionSetInteger)(AIActionParamValueRef param, ActionParamKeyID key, ai::int32 value);
    AIErr (*AIActionSetReal)(AIActionParamValueRef param, ActionParamKeyID key, AIReal value);
    AIErr (*AIActionSetEnumerated)(AIActionParamValueRef param, ActionParamKeyID key, const char* name,
                                   ai::int32 value);
    // Plays an event with the block. An unknown event, or a block the event can't use, is an error.
    AIErr (*PlayActionEvent)(const char* eventName, ActionDialogStatus dialogStatus,
                             AIActionParamValueRef parameters);
};
