// The host suites the plug-in acquires, the global pointers that hold them, and the Suites object
// that acquires and releases them with one count shared by every Suites object.
#pragma once

#include "SPBasic.h"
#include "SuiteCatalogue.h"

// One row of a suite table; a row with a null name ends the table.
struct ImportSuite {
    const char* name;
    ASInt32 version;
    const void** suite;  // where the acquired suite goes; null: the row is skipped
};

// Every pointer comes from the suite catalogue: the basic suites, the application's, the text
// engine's, and the one acquired once the application has started ("sAIArt" for "AI Art Suite").
extern "C" {
extern SPBasicSuite* sSPBasic;

#define PLIM_DECLARE_SUITE_POINTER(type, pointer, name, version) extern type* pointer;
PLIM_BASIC_SUITES(PLIM_DECLARE_SUITE_POINTER)
PLIM_APPLICATION_SUITES(PLIM_DECLARE_SUITE_POINTER)
PLIM_POST_STARTUP_SUITES(PLIM_DECLARE_SUITE_POINTER)
#undef PLIM_DECLARE_SUITE_POINTER
#define PLIM_DECLARE_TEXT_ENGINE_POINTER(word, version) extern ATE##word##Suite* s##word;
PLIM_TEXT_ENGINE_SUITES(PLIM_DECLARE_TEXT_ENGINE_POINTER)
#undef PLIM_DECLARE_TEXT_ENGINE_POINTER

extern ImportSuite gImportSuites[];
extern ImportSuite gPostStartupSuites[];
}

class Suites {
public:
    // Acquires the basic and imported tables, then any optional rows; the result is kept.
    Suites();
    // Releases what this object's acquisition holds; the last outstanding acquisition releases
    // the suites themselves.
    ~Suites();

    ASErr Error() const { return fError; }
    // Releases now what the destructor would, once, and answers the first failed release.
    ASErr Release();
    void acquire_Optional_Suites();

    static ASErr AcquireSuite(ImportSuite* row);
    static ASErr ReleaseSuite(ImportSuite* row);

    // How many acquisitions are outstanding, shared by every Suites object.
    static ASInt16 fAcquiredCount;

private:
    ASErr AcquireSuites();
    ASErr ReleaseSuites();

    ASErr fError = kNoErr;
    ASUInt16 fOptionalSuitesTotalCount = 0;
    ASUInt16 fRequiredSuitesCount = 0;
    ASUInt16 fOptionalSuitesAcquiredCount = 0;
    bool fReleased = false;
};
