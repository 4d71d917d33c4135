// A parser holding the parts of an art object's style, disposed of on every way out.
#include "core/Suites.h"
#include "layout/Reduce.h"

ParsedStyle::ParsedStyle(ArtObject* art) {
    AIArtStyleHandle style = nullptr;
    if (sAIArtStyle != nullptr && sAIArtStyle->GetArtStyle(art, &style) == kNoErr) {
        Parse(style);
    }
}

ParsedStyle::ParsedStyle(AIArtStyleHandle style) {
    Parse(style);
}

void ParsedStyle::Parse(AIArtStyleHandle style) {
    if (sAIArtStyleParser == nullptr || sAIArtStyleParser->NewParser(&fParser) != kNoErr) {
        fParser = nullptr;
        return;
    }
    fParsed = sAIArtStyleParser->ParseStyle(fParser, style) == kNoErr &&
              sAIArtStyleParser->IsStyleParseable(fParser);
}

ParsedStyle::~ParsedStyle() {
    if (fParser != nullptr) {
        sAIArtStyleParser->DisposeParser(fParser);
    }
}
