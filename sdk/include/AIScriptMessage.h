// Script messages: how host scripts send a plug-in a named request with text in and text out.
#pragma once

#include "IAIUnicodeString.h"
#include "SPMessageData.h"

#define kCallerAIScriptMessage "AI Script Message Caller"

struct AIScriptMessage {
    SPMessageData d;
    ai::UnicodeString inParam;   // the request text
    ai::UnicodeString outParam;  // the reply text, set by the plug-in
};
