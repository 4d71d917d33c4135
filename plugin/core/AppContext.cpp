#include "core/AppContext.h"

#include "core/Plugin.h"
#include "core/Suites.h"

AppContext::AppContext(SPPluginRef pluginRef) {
    if (sAIAppContext != nullptr && sAIAppContext->PushAppContext(pluginRef, &fAppContext) != kNoErr) {
        fAppContext = nullptr;
    }
}

AppContext::~AppContext() {
    // Only a context that was pushed is popped.
    if (sAIAppContext != nullptr && fAppContext != nullptr) {
        sAIAppContext->PopAppContext(fAppContext);
    }
}

CommandContext::CommandContext() : AppContext(gPlugin != nullptr ? gPlugin->GetPluginRef() : nullptr) {}
