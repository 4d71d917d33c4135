// ai::ArtboardProperties and ai::ArtboardList over the host's artboard suite. Every module that
// uses the classes defines the suite pointer sAIArtboard; without the suite, records and lists are
// invalid and every operation answers kCantHappenErr.
#include "IAIArtboards.hpp"

#include <utility>

extern "C" AIArtboardSuite* sAIArtboard;

namespace ai {
namespace {

ArtboardRef NewRecord() {
    ArtboardRef record = nullptr;
    if (sAIArtboard == nullptr || sAIArtboard->Init(&record) != kNoErr) {
        return nullptr;
    }
    return record;
}

ArtboardRef CloneRecord(ArtboardRef source) {
    ArtboardRef copy = nullptr;
    if (source == nullptr || sAIArtboard == nullptr || sAIArtboard->CloneArtboard(&copy, source) != kNoErr) {
        return nullptr;
    }
    return copy;
}

void DisposeRecord(ArtboardRef record) {
    if (record != nullptr && sAIArtboard != nullptr) {
        sAIArtboard->Dispose(record);
    }
}

// The call, or kCantHappenErr when the suite or the host reference is missing.
template <typename Call>
AIErr Checked(const void* impl, Call call) {
    if (impl == nullptr || sAIArtboard == nullptr) {
        return kCantHappenErr;
    }
    return call(*sAIArtboard);
}

}  // namespace

// --- ArtboardProperties -------------------------------------------------------------------------

ArtboardProperties::ArtboardProperties() : fImpl(NewRecord()) {}

ArtboardProperties::ArtboardProperties(const ArtboardProperties& other) : fImpl(CloneRecord(other.fImpl)) {}

ArtboardProperties::ArtboardProperties(ArtboardProperties&& other) noexcept
    : fImpl(std::exchange(other.fImpl, nullptr)) {}

ArtboardProperties& ArtboardProperties::operator=(const ArtboardProperties& other) {
    if (this != &other) {
        ArtboardRef copy = CloneRecord(other.fImpl);
        DisposeRecord(fImpl);
        fImpl = copy;
    }
    return *this;
}

ArtboardProperties& ArtboardProperties::operator=(ArtboardProperties&& other) noexcept {
    if (this != &other) {
        DisposeRecord(fImpl);
        fImpl = std::exchange(other.fImpl, nullptr);
    }
    return *this;
}

ArtboardProperties::~ArtboardProperties() {
    DisposeRecord(fImpl);
}

AIErr ArtboardProperties::GetPosition(AIRealRect& position) const {
    return Checked(fImpl, [&](const AIArtboardSuite& suite) { return suite.GetPosition(fImpl, &position); });
}

AIErr ArtboardProperties::SetPosition(const AIRealRect& position) {
    return Checked(fImpl, [&](const AIArtboardSuite& suite) { return suite.SetPosition(fImpl, &position); });
}

AIErr ArtboardProperties::GetName(ai::UnicodeString& name) const {
    return Checked(fImpl, [&](const AIArtboardSuite& suite) { return suite.GetName(fImpl, name); });
}

AIErr ArtboardProperties::SetName(const ai::UnicodeString& name) {
    return Checked(fImpl, [&](const AIArtboardSuite& suite) { return suite.SetName(fImpl, name); });
}

AIErr ArtboardProperties::SetPixelAspectRatio(AIReal ratio) {
    return Checked(fImpl, [&](const AIArtboardSuite& suite) { return suite.SetPAR(fImpl, ratio); });
}

AIErr ArtboardProperties::GetRulerOrigin(AIRealPoint& origin) const {
    return Checked(fImpl, [&](const AIArtboardSuite& suite) { return suite.GetRulerOrigin(fImpl, &origin); });
}

AIErr ArtboardProperties::SetRulerOrigin(const AIRealPoint& origin) {
    return Checked(fImpl, [&](const AIArtboardSuite& suite) { return suite.SetRulerOrigin(fImpl, &origin); });
}

AIErr ArtboardProperties::GetShowDisplayMark(ai::int32 mark, bool& show) const {
    return Checked(fImpl, [&](const AIArtboardSuite& suite) {
        AIBoolean shown = false;
        const AIErr error = suite.GetShowDisplayMark(fImpl, mark, &shown);
        if (error == kNoErr) {
            show = shown != 0;
        }
        return error;
    });
}

AIErr ArtboardProperties::SetShowDisplayMark(ai::int32 mark, bool show) {
    return Checked(fImpl,
                   [&](const AIArtboardSuite& suite) { return suite.SetShowDisplayMark(fImpl, mark, show); });
}

// --- ArtboardList -------------------------------------------------------------------------------

ArtboardList::ArtboardList() {
    if (sAIArtboard != nullptr && sAIArtboard->GetArtboardList(&fImpl) != kNoErr) {
        fImpl = nullptr;
    }
}

ArtboardList::ArtboardList(ArtboardList&& other) noexcept : fImpl(std::exchange(other.fImpl, nullptr)) {}

ArtboardList& ArtboardList::operator=(ArtboardList&& other) noexcept {
    if (this != &other) {
        if (fImpl != nullptr && sAIArtboard != nullptr) {
            sAIArtboard->ReleaseArtboardList(fImpl);
        }
        fImpl = std::exchange(other.fImpl, nullptr);
    }
    return *this;
}

ArtboardList::~ArtboardList() {
    if (fImpl != nullptr && sAIArtboard != nullptr) {
        sAIArtboard->ReleaseArtboardList(fImpl);
    }
}

AIErr ArtboardList::GetCount(ArtboardID& count) const {
    return Checked(fImpl, [&](const AIArtboardSuite& suite) { return suite.GetCount(fImpl, &count); });
}

AIErr ArtboardList::GetActive(ArtboardID& index) const {
    return Checked(fImpl, [&](const AIArtboardSuite& suite) { return suite.GetActive(fImpl, &index); });
}

AIErr ArtboardList::SetActive(ArtboardID index) {
    return Checked(fImpl, [&](const AIArtboardSuite& suite) { return suite.SetActive(fImpl, index); });
}

AIErr ArtboardList::GetArtboardProperties(ArtboardID index, ArtboardProperties& properties) const {
    if (!properties.IsValid()) {
        return kBadParameterErr;
    }
    return Checked(fImpl, [&](const AIArtboardSuite& suite) {
        return suite.GetArtboardProperties(fImpl, index, properties.GetImpl());
    });
}

AIErr ArtboardList::Update(ArtboardID index, const ArtboardProperties& properties) {
    if (!properties.IsValid()) {
        return kBadParameterErr;
    }
    return Checked(fImpl, [&](const AIArtboardSuite& suite) {
        return suite.Update(fImpl, index, properties.GetImpl());
    });
}

AIErr ArtboardList::Insert(const ArtboardProperties& properties, ArtboardID& index) {
    if (!properties.IsValid()) {
        return kBadParameterErr;
    }
    return Checked(fImpl, [&](const AIArtboardSuite& suite) {
        return suite.InsertAt(fImpl, properties.GetImpl(), &index);
    });
}

AIErr ArtboardList::Delete(ArtboardID index) {
    return Checked(fImpl, [&](const AIArtboardSuite& suite) { return suite.Delete(fImpl, index); });
}

AIErr ArtboardList::Delete(const std::vector<ArtboardID>& indexes) {
    return Checked(fImpl, [&](const AIArtboardSuite& suite) {
        return suite.DeleteArtboards(fImpl, indexes.data(), static_cast<ai::int32>(indexes.size()));
    });
}

}  // namespace ai
