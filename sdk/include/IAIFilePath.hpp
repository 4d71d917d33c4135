// ai::FilePath: a value class over the host's file paths.
#pragma once

#include <string>

#include "AIFilePath.h"
#include "CFBundle.h"
#include "IAIUnicodeString.h"

namespace ai {

class FilePath {
public:
    FilePath();
    explicit FilePath(const UnicodeString& path);
    explicit FilePath(const std::string& utf8Path);
    FilePath(const FilePath& other);
    FilePath(FilePath&& other) noexcept;
    FilePath& operator=(const FilePath& other);
    FilePath& operator=(FilePath&& other) noexcept;
    ~FilePath();

    bool IsEmpty() const;
    void Set(const UnicodeString& path);
    FilePath& AddComponent(const UnicodeString& component);
    UnicodeString GetFullPath() const;
    std::string GetFullPathUTF8() const;
    bool Exists(bool resolveLinks) const;
    // The path as a file URL; the caller releases it with CFRelease.
    CFURLRef GetAsCFURL() const;

    AIFilePathRef ref() const { return fImpl; }

private:
    AIFilePathRef fImpl = nullptr;
};

}  // namespace ai
