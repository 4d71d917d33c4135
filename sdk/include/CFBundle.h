// The bundle functions the plug-in uses to load shared libraries at run time (a small Linux
// implementation of the CoreFoundation calls: a bundle is a folder, or a library file, whose
// executable is opened with dlopen).
#pragma once

#include <cstddef>
#include <string>

struct __CFBundle;
using CFBundleRef = __CFBundle*;
struct __CFURL;
using CFURLRef = __CFURL*;
struct __CFString;
using CFStringRef = const __CFString*;
using CFTypeRef = const void*;
using CFAllocatorRef = const void*;

constexpr CFAllocatorRef kCFAllocatorDefault = nullptr;

// A constant string; its lifetime is the program's.
CFStringRef CFStringMakeConstantString(const char* text);
#define CFSTR(text) CFStringMakeConstantString("" text "")

CFURLRef CFURLCreateWithFileSystemPath(const char* utf8Path);
// Loads the bundle's executable; null when the folder or its executable can't be opened.
CFBundleRef CFBundleCreate(CFAllocatorRef allocator, CFURLRef bundleURL);
void* CFBundleGetFunctionPointerForName(CFBundleRef bundle, CFStringRef functionName);
unsigned char CFBundleIsExecutableLoaded(CFBundleRef bundle);
// Releases a bundle or URL; a bundle's executable is closed with its last release.
void CFRelease(CFTypeRef object);

// The path of the loaded module whose bundle identifier is given (the module that calls it,
// when the identifier is its own); false when no such bundle is loaded.
bool GetBundlePathForIdentifier(const char* identifier, std::string* path);

// Each module that looks itself up by identifier defines its own identifier (the Linux stand-in of
// the bundle's information file).
extern "C" const char kModuleBundleIdentifier[];
