// ai::FilePath over the host's File Path Suite. Every module that uses the class defines the suite
// pointer sAIFilePath; a path made while the suite is not held is empty.
#include "IAIFilePath.hpp"

#include <utility>

extern "C" AIFilePathSuite* sAIFilePath;

namespace ai {
namespace {

// The suite takes paths as C strings, which end at a NUL: a path holding one would name another
// file, so it gets no reference, and every host call given it fails.
bool HoldsNul(const std::string& text) {
    return text.find('\0') != std::string::npos;
}

AIFilePathRef Create(const std::string& path) {
    AIFilePathRef ref = nullptr;
    if (HoldsNul(path)) {
        return nullptr;
    }
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
    const std::string text = path.as_UTF8();
    if (fImpl == nullptr || HoldsNul(text)) {
        Dispose(std::exchange(fImpl, Create(text)));
    } else if (sAIFilePath != nullptr) {
        sAIFilePath->Set(fImpl, text.c_str());
    }
}

FilePath& FilePath::AddComponent(const UnicodeString& component) {
    const std::string text = component.as_UTF8();
    if (HoldsNul(text)) {
        // The path would name another file: it names none from now on.
        Dispose(std::exchange(fImpl, nullptr));
    } else if (fImpl != nullptr && sAIFilePath != nullptr) {
        sAIFilePath->AddComponent(fImpl, text.c_str());
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
