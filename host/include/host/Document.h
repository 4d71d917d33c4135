// Document: what the application knows of the document it holds open. The document model gives
// the full document; the application only creates, replaces and closes it.
#pragma once

#include <map>
#include <string>

namespace host {

class Document {
public:
    virtual ~Document() = default;
    virtual std::string Name() const = 0;
};

// A new document with nothing in it: one artboard, no art, and an empty document dictionary.
class EmptyDocument final : public Document {
public:
    std::string Name() const override { return "Untitled-1"; }
    int ArtboardCount() const { return 1; }
    // The document dictionary: entries kept with the document, by key.
    std::map<std::string, std::string>& Dictionary() { return fDictionary; }
    const std::map<std::string, std::string>& Dictionary() const { return fDictionary; }

private:
    std::map<std::string, std::string> fDictionary;
};

}  // namespace host
