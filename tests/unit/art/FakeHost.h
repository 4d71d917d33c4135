// A small in-memory document behind the art, tag, matching-art, UUID, memory, text-frame and
// Unicode-string suites, installed into the plug-in's suite pointers for the life of the object.
// It lets unit tests drive the tag readers, writers and tree walks without the stand-in host, and
// make single operations fail to reach the error paths.
#pragma once

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "AIArt.h"
#include "core/Suites.h"

struct FakeArt {
    std::string name;
    ai::int16 type = kPathArt;
    bool layerGroup = false;
    FakeArt* parent = nullptr;
    std::vector<FakeArt*> children;
    std::map<std::string, std::string> entries;  // tag entries, sorted by name as the host keeps them
    ai::int32 attributes = 0;
    std::string uuid;
    bool clipped = false;
};

class FakeHost {
public:
    FakeHost();
    ~FakeHost();
    FakeHost(const FakeHost&) = delete;
    FakeHost& operator=(const FakeHost&) = delete;

    // A new top-level layer's group, listed after the layers already made.
    ArtObject* AddLayer(const std::string& name);
    // A new last child of the parent. The UUID defaults to one made from the name.
    ArtObject* Add(ArtObject* parent, const std::string& name, ai::int16 type = kPathArt,
                   std::string uuid = {});

    FakeArt& Art(ArtObject* art);
    bool IsLive(ArtObject* art) const;
    std::string NameOf(ArtObject* art) const;
    std::vector<std::string> Names(const std::vector<ArtObject*>& list) const;
    // The names of the art's children, front to back.
    std::vector<std::string> ChildNames(ArtObject* art) const;
    // Every live object in document order.
    std::vector<ArtObject*> DocumentOrder() const;
    ArtObject* Find(const std::string& name) const;

    // Makes a named operation ("DuplicateArt", "CountTags", ...) fail from now on.
    void Fail(const std::string& operation) { fFailing.insert(operation); }
    // Counts the call of an operation and answers whether it is to fail.
    bool Fails(const std::string& operation) {
        ++fCalls[operation];
        return fFailing.contains(operation);
    }
    int Calls(const std::string& operation) const {
        auto found = fCalls.find(operation);
        return found != fCalls.end() ? found->second : 0;
    }

    // Calls of MdMemoryDisposeHandle still owed for blocks the matching queries handed out.
    int OutstandingBlocks() const { return static_cast<int>(fBlocks.size()); }

    static FakeHost* current;

    // Used by the suite functions.
    ArtObject* Handle(FakeArt* art) const { return reinterpret_cast<ArtObject*>(art); }
    FakeArt* Live(ArtObject* art) const;
    FakeArt* MakeArt(const std::string& name, ai::int16 type);
    FakeArt* Copy(const FakeArt& original);
    void Detach(FakeArt* art);
    void InsertBefore(FakeArt* art, FakeArt* prep);
    void DisposeTree(FakeArt* art);
    std::vector<FakeArt*> PreOrder(FakeArt* from) const;
    bool Selected(const FakeArt* art) const;
    bool FullySelected(const FakeArt* art) const;
    // A block of handles as the matching queries hand it out: the address of its data pointer.
    AIArtHandle** NewBlock(std::vector<ArtObject*> handles);
    bool FreeBlock(void* block);

private:
    std::vector<std::unique_ptr<FakeArt>> fStorage;
    std::set<const FakeArt*> fLive;
    std::vector<FakeArt*> fLayers;
    std::set<std::string> fFailing;
    std::map<std::string, int> fCalls;
    struct Block {
        std::vector<ArtObject*> handles;
        ArtObject** data = nullptr;
    };
    std::map<void*, std::unique_ptr<Block>> fBlocks;
    int fCopies = 0;
};
