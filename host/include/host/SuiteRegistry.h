// SuiteRegistry: the suites the application offers plug-ins, by name and exact version, with the
// number of acquisitions each has outstanding.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "SPTypes.h"

namespace host {

struct SuiteInfo {
    std::string name;
    ASInt32 version = 0;
    bool implemented = false;  // false: the empty table
    int acquired = 0;          // outstanding acquisitions
};

class SuiteRegistry {
public:
    // Offers a suite nobody implements yet: its table is the empty table, whose function pointers
    // are all null. A suite already offered keeps its table.
    void Register(std::string name, ASInt32 version);

    // Offers an implementation: the table replaces the empty one, or adds the suite. The table
    // must outlive the registry (suite tables are static objects).
    void Implement(std::string name, ASInt32 version, const void* table);

    // The table and a new outstanding acquisition; kSPSuiteNotFoundError when no suite has
    // this name and version (*table is then null).
    ASErr Acquire(std::string_view name, ASInt32 version, const void** table);
    // Ends one acquisition; kSPSuiteNotFoundError for an unknown suite, kSPBadParameterError
    // when the suite has no acquisition outstanding.
    ASErr Release(std::string_view name, ASInt32 version);

    bool Has(std::string_view name, ASInt32 version) const;
    bool IsImplemented(std::string_view name, ASInt32 version) const;
    // Outstanding acquisitions of one suite (0 for an unknown suite).
    int AcquireCount(std::string_view name, ASInt32 version) const;
    // Outstanding acquisitions of every suite together.
    int TotalAcquired() const;
    // The suites with acquisitions outstanding.
    std::vector<SuiteInfo> Held() const;
    std::vector<SuiteInfo> List() const;
    std::size_t Size() const { return fSuites.size(); }

    // The table every unimplemented suite hands out: kEmptySuiteSlots null function pointers,
    // more than any suite of the platform declares.
    static constexpr std::size_t kEmptySuiteSlots = 256;
    static const void* EmptyTable();

private:
    struct Entry {
        const void* table = nullptr;
        int acquired = 0;
    };
    using Key = std::pair<std::string, ASInt32>;
    // Compares keys with (string_view, version) look-up pairs.
    struct KeyLess {
        using is_transparent = void;
        template <typename A, typename B>
        bool operator()(const A& a, const B& b) const {
            return std::pair<std::string_view, ASInt32>(a.first, a.second) <
                   std::pair<std::string_view, ASInt32>(b.first, b.second);
        }
    };

    const Entry* Find(std::string_view name, ASInt32 version) const;
    Entry* Find(std::string_view name, ASInt32 version);

    std::map<Key, Entry, KeyLess> fSuites;
};

}  // namespace host
