// The suite tables and their acquisition.
#include "core/Suites.h"

#include <algorithm>
#include <vector>

#include "AICSXSExtension.h"
#include "AIContext.h"
#include "AIFilePath.h"
#include "AIFolders.h"
#include "AINotifier.h"
#include "AIUser.h"
#include "SPAccess.h"
#include "SPPlugins.h"

namespace {

// Where a table row stores its suite.
template <typename Suite>
const void** SuiteAddress(Suite*& pointer) {
    return reinterpret_cast<const void**>(const_cast<const Suite**>(&pointer));
}

}  // namespace

extern "C" {
SPBasicSuite* sSPBasic = nullptr;

#define PLIM_DEFINE_SUITE_POINTER(type, pointer, name, version) type* pointer = nullptr;
PLIM_BASIC_SUITES(PLIM_DEFINE_SUITE_POINTER)
PLIM_APPLICATION_SUITES(PLIM_DEFINE_SUITE_POINTER)
PLIM_POST_STARTUP_SUITES(PLIM_DEFINE_SUITE_POINTER)
#undef PLIM_DEFINE_SUITE_POINTER
#define PLIM_DEFINE_TEXT_ENGINE_POINTER(word, version) ATE##word##Suite* s##word = nullptr;
PLIM_TEXT_ENGINE_SUITES(PLIM_DEFINE_TEXT_ENGINE_POINTER)
#undef PLIM_DEFINE_TEXT_ENGINE_POINTER

#define PLIM_SUITE_ROW(type, pointer, name, version) {name, version, SuiteAddress(pointer)},
#define PLIM_TEXT_ENGINE_ROW(word, version) {"ATE " #word " Suite", version, SuiteAddress(s##word)},

// The application's suites, then the text engine's. The string format suite stands in two rows;
// each acquisition is matched by its own release.
ImportSuite gImportSuites[] = {
    PLIM_APPLICATION_SUITE_ROWS(PLIM_SUITE_ROW, PLIM_SUITE_ROW)  //
    PLIM_TEXT_ENGINE_SUITES(PLIM_TEXT_ENGINE_ROW)                //
    {nullptr, 0, nullptr},
};

ImportSuite gPostStartupSuites[] = {
    PLIM_POST_STARTUP_SUITES(PLIM_SUITE_ROW)  //
    {nullptr, 0, nullptr},
};
}

namespace {

// A terminating row with this version announces optional rows after it.
constexpr ASInt32 kOptionalSuitesTag = FourCharCode("OPTS");

ImportSuite gBasicSuites[] = {PLIM_BASIC_SUITES(PLIM_SUITE_ROW)};

#undef PLIM_TEXT_ENGINE_ROW
#undef PLIM_SUITE_ROW

// The rows whose acquisition is outstanding, once per successful acquire. Two rows can share one
// pointer, so the pointer alone can't tell whether a row still holds the suite.
std::vector<const ImportSuite*>& HeldRows() {
    static std::vector<const ImportSuite*> rows;
    return rows;
}

size_t CountRows(const ImportSuite* first) {
    size_t count = 0;
    while (first[count].name != nullptr) {
        ++count;
    }
    return count;
}

}  // namespace

ASInt16 Suites::fAcquiredCount = 0;

Suites::Suites() {
    fError = AcquireSuites();
    fRequiredSuitesCount = static_cast<ASUInt16>(CountRows(gImportSuites));
    const ImportSuite& terminator = gImportSuites[fRequiredSuitesCount];
    if (terminator.version == kOptionalSuitesTag) {
        fOptionalSuitesTotalCount = static_cast<ASUInt16>(CountRows(&terminator + 1));
    }
    if (fError == kNoErr) {
        acquire_Optional_Suites();
    }
}

Suites::~Suites() {
    Release();
}

ASErr Suites::AcquireSuite(ImportSuite* row) {
    if (row->suite == nullptr) {
        return kNoErr;
    }
    if (sSPBasic == nullptr) {
        return kSPSuiteNotFoundError;
    }
    ASErr error = sSPBasic->AcquireSuite(row->name, row->version, row->suite);
    if (error == kNoErr) {
        HeldRows().push_back(row);
    }
    return error;
}

ASErr Suites::ReleaseSuite(ImportSuite* row) {
    if (row->suite == nullptr) {
        return kNoErr;
    }
    auto& held = HeldRows();
    auto found = std::find(held.begin(), held.end(), row);
    if (found == held.end()) {
        return kNoErr;
    }
    held.erase(found);
    ASErr error =
        sSPBasic != nullptr ? sSPBasic->ReleaseSuite(row->name, row->version) : kSPSuiteNotFoundError;
    *row->suite = nullptr;
    return error;
}

ASErr Suites::AcquireSuites() {
    if (fAcquiredCount != 0) {
        ++fAcquiredCount;
        return kNoErr;
    }
    for (ImportSuite& row : gBasicSuites) {
        if (ASErr error = AcquireSuite(&row)) {
            return error;
        }
    }
    for (ImportSuite* row = gImportSuites; row->name != nullptr; ++row) {
        if (ASErr error = AcquireSuite(row)) {
            return error;
        }
    }
    ++fAcquiredCount;
    return kNoErr;
}

void Suites::acquire_Optional_Suites() {
    if (fOptionalSuitesAcquiredCount == fOptionalSuitesTotalCount) {
        return;
    }
    ImportSuite* row = &gImportSuites[fRequiredSuitesCount] + 1;
    for (ASUInt16 i = 0; i < fOptionalSuitesTotalCount && row->suite != nullptr; ++i, ++row) {
        if (*row->suite == nullptr && AcquireSuite(row) == kNoErr) {
            ++fOptionalSuitesAcquiredCount;
        }
    }
}

ASErr Suites::ReleaseSuites() {
    // A failed acquisition leaves the rows before the failure held: they are released whatever
    // the shared count says, so that nothing stays acquired. Every row is tried, so that one
    // failed release leaves no other suite held; the first failure is the answer.
    if (fAcquiredCount > 0 && --fAcquiredCount != 0) {
        return kNoErr;
    }
    ASErr result = kNoErr;
    const auto release = [&result](ImportSuite* row) {
        const ASErr error = ReleaseSuite(row);
        if (result == kNoErr) {
            result = error;
        }
    };
    for (ImportSuite& row : gBasicSuites) {
        release(&row);
    }
    for (ImportSuite* row = gImportSuites; row->name != nullptr; ++row) {
        release(row);
    }
    if (gImportSuites[fRequiredSuitesCount].version == kOptionalSuitesTag) {
        ImportSuite* row = &gImportSuites[fRequiredSuitesCount] + 1;
        for (; fOptionalSuitesAcquiredCount != 0 && row->name != nullptr; ++row) {
            release(row);
            --fOptionalSuitesAcquiredCount;
        }
    }
    return result;
}

ASErr Suites::Release() {
    if (fReleased) {
        return kNoErr;
    }
    fReleased = true;
    return ReleaseSuites();
}
