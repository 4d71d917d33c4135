#include "text/FindText.h"

#include "art/ArtTree.h"
#include "art/TagSearch.h"
#include "art/TagText.h"
#include "text/TextRanges.h"

bool FindTextRange(const std::string& tagSearch, const std::string& searchText, ATE::ITextRange& found) {
    if (searchText.empty()) {
        return false;
    }
    const std::u32string search = ToUtf32(searchText);
    if (search.empty()) {
        return false;
    }
    const ArtList art = tagSearch.empty() ? GetAllObjects(false) : SearchTaggedArt(tagSearch);
    for (ArtObject* object : art) {
        ATE::ITextRange story;
        std::u32string text;
        if (!ArtToTextRange(object, story) || !TextRangeToUnicode(story, text)) {
            continue;
        }
        const size_t position = text.find(search);
        if (position == std::u32string::npos) {
            continue;
        }
        // The engine counts UTF-16 units; the search counted code points.
        unsigned long start = 0;
        U16Length(text, position, start);
        try {
            ATE::ITextRange range = story.Clone();
            range.SetRange(static_cast<ASInt32>(start), static_cast<ASInt32>(start + U16Length(search)));
            found = std::move(range);
            return true;
        } catch (const ATE::Exception&) {
            return false;
        }
    }
    return false;
}
