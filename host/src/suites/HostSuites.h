// The suite tables the host implements, and the registration of every suite it offers.
#pragma once

#include "AICSXSExtension.h"
#include "AIContext.h"
#include "AIFilePath.h"
#include "AIFolders.h"
#include "AINotifier.h"
#include "AIUITheme.h"
#include "AIUndo.h"
#include "AIUnicodeString.h"
#include "AIUser.h"
#include "SPAccess.h"
#include "SPBasic.h"
#include "SPPlugins.h"
#include "host/SuiteRegistry.h"

namespace ai {
class FilePath;
}

namespace host {

struct HostState;

inline constexpr const char* kSPBasicSuite = "SP Basic Suite";

extern SPBasicSuite gBasicSuite;
extern SPAccessSuite gAccessSuite;
extern SPPluginsSuite gPluginsSuite;
extern AINotifierSuite gNotifierSuite;
extern AIAppContextSuite gContextSuite;
extern AIUserSuite gUserSuite;
extern AIFilePathSuite gFilePathSuite;
extern AIFoldersSuite gFoldersSuite;
extern AIUnicodeStringSuite gUnicodeStringSuite;
extern AIUIThemeSuite gUIThemeSuite;
extern AIUndoSuite gUndoSuite;
extern AICSXSExtensionSuite gCSXSExtensionSuite;

// Offers every suite of the platform: the ones implemented with their tables, the others with
// the empty table.
void RegisterHostSuites(SuiteRegistry& registry);

// Makes a file path (possibly the plug-in's own ai::FilePath object) hold the text, without going
// through fault injection.
void SetFilePathText(HostState& state, ai::FilePath& path, const std::string& utf8Path);

}  // namespace host
