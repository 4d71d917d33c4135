// The command "text" through the real host: each mode, literal and by regular expression, templates
// with their stored fields, whole stories emptied or restyled, the overset warning, and each story's
// text read back from the saved document. Text is 10 pt DejaVu Sans Mono: a frame 20 points wide
// and 12 high shows exactly three characters.
#include "AIDocument.h"
#include "PluginFixture.h"

namespace {

constexpr const char* kDocument = R"({"format": "plimhost-document", "version": 1,
  "textStyles": {"character": {"Normal Character Style": {"font": "DejaVuSansMono", "fontSize": 10}}},
  "layers": [{"type": "layer", "title": "L", "children": [
    {"type": "textFrame", "name": "A", "kind": "point", "frame": [0, 0, 0, 0], "text": "aaa",
     "tags": [{"name": "_p_tag_00000001", "type": "string", "value": "a"}]},
    {"type": "textFrame", "name": "B", "kind": "point", "frame": [0, 0, 0, 0], "text": "abcb\rx\ry",
     "tags": [{"name": "_p_tag_00000002", "type": "string", "value": "b"}]},
    {"type": "textFrame", "name": "T", "kind": "point", "frame": [0, 0, 0, 0],
     "text": "Hello {{name}}, your code is ((code)).",
     "tags": [{"name": "_p_tag_00000003", "type": "string", "value": "t"}]},
    {"type": "textFrame", "name": "S", "kind": "point", "frame": [0, 0, 0, 0], "text": "Hey you {{name}}!",
     "dictionary": {"com.torvi.PlimUtils_Text_Template_Tag": {"type": "array", "value": [
       {"type": "string", "value": "Hey "}, {"type": "integer", "value": 0}, {"type": "string", "value": "Hey "},
       {"type": "string", "value": "name"}, {"type": "integer", "value": 1},
       {"type": "string", "value": "{{name}}"},
       {"type": "string", "value": "!"}, {"type": "integer", "value": 0}, {"type": "string", "value": "!"}]}},
     "tags": [{"name": "_p_tag_00000004", "type": "string", "value": "s"}]},
    {"type": "textFrame", "name": "R", "kind": "point", "frame": [0, 0, 0, 0],
     "text": "\ud83d\ude00 cat a.b ann@home",
     "tags": [{"name": "_p_tag_00000005", "type": "string", "value": "r"}]},
    {"type": "textFrame", "name": "W", "kind": "point", "frame": [0, 0, 0, 0], "text": "a$b?(",
     "tags": [{"name": "_p_tag_00000006", "type": "string", "value": "w"}]},
    {"type": "textFrame", "name": "E", "kind": "point", "frame": [0, 0, 0, 0],
     "tags": [{"name": "_p_tag_00000007", "type": "string", "value": "e"}]},
    {"type": "textFrame", "name": "F", "kind": "area", "frame": [0, 100, 20, 88], "text": "abc",
     "tags": [{"name": "_p_tag_00000008", "type": "string", "value": "f"}]},
    {"type": "textFrame", "name": "L", "kind": "point", "frame": [0, 0, 0, 0],
     "text": "aaaaaaaaaaaaaaaaaaaaaaaaaa {{aaaaaaaaaaaaaaaaaaaaaaaaaa}}",
     "tags": [{"name": "_p_tag_0000000a", "type": "string", "value": "l"}]},
    {"type": "textFrame", "name": "X", "kind": "point", "frame": [0, 0, 0, 0], "text": "bbbc bc",
     "tags": [{"name": "_p_tag_0000000b", "type": "string", "value": "x"}]},
    {"type": "textFrame", "name": "C1", "kind": "point", "frame": [0, 0, 0, 0], "text": "one",
     "uuid": "6abb8f50-37fc-4ecd-a2b9-9a309ac6da1a",
     "tags": [{"name": "_p_tag_0000000c", "type": "string", "value": "c"}]},
    {"type": "textFrame", "name": "C2", "kind": "point", "frame": [0, 0, 0, 0], "text": "two",
     "uuid": "3f2cc647-6a5f-44b1-a68e-d0ba23ba3442",
     "tags": [{"name": "_p_tag_0000000c", "type": "string", "value": "c"}]},
    {"type": "path", "name": "P", "segments": [{"anchor": [0, 0]}, {"anchor": [10, 10]}],
     "tags": [{"name": "_p_tag_00000009", "type": "string", "value": "p"}]}]}]})";

constexpr const char* kLimitWarning = "A regular expression search gave up at the match limit";

struct Step {
    const char* request;
    const char* reply;  // "eventType" and "tagSearch" left out
    const char* frame;  // whose story text is then checked
    const char* text;
};

// Run in order on one document: later steps see what earlier ones changed.
const Step kSteps[] = {
    {R"({})", R"({"error":"No search string and no search text found"})", "A", "aaa"},
    {R"({"tagSearch":"a","mode":0})", R"({"error":"No search text found"})", "A", "aaa"},
    {R"({"tagSearch":"zzz","searchText":"a","mode":0})", R"({"error":"No artwork found"})", "A", "aaa"},
    // Each occurrence replaced once; inserted text is not searched again.
    {R"({"tagSearch":"a","searchText":"a","replaceText":"aa","mode":0})", R"({})", "A", "aaaaaa"},
    // An empty replacement removes every occurrence and ends.
    {R"({"tagSearch":"b","searchText":"b","replaceText":"","mode":0})", R"({})", "B", "ac\rx\ry"},
    // A line feed, also after a carriage return, stands for a paragraph break.
    {R"({"tagSearch":"b","searchText":"x\r\ny","replaceText":"z\nw","mode":0})", R"({})", "B", "ac\rz\rw"},
    // Mode 3 by default: only template fields, not plain text equal to the key.
    {R"({"tagSearch":"t","searchText":"name","replaceText":"Anna"})", R"({})", "T",
     "Hello Anna, your code is ((code))."},
    {R"({"tagSearch":"t","searchText":"name","replaceText":"Bob","mode":1})", R"({})", "T",
     "Hello Bob, your code is ((code))."},
    {R"({"tagSearch":"t","searchText":"code","replaceText":"42","mode":1})", R"({})", "T",
     "Hello Bob, your code is ((code))."},
    {R"({"tagSearch":"t","searchText":"code","replaceText":"42","mode":2})", R"({})", "T",
     "Hello Bob, your code is 42."},
    {R"({"tagSearch":"t","searchText":"nam","replaceText":"X","mode":1})", R"({})", "T",
     "Hello Bob, your code is 42."},
    {R"({"tagSearch":"t","searchText":"^n(a)me$","replaceText":"<$1>","mode":3,"regExFlag":"g"})", R"({})",
     "T", "Hello <a>, your code is 42."},
    // The template keeps its texts as strings ending at a NUL: a replacement holding one is refused.
    {R"({"tagSearch":"t","searchText":"name","replaceText":"A\u0000B","mode":1})",
     R"({"error":"\"replaceText\" must not contain a NUL character"})", "T", "Hello <a>, your code is 42."},
    // A stored template that no longer describes its story is rebuilt from the story's text.
    {R"({"tagSearch":"s","searchText":"name","replaceText":"Anna","mode":1})", R"({})", "S", "Hey you Anna!"},
    // Regular expressions: a character above U+FFFF before the matches, groups and "." escaped.
    {R"j({"tagSearch":"r","searchText":"(\\w+)@(\\w+)","replaceText":"$2/$1","mode":0,"regExFlag":"g"})j",
     R"({})", "R", "\U0001F600 cat a.b home/ann"},
    {R"({"tagSearch":"r","searchText":"A\\.B|CAT","replaceText":"[$&]","mode":0,"regExFlag":"i"})", R"({})",
     "R", "\U0001F600 [cat] [a.b] home/ann"},
    // A pattern the engine refuses changes nothing; the warning names the refusal, and the engine's
    // reason where it gives one.
    {R"({"tagSearch":"r","searchText":"(","replaceText":"x","mode":0,"regExFlag":"g"})",
     R"({"warning":"The regular expression engine refused the pattern, so nothing was searched"})", "R",
     "\U0001F600 [cat] [a.b] home/ann"},
    {R"({"tagSearch":"r","searchText":"([","replaceText":"x","mode":1,"regExFlag":"g"})",
     R"({"warning":"The regular expression engine refused the pattern, so nothing was searched"})", "R",
     "\U0001F600 [cat] [a.b] home/ann"},
    {R"({"tagSearch":"r","searchText":"(?<=a+)b","replaceText":"x","mode":0,"regExFlag":"g"})",
     R"j({"warning":"The regular expression engine refused the pattern, so nothing was searched (lookbehind assertion is not fixed length)"})j",
     "R", "\U0001F600 [cat] [a.b] home/ann"},
    {R"({"tagSearch":"r","searchText":"\\p{Nope}","replaceText":"x","mode":0,"regExFlag":"gv"})",
     R"({"warning":"The regular expression engine refused the pattern, so nothing was searched"})", "R",
     "\U0001F600 [cat] [a.b] home/ann"},
    {R"({"tagSearch":"r","searchText":"x*","replaceText":"-","mode":0,"regExFlag":"g"})", R"({})", "R",
     "\U0001F600 [cat] [a.b] home/ann"},
    // A pattern equal to its format restyles each match where it stands, however long the match.
    {R"({"tagSearch":"x","searchText":"b*c","replaceText":"b*c","mode":0,"regExFlag":"g","textFeatures":{"fontSize":20}})",
     R"({})", "X", "bbbc bc"},
    // Mode 4 takes the story's own text, pattern syntax and all, as the one match.
    {R"({"tagSearch":"w","replaceText":"[$&]","mode":4,"regExFlag":"g"})", R"({})", "W", "[a$b?(]"},
    // Mode 4 without "replaceText" only restyles; with it the whole story, an empty one too, is replaced.
    {R"({"tagSearch":"w","searchText":"zz","mode":4,"textFeatures":{"fontSize":20}})", R"({})", "W",
     "[a$b?(]"},
    {R"({"tagSearch":"w|e","searchText":"zz","replaceText":"X","mode":4})", R"({})", "E", "X"},
    {R"({"tagSearch":"w","mode":5,"replaceText":""})", R"({})", "W", ""},
    {R"({"tagSearch":"e","searchText":"X","replaceText":"Y","mode":7})", R"({})", "E", "X"},
    // The warning is for a story that the replacement made overset, not for one overset before.
    {R"({"tagSearch":"f","searchText":"c","replaceText":"cd","mode":0,"uid":"u"})",
     R"({"uid":"u","warning":"Some text is overset because a text was replaced"})", "F", "abcd"},
    {R"({"tagSearch":"f","searchText":"d","replaceText":"de","mode":0})", R"({})", "F", "abcde"},
    {R"({"tagSearch":"p","searchText":"a","mode":0})", R"({})", "F", "abcde"},
    {R"({"fittingMethod":"none"})", R"({"error":"Unknown fitting method"})", "F", "abcde"},
    // Refused at its fitting method: the replacement made before is taken back.
    {R"({"tagSearch":"f","searchText":"e","replaceText":"","mode":0,"fittingMethod":"none"})",
     R"({"error":"Unknown fitting method"})", "F", "abcde"},
    {R"({"tagSearch":"f","searchText":"zz","mode":4,"textFeatures":{"fontSize":5}})", R"({})", "F", "abcde"},
    // A search that gives up at the engine's limit changes nothing and says so, in the story and in
    // the keys of template fields; a search that merely finds nothing does not warn.
    {R"({"tagSearch":"l","searchText":"(.*a){25}","replaceText":"x","mode":0,"regExFlag":"g"})",
     R"({"warning":"A regular expression search gave up at the match limit"})", "L",
     "aaaaaaaaaaaaaaaaaaaaaaaaaa {{aaaaaaaaaaaaaaaaaaaaaaaaaa}}"},
    {R"({"tagSearch":"l","searchText":"(.*a){25}","replaceText":"x","mode":1,"regExFlag":"g"})",
     R"({"warning":"A regular expression search gave up at the match limit"})", "L",
     "aaaaaaaaaaaaaaaaaaaaaaaaaa {{aaaaaaaaaaaaaaaaaaaaaaaaaa}}"},
    {R"({"tagSearch":"l","searchText":"(.*a){2}b","replaceText":"x","mode":0,"regExFlag":"g"})", R"({})", "L",
     "aaaaaaaaaaaaaaaaaaaaaaaaaa {{aaaaaaaaaaaaaaaaaaaaaaaaaa}}"},
    // Two stories whose first frames' UUIDs share their CRC32 are two stories all the same.
    {R"({"tagSearch":"c","searchText":"o","replaceText":"0","mode":0})", R"({})", "C1", "0ne"},
    {R"({"tagSearch":"c","searchText":"w","replaceText":"W","mode":0})", R"({})", "C2", "tW0"},
    // Captures of a repeated group are those of its last repetition; \w with "i" folds case.
    {R"({"tagSearch":"l","searchText":"(?:(a)|b|( ))+","replaceText":"[$1|$2]","mode":0,"regExFlag":"i"})",
     R"({})", "L", "[| ]{{[a|]}}"},
};

// What the saved frames hold after the last step, as JSON pointers into each frame.
const struct {
    const char* frame;
    const char* pointer;
    const char* value;
} kSaved[] = {
    // The rebuilt template of "S" knows that "Anna" is the field "name".
    {"S", "/dictionary/com.torvi.PlimUtils_Text_Template_Tag/value/3/value", R"("name")"},
    {"S", "/dictionary/com.torvi.PlimUtils_Text_Template_Tag/value/5/value", R"("Anna")"},
    {"T", "/dictionary/com.torvi.PlimUtils_Text_Template_Tag/value/5/value", R"("<a>")"},
    {"F", "/story/runs/0/features/fontSize", "5.0"},
    {"F", "/story/runs/0/length", "5"},
    {"X", "/story/runs/0/length", "4"},
    {"X", "/story/runs/1/features", "null"},
    {"X", "/story/runs/2/features/fontSize", "20.0"},
    {"X", "/story/runs/2/length", "2"},
};

// The application refusing to change text during find and replace: a command where no story
// changed answers an error (and a refused replacement leaves its story's text as it was), one where
// some changed a warning. Each case starts from the document above.
const struct RefusalCase {
    const char* operation;  // of "ATE TextRange Suite" unless it names a suite first
    int onCall;             // 0: every call
    const char* request;
    const char* reply;  // "eventType" and "tagSearch" left out
    const char* frame;
    const char* text;
} kRefusals[] = {
    {"InsertAfter_AsUnicode", 0, R"({"tagSearch":"a","searchText":"a","replaceText":"b","mode":0})",
     R"({"error":"The application refused to change the text"})", "A", "aaa"},
    {"InsertAfter_AsUnicode", 2, R"({"tagSearch":"a","searchText":"a","replaceText":"b","mode":0})",
     R"({"warning":"The application refused to change some of the text"})", "A", "baa"},
    // The inserted replacement is taken out again when its match can't be removed.
    {"Remove", 1, R"({"tagSearch":"a","searchText":"a","replaceText":"b","mode":0})",
     R"({"error":"The application refused to change the text"})", "A", "aaa"},
    {"InsertAfter_AsUnicode", 1, R"({"tagSearch":"a|b","searchText":"a","replaceText":"z","mode":0})",
     R"({"warning":"The application refused to change some of the text"})", "A", "zzz"},
    {"InsertAfter_AsUnicode", 0,
     R"({"tagSearch":"b","searchText":"b","replaceText":"X","mode":0,"regExFlag":"g"})",
     R"({"error":"The application refused to change the text"})", "B", "abcb\rx\ry"},
    {"InsertAfter_AsUnicode", 2,
     R"({"tagSearch":"b","searchText":"b","replaceText":"X","mode":0,"regExFlag":"g"})",
     R"({"warning":"The application refused to change some of the text"})", "B", "aXcb\rx\ry"},
    {"InsertAfter_AsUnicode", 0, R"({"tagSearch":"t","searchText":"name","replaceText":"Anna","mode":1})",
     R"({"error":"The application refused to change the text"})", "T",
     "Hello {{name}}, your code is ((code))."},
    {"AI Dictionary Suite/Set", 0, R"({"tagSearch":"t","searchText":"name","replaceText":"Anna","mode":1})",
     R"({"error":"The application refused to change the text"})", "T",
     "Hello {{name}}, your code is ((code))."},
    {"InsertAfter_AsUnicode", 0, R"({"tagSearch":"e","searchText":"zz","replaceText":"X","mode":4})",
     R"({"error":"The application refused to change the text"})", "E", ""},
    {"ReplaceOrAddLocalCharFeatures", 0, R"({"tagSearch":"a","mode":4,"textFeatures":{"fontSize":20}})",
     R"({"error":"The application refused to change the text"})", "A", "aaa"},
    // A story's text is read without the host's strings: a whole-story replacement replaces it.
    {"AI Unicode String Suite/CreateUTF16", 0, R"({"tagSearch":"a","replaceText":"X","mode":4})", R"({})",
     "A", "X"},
    // Nothing refused and nothing found is no failure.
    {"InsertAfter_AsUnicode", 0, R"({"tagSearch":"a","searchText":"q","replaceText":"b","mode":0})", R"({})",
     "A", "aaa"},
};

class TextFindReplaceTest : public PluginTest {
protected:
    // The named frame in the saved document.
    json SavedFrame(const std::string& name) {
        const host::model::WriteResult written = host::model::writeDocument(*app->CurrentDocument());
        EXPECT_TRUE(written.text) << written.error;
        const json saved = json::parse(written.text.value_or("{}"));
        for (const json& art : saved["layers"][0]["children"]) {
            if (art.value("name", "") == name) {
                return art;
            }
        }
        ADD_FAILURE() << name << " not saved";
        return json::object();
    }

    std::string SavedText(const std::string& name) {
        const json art = SavedFrame(name);
        return art.contains("story") ? art["story"].value("text", "") : art.value("text", "");
    }
};

TEST_F(TextFindReplaceTest, RepliesAndChangesEachStoryAsAsked) {
    OpenDocumentText(kDocument, 7);
    for (const Step& step : kSteps) {
        SCOPED_TRACE(step.request);
        json reply = ScriptJson("text", step.request);
        EXPECT_EQ(reply["eventType"], "text");
        EXPECT_EQ(reply["tagSearch"], json::parse(step.request).value("tagSearch", ""));
        reply.erase("eventType");
        reply.erase("tagSearch");
        EXPECT_EQ(reply, json::parse(step.reply));
        EXPECT_EQ(SavedText(step.frame), step.text);
    }
    for (const auto& saved : kSaved) {
        EXPECT_EQ(SavedFrame(saved.frame).value(json::json_pointer(saved.pointer), json()),
                  json::parse(saved.value))
            << saved.frame << saved.pointer;
    }
}

TEST_F(TextFindReplaceTest, RefusedChangesAreWarningsOrErrors) {
    for (const RefusalCase& c : kRefusals) {
        SCOPED_TRACE(std::string(c.operation) + " " + c.request);
        OpenDocumentText(kDocument, 7);
        const std::string operation = c.operation;
        const std::size_t slash = operation.find('/');
        app->Faults().FailOperation(
            slash == std::string::npos ? "ATE TextRange Suite" : operation.substr(0, slash),
            operation.substr(slash == std::string::npos ? 0 : slash + 1), kCantHappenErr, c.onCall);
        json reply = ScriptJson("text", c.request);
        app->Faults().Clear();
        reply.erase("eventType");
        reply.erase("tagSearch");
        EXPECT_EQ(reply, json::parse(c.reply));
        EXPECT_EQ(SavedText(c.frame), c.text);
    }
}

// Fitting after the replacement. The advance of DejaVu Sans Mono is 1233/2048 em and a line needs
// its ascent and descent, 2384/2048 em: in a frame 20 wide and 12 high "abc" fills the frame at
// 12 * 2048 / 2384 points, and "abcdef" fits on one line at 20 * 2048 / (6 * 1233) points.
constexpr double kFillsHeight = 12.0 * 2048 / 2384;
constexpr double kSixOnALine = 20.0 * 2048 / (6 * 1233);

constexpr const char* kFitDocument = R"({"format": "plimhost-document", "version": 1,
  "textStyles": {"character": {"Normal Character Style": {"font": "DejaVuSansMono", "fontSize": 10}}},
  "layers": [{"type": "layer", "title": "L", "children": [
    {"type": "textFrame", "name": "G1", "kind": "area", "frame": [0, 100, 20, 88], "text": "abc",
     "tags": [{"name": "_p_tag_00000001", "type": "string", "value": "g1"}]},
    {"type": "textFrame", "name": "G2", "kind": "area", "frame": [0, 80, 20, 68], "text": "abcdef",
     "tags": [{"name": "_p_tag_00000002", "type": "string", "value": "g2"}]},
    {"type": "textFrame", "name": "G3", "kind": "area", "frame": [0, 60, 20, 48], "text": "abcdef",
     "tags": [{"name": "_p_tag_00000003", "type": "string", "value": "g3"}]},
    {"type": "textFrame", "name": "Auto", "kind": "area", "autoSize": true, "frame": [0, 40, 20, 28],
     "text": "abc", "tags": [{"name": "_p_tag_00000004", "type": "string", "value": "auto"}]},
    {"type": "textFrame", "name": "H", "kind": "area", "frame": [100, 100, 120, 88], "text": "{{k}}",
     "tags": [{"name": "_p_tag_00000007", "type": "string", "value": "h"}]},
    {"type": "textFrame", "name": "Tall", "kind": "area", "frame": [200, 100, 220, 88], "text": "abcdef",
     "tags": [{"name": "_p_tag_00000008", "type": "string", "value": "tall"}]},
    {"type": "textFrame", "name": "Para", "kind": "area", "frame": [300, 100, 320, 0], "text": "abcdef\rxyz",
     "tags": [{"name": "_p_tag_00000009", "type": "string", "value": "para"}]},
    {"type": "textFrame", "name": "Locked", "kind": "area", "locked": true, "frame": [400, 100, 420, 88],
     "text": "abc", "tags": [{"name": "_p_tag_0000000a", "type": "string", "value": "locked"}]},
    {"type": "textFrame", "name": "Huge", "kind": "area", "frame": [0, 10000000, 10000000, 0], "text": "a",
     "tags": [{"name": "_p_tag_00000006", "type": "string", "value": "huge"}]},
    {"type": "textFrame", "name": "Many", "kind": "area", "frame": [500, 100, 520, 0],
     "text": "aaaaaaaaaaaaaaaaaaaaaaaaaa", "tags": [{"name": "_p_tag_0000000b", "type": "string", "value": "many"}]},
    {"type": "textFrame", "name": "Point", "kind": "point", "frame": [0, 0, 0, 0], "text": "abc",
     "tags": [{"name": "_p_tag_00000005", "type": "string", "value": "point"}]}]}]})";

struct FitStep {
    const char* request;
    const char* reply;  // "eventType" and "tagSearch" left out
    const char* frame;
    double fontSize;  // of the frame's first character afterwards
};

const FitStep kFitSteps[] = {
    {R"({"tagSearch":"point|auto","fittingMethod":"fitToFrame"})", R"({"error":"No text to fit found"})",
     "Auto", 10},
    // Only the frame's height changes, about its top: two lines need 12 + 2384/2048 * 10 points.
    {R"({"tagSearch":"tall","fittingMethod":"fitFrameToText"})", R"({})", "Tall", 10},
    {R"({"tagSearch":"g1","fittingMethod":"bogus"})", R"({"error":"Unknown fitting method"})", "G1", 10},
    {R"({"tagSearch":"g1","fittingMethod":"shrinkToFrame"})", R"({})", "G1", 10},
    {R"({"tagSearch":"g1","fittingMethod":"fitToFrame"})", R"({})", "G1", kFillsHeight},
    {R"({"tagSearch":"g2","fittingMethod":"shrinkToFrame"})", R"({})", "G2", kSixOnALine},
    // Locked art is fitted and locked again.
    {R"({"tagSearch":"locked","fittingMethod":"fitToFrame"})", R"({})", "Locked", kFillsHeight},
    // Still fitting at 65,536 times its size: a failure that leaves the size as it was.
    {R"({"tagSearch":"huge","fittingMethod":"fitToFrame"})", R"({"error":"Can't fit a text range"})", "Huge",
     10},
    // Too small for the limit: scaled back to its size before fitting.
    {R"({"tagSearch":"g3","fittingMethod":"shrinkToFrame","minFontSize":8})",
     R"({"error":"Can't fit a text range"})", "G3", 10},
    // Replaced first, then fitted.
    {R"({"tagSearch":"g3","searchText":"zz","replaceText":"abc","mode":4,"fittingMethod":"fitToFrame"})",
     R"({})", "G3", kFillsHeight},
    // The stories where the text is found, in the fields of the template the replacement stored.
    {R"({"tagSearch":"g1|h","searchText":"k","replaceText":"abc","mode":1,"allText":true,"fittingMethod":"fitToFrame"})",
     R"({})", "H", kFillsHeight},
    {R"({"tagSearch":"g2","searchText":"zzz","mode":0,"allText":true,"fittingMethod":"fitToFrame"})",
     R"({"error":"No text to fit found"})", "G2", kSixOnALine},
    // The paragraph holding the match's last character, its paragraph break, is fitted to one line.
    {R"({"tagSearch":"para","searchText":"ef\r","mode":0,"lines":1,"fittingMethod":"fitToFrame"})", R"({})",
     "Para", kSixOnALine},
    // A search for the paragraphs to fit that gives up finds nothing, and says why (mode 5 only
    // drops templates in the replacement, and searches the whole story in fitting).
    {R"({"tagSearch":"many","searchText":"(.*a){25}","regExFlag":"g","mode":5,"fittingMethod":"fitToFrame"})",
     R"({"error":"No text to fit found","warning":"A regular expression search gave up at the match limit"})",
     "Many", 10},
    {R"({"tagSearch":"many","searchText":"([","regExFlag":"g","mode":0,"fittingMethod":"fitToFrame"})",
     R"({"error":"No text to fit found","warning":"The regular expression engine refused the pattern, so nothing was searched"})",
     "Many", 10},
};

// Telling fixed frames from auto-sized ones measures a copy of each, and the document's modified
// flag is kept around it: read and put back once for all the frames, since reading it looks
// through every change of the command. A flag that can't be read leaves area text unmeasured, so
// none of it is fitted.
TEST_F(TextFindReplaceTest, AFitKeepsTheModifiedFlagOnceForAllTheFramesItMeasures) {
    OpenDocumentText(kFitDocument, 8);
    const auto calls = [&](const char* operation) {
        return app->Faults().Calls(kAIDocumentSuite, operation);
    };
    const int reads = calls("GetDocumentModified");
    const int writes = calls("SetDocumentModified");
    EXPECT_EQ(ScriptJson("text", R"({"tagSearch":"g1|g2|g3|tall|auto","fittingMethod":"shrinkToFrame"})")
                  .value("error", ""),
              "");
    EXPECT_EQ(calls("GetDocumentModified") - reads, 1);
    EXPECT_EQ(calls("SetDocumentModified") - writes, 1);

    app->Faults().FailOperation(kAIDocumentSuite, "GetDocumentModified", kCantHappenErr);
    const json reply = ScriptJson("text", R"({"tagSearch":"g1","fittingMethod":"fitToFrame"})");
    app->Faults().Clear();
    EXPECT_EQ(reply.value("error", ""), "No text to fit found");
    EXPECT_EQ(SavedFrame("G1").value(json::json_pointer("/story/runs/0/features/fontSize"), 10.0), 10.0);
}

TEST_F(TextFindReplaceTest, FitsStoriesToTheirFramesByTheFontsMetrics) {
    OpenDocumentText(kFitDocument, 8);
    for (const FitStep& step : kFitSteps) {
        SCOPED_TRACE(step.request);
        json reply = ScriptJson("text", step.request);
        reply.erase("eventType");
        reply.erase("tagSearch");
        EXPECT_EQ(reply, json::parse(step.reply));
        const json frame = SavedFrame(step.frame);
        const double size = frame.value(json::json_pointer("/story/runs/0/features/fontSize"), 10.0);
        // The search may end with one step of 0.995 below the exact size.
        EXPECT_NEAR(size, step.fontSize, step.fontSize * 0.006);
    }
    EXPECT_EQ(SavedFrame("Locked").value("locked", false), true);
    const json tall = SavedFrame("Tall")["frame"];
    EXPECT_EQ(tall[0], 200.0);
    EXPECT_EQ(tall[1], 100.0);
    EXPECT_EQ(tall[2], 220.0);
    EXPECT_NEAR(tall[3].get<double>(), 100.0 - 12.0 - 2384.0 / 2048 * 10, 0.002);
}

// Scaling text suspends its story's reflow; a character the application refuses to scale, in the
// auto-size test or in fitting itself, must not leave the story suspended.
TEST_F(TextFindReplaceTest, ARefusedScalingResumesReflow) {
    for (const int onCall : {1, 2, 4, 9}) {
        SCOPED_TRACE(onCall);
        OpenDocumentText(kFitDocument, 8);
        app->Faults().FailOperation("ATE TextRange Suite", "ReplaceOrAddLocalCharFeatures", kCantHappenErr,
                                    onCall);
        const json reply = ScriptJson("text", R"({"tagSearch":"g1|g2","fittingMethod":"fitToFrame"})");
        app->Faults().Clear();
        EXPECT_EQ(reply.value("eventType", ""), "text");
        EXPECT_EQ(app->Faults().Calls("ATE Story Suite", "SuspendReflow"),
                  app->Faults().Calls("ATE Story Suite", "ResumeReflow"));
    }
}

}  // namespace
