// ai::FilePath over the host's File Path Suite. Every module that uses the class defines the suite
// pointer sAIFilePath; a path made while the suite is not held is empty.
#include "IAIFilePath.hpp"

#include <utility>

extern "C" AIFilePathSuite* sAIFilePath;

namespace ai {
namespace {

AIFilePathRef Create(const std::string& path) {
    AIFilePathRef ref = nullptr;
    if (sAIFilePath != nullptr && sAIFilePath->Create(path.c_str(), &ref) != kNoErr) {
        ref = nullptr;
    }
    return ref;
}

AIFilePathRef Duplicate(AIFilePathRef ref) {
    AIFilePathRef copy = nullptr;
    if (ref != nullptr && sAIFilePath != nullptr && sAIFilePath->Duplicate(ref, &copy) != kNoErr) {
        copy = nullptr;
    }
    return copy;
}

void Dispose(AIFilePathRef ref) {
    if (ref != nullptr && sAIFilePath != nullptr) {
        sAIFilePath->Dispose(ref);
    }
}

}  // namespace

FilePath::FilePath() : fImpl(Create({})) {}
FilePath::FilePath(const UnicodeString& path) : fImpl(Create(path.as_UTF8())) {}
FilePath::FilePath(const std::string& utf8Path) : fImpl(Create(utf8Path)) {}
FilePath::FilePath(const FilePath& other) : fImpl(Duplicate(other.fImpl)) {}
FilePath::FilePath(FilePath&& other) noexcept : fImpl(std::exchange(other.fImpl, nullptr)) {}

FilePath& FilePath::operator=(const FilePath& other) {
    if (this != &other) {
        AIFilePathRef copy = Duplicate(other.fImpl);
        Dispose(fImpl);
        fImpl = copy;
    }
    return *this;
}

FilePath& FilePath::operator=(FilePath&& other) noexcept {
    if (this != &other) {
        Dispose(fImpl);
        fImpl = std::exchange(other.fImpl, nullptr);
    }
    return *this;
}

FilePath::~FilePath() {
    Dispose(fImpl);
}

bool FilePath::IsEmpty() const {
    return GetFullPathUTF8().empty();
}

void FilePath::Set(const UnicodeString& path) {
    if (fImpl == nullptr) {
        fImpl = Create(path.as_UTF8());
    } else if (sAIFilePath != nullptr) {
        sAIFilePath->Set(fImpl, path.as_UTF8().c_str());
    }
}

FilePath& FilePath::AddComponent(const UnicodeString& component) {
    if (fImpl != nullptr && sAIFilePath != nullptr) {
        sAIFilePath->AddComponent(fImpl, component.as_UTF8().c_str());
    }
    return *this;
}

std::string FilePath::GetFullPathUTF8() const {
    const char* path = nullptr;
    if (fImpl == nullptr || sAIFilePath == nullptr || sAIFilePath->GetPath(fImpl, &path) != kNoErr ||
        path == nullptr) {
        return {};
    }
    return path;
}

UnicodeString FilePath::GetFullPath() const {
    return UnicodeString::FromUTF8(GetFullPathUTF8());
}

bool FilePath::Exists(bool resolveLinks) const {
    if (sAIFilePath == nullptr) {
        return false;
    }
    AIBoolean longPath = false;
    AIBoolean isFile = false;
    return sAIFilePath->Exists(*this, resolveLinks, &longPath, &isFile) != 0;
}

CFURLRef FilePath::GetAsCFURL() const {
    return CFURLCreateWithFileSystemPath(GetFullPathUTF8().c_str());
}

}  // namespace ai
