// Message records passed to PluginMain, and the caller and selector texts of the plug-in interface.
#pragma once

#include "SPBasic.h"

constexpr ASInt32 kSPValidSPMessageData = FourCharCode("SPCk");

// The header every message starts with.
struct SPMessageData {
    ASInt32 SPCheck;      // kSPValidSPMessageData
    SPPluginRef self;     // the receiving plug-in
    void* globals;        // the plug-in's own pointer; the host keeps it between messages
    SPBasicSuite* basic;  // the basic suite
};

#define kSPInterfaceCaller "SP Interface"
#define kSPInterfaceStartupSelector "Startup"
#define kSPInterfaceShutdownSelector "Shutdown"
#define kSPInterfaceAboutSelector "About"

#define kSPAccessCaller "SP Access"
#define kSPAccessUnloadSelector "Unload"
#define kSPAccessReloadSelector "Reload"

#define kSPCacheCaller "SP Cache"
#define kSPPluginPurgeSelector "Plug-in Purge"

#define kSPPropertiesCaller "SP Properties"
#define kSPPropertiesAcquireSelector "Acquire"
#define kSPPropertiesReleaseSelector "Release"

// The exported entry point of every plug-in.
extern "C" using PluginMainProc = SPErr(*)(const char* caller, const char* selector, void* message);
