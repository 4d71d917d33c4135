// The registry of suites: tables by name and exact version, with outstanding acquisitions.
#include "host/SuiteRegistry.h"

#include <array>

namespace host {

const void* SuiteRegistry::EmptyTable() {
    static const std::array<void (*)(), kEmptySuiteSlots> kEmpty{};
    return kEmpty.data();
}

void SuiteRegistry::Register(std::string name, ASInt32 version) {
    fSuites.try_emplace(Key{std::move(name), version}, Entry{EmptyTable(), 0});
}

void SuiteRegistry::Implement(std::string name, ASInt32 version, const void* table) {
    fSuites[Key{std::move(name), version}].table = table != nullptr ? table : EmptyTable();
}

const SuiteRegistry::Entry* SuiteRegistry::Find(std::string_view name, ASInt32 version) const {
    const auto found = fSuites.find(std::pair<std::string_view, ASInt32>{name, version});
    return found != fSuites.end() ? &found->second : nullptr;
}

SuiteRegistry::Entry* SuiteRegistry::Find(std::string_view name, ASInt32 version) {
    const auto found = fSuites.find(std::pair<std::string_view, ASInt32>{name, version});
    return found != fSuites.end() ? &found->second : nullptr;
}

ASErr SuiteRegistry::Acquire(std::string_view name, ASInt32 version, const void** table) {
    Entry* entry = Find(name, version);
    if (entry == nullptr) {
        if (table != nullptr) {
            *table = nullptr;
        }
        return kSPSuiteNotFoundError;
    }
    if (table == nullptr) {
        return kSPBadParameterError;
    }
    ++entry->acquired;
    *table = entry->table;
    return kNoErr;
}

ASErr SuiteRegistry::Release(std::string_view name, ASInt32 version) {
    Entry* entry = Find(name, version);
    if (entry == nullptr) {
        return kSPSuiteNotFoundError;
    }
    if (entry->acquired == 0) {
        return kSPBadParameterError;
    }
    --entry->acquired;
    return kNoErr;
}

bool SuiteRegistry::Has(std::string_view name, ASInt32 version) const {
    return Find(name, version) != nullptr;
}

bool SuiteRegistry::IsImplemented(std::string_view name, ASInt32 version) const {
    const Entry* entry = Find(name, version);
    return entry != nullptr && entry->table != EmptyTable();
}

int SuiteRegistry::AcquireCount(std::string_view name, ASInt32 version) const {
    const Entry* entry = Find(name, version);
    return entry != nullptr ? entry->acquired : 0;
}

int SuiteRegistry::TotalAcquired() const {
    int total = 0;
    for (const auto& [key, entry] : fSuites) {
        total += entry.acquired;
    }
    return total;
}

std::vector<SuiteInfo> SuiteRegistry::List() const {
    std::vector<SuiteInfo> suites;
    suites.reserve(fSuites.size());
    for (const auto& [key, entry] : fSuites) {
        suites.push_back({key.first, key.second, entry.table != EmptyTable(), entry.acquired});
    }
    return suites;
}

std::vector<SuiteInfo> SuiteRegistry::Held() const {
    std::vector<SuiteInfo> held;
    for (SuiteInfo& suite : List()) {
        if (suite.acquired > 0) {
            held.push_back(std::move(suite));
        }
    }
    return held;
}

}  // namespace host
