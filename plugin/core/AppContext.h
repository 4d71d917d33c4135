// AppContext: pushes the host application context for the plug-in and pops it when the scope ends.
#pragma once

#include "AIContext.h"

class AppContext {
public:
    explicit AppContext(SPPluginRef pluginRef);
    ~AppContext();

    AppContext(const AppContext&) = delete;
    AppContext& operator=(const AppContext&) = delete;

private:
    AIAppContextHandle fAppContext = nullptr;
};

// The application context of gPlugin, for commands.
class CommandContext : public AppContext {
public:
    CommandContext();
};
