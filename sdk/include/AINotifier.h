// Notifiers: named subscriptions to host events, reported to the plug-in as "AI Notifier" messages.
#pragma once

#include "SPMessageData.h"

#define kAINotifierSuite "AI Notifier Suite"
constexpr ASInt32 kAINotifierSuiteVersion = 1004;

#define kCallerAINotify "AI Notifier"
#define kSelectorAINotify "AI Notify"

#define kAIApplicationStartedNotifier "AI Application Started Notifier"
#define kAIApplicationShutdownNotifier "AI Application Shutdown Notifier"
#define kAIUIBrightnessChangedNotifier "AI UI Brightness Changed Notifier"
#define kAICSXSPlugPlugSetupCompleteNotifier "AI CSXS PlugPlug Setup Complete"
#define kAIArtSelectionChangedNotifier "AI Art Selection Changed Notifier"

struct AINotifier;
using AINotifierHandle = AINotifier*;

struct AINotifierMessage {
    SPMessageData d;
    AINotifierHandle notifier;  // the subscription that fired
    const char* type;           // the notifier type text
    void* notifyData;
};

struct AINotifierSuite {
    AIErr (*AddNotifier)(SPPluginRef self, const char* name, const char* type, AINotifierHandle* notifier);
    AIErr (*SetNotifierActive)(AINotifierHandle notifier, AIBoolean active);
};
