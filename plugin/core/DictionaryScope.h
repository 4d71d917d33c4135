// A dictionary reference held for a scope: its count is given back on every way out.
#pragma once

#include "AIDictionary.h"
#include "core/Suites.h"

class DictionaryScope {
public:
    DictionaryScope() = default;
    ~DictionaryScope() {
        if (fDictionary != nullptr && sAIDictionary != nullptr) {
            sAIDictionary->Release(fDictionary);
        }
    }
    DictionaryScope(const DictionaryScope&) = delete;
    DictionaryScope& operator=(const DictionaryScope&) = delete;

    AIDictionaryRef* Out() { return &fDictionary; }
    AIDictionaryRef Get() const { return fDictionary; }

private:
    AIDictionaryRef fDictionary = nullptr;
};
