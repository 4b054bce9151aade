#include "exec/Memory.h"
#include "exec/ScriptFile.h"

#include "ExecRuntime.h"

#include <filesystem>
#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

// Every delivered line as "ID:value|value".
Lines g_lines;

int Collect(uint16_t id, ScriptValue* values)
{
    g_lines.push_back(std::to_string(id) + ":");
    for (ScriptValue* v = values; v; v = v->next) g_lines.back() += std::string(v->text) + (v->next ? "|" : "");
    return 0;
}

const ScriptKeyword TestKeywords[] = {{"KEY", 1, 1}, {"TWO", 2, 2}, {"ALL", 4, ScriptAllValues}, {nullptr, 0, 0}};

// Tables left open go with the runtime.
class ScriptTables : public ExecRuntime {
protected:
    void SetUp() override { ASSERT_TRUE(Start()); }
    static ScriptTable* Table(const std::string& text) { return OpenScriptText("test", text.data(), text.size()); }
    static bool WriteSettings(ScriptTable* table, int flags)
    {
        BeginSection(table, "Settings");
        AddNumberLine(table, 0, flags);
        return WriteSection(table);
    }
    // Rewrites section Settings of config.ini with FLAGS=3 and returns the file.
    std::string RewriteSettings(const std::string& before)
    {
        dir.Write("config.ini", before);
        ScriptTable* table = OpenScriptFileForWriting("config.ini");
        EXPECT_TRUE(WriteSettings(table, 3));
        RemoveResource(table);
        return dir.Read("config.ini");
    }
};

} // namespace

TEST_F(ScriptTables, SectionLinesRead)
{
    const struct { std::string text; Lines lines; const char* section = "S"; } cases[] = {
        {"[gameprofiles]\r\nKEY=1\r\n", {"1:1"}, "GameProfiles"},
        {"[S]\r\ntwo=a,b\r\n", {"2:a|b"}},
        {"[S]\r\nALL=a,,b\r\n", {"4:a|b"}},
        {"[S]\r\nALL=a,\"\",b\r\n", {"4:a||b"}},
        {"[S]\r\nALL=Hello World\r\n", {"4:Hello|World"}},
        {"[S]\r\nALL=\"Hello World\"\r\n", {"4:Hello World"}},
        {"[S]\r\nTWO=a,b", {"2:a"}}, // a last line without a line end loses its last value
        {"[S]\r\nKEY=7", {"1:"}},
        {"[S]\r\nKEY=abc//note, more\r\nTWO=x,y\r\n", {"1:abc", "2:x|y"}},
        {"[S]\r\nKEY=abc // note\r\n", {"1:abc"}},
        {"[S]\r\n/* old\r\nKEY=0 */KEY=5\r\n", {"1:5"}},
        {"[S]\r\nTWO=a\r\nKEY=1\r\nKEY=2\r\n", {"1:2"}}, // a short line takes the next keyword and loses the next line
        {"[S]\r\nKEY=1,2\r\nKEY=3\r\n", {"1:3"}},
        {"[S]\r\nOTHER=1,2,3\r\nKEY=4\r\n", {"1:4"}},
        {"[S]\r\nKEY=1\r\n[T]\r\nKEY=2\r\n", {"1:1"}},
        {"[T]\r\nKEY=2\r\n[S]\r\nKEY=1\r\n", {"1:1"}},
        {"[T]\r\nKEY=2\r\n", {}},
        {"[S\r\nKEY=2\r\n", {}},
        {"", {}},
        {"KEY=1\r\n", {"1:1"}, nullptr},
        {"[S]\r\nALL=Rally(2004)\r\nKEY=1\r\n", {"4:Rally|2004", "1:1"}},
        {std::string("[S]\r\nKEY=1\r\n\0KEY=2\r\n", 20), {"1:1"}},
        {"[S]\r\nKEY=1\r\n\x1aKEY=2\r\n", {"1:1"}},
    };
    for (const auto& c : cases) {
        g_lines.clear();
        ParseSection(Table(c.text), c.section, TestKeywords, Collect);
        EXPECT_EQ(g_lines, c.lines) << testing::PrintToString(c.text);
    }
}

TEST_F(ScriptTables, TokensRead)
{
    const std::pair<std::string, Lines> cases[] = {
        {"abc\"d e\"\r\n", {"abcd e"}},
        {"'it\\'s here' x\r\n", {"it's here", "x"}},
        {"a \"open to the end", {"a", "open to the end"}},
        {std::string(70000, 'x') + " y\r\n", {std::string(65535, 'x'), "y"}}, // cut at the workspace
    };
    for (const auto& [text, expected] : cases) {
        ScriptTable* table = Table(text);
        Lines tokens;
        for (ReadToken(table); !(table->status & ScriptAtEnd); ReadToken(table)) tokens.emplace_back(table->token);
        EXPECT_EQ(tokens, expected) << text.substr(0, 40);
    }
    // With the pool spent, a token is kept in the buffer of the one before, whole if it fits, else cut.
    ScriptTable* table = Table("abcdef ghijkl mnopqrs\r\n");
    ReadToken(table);
    std::vector<void*> held;
    for (const std::size_t size : {4096u, 1u})
        while (void* p = AllocMem(MemMainRam, size)) held.push_back(p);
    for (const char* token : {"ghijkl", "mnopqr"}) EXPECT_STREQ((ReadToken(table), table->token), token);
    for (void* p : held) FreeMem(p);
}

// The table's text follows the file, so a second section keeps the first.
TEST_F(ScriptTables, NewFileHoldsTheSectionsWithQuotedValuesThatReadBack)
{
    ScriptTable* table = OpenScriptFileForWriting("p.ini");
    ASSERT_NE(table, nullptr);
    EXPECT_TRUE(std::filesystem::exists(dir.path() / "p.ini")) << "the file is made empty at once";
    BeginSection(table, "P");
    ScriptLine* line = AddLine(table, TestKeywords, 4);
    for (const char* value : {"it's", "two words", "", static_cast<const char*>(nullptr), "a,b|c", "Rally(2004)"}) AddValue(line, value);
    AddNumber(line, -1);
    AddNumberLine(table, 7, 12);
    ASSERT_TRUE(WriteSection(table));
    const std::string p = "[P]\r\nALL=\"it's\",\"two words\",\"\",\"\",a,b|c,Rally(2004),-1\r\nGAME_PROFILE_ID=12\r\n\r\n";
    EXPECT_EQ(dir.Read("p.ini"), p);
    g_lines.clear();
    ParseSection(table, "P", TestKeywords, Collect);
    EXPECT_EQ(g_lines, Lines{"4:it's|two words|||a|b|c|Rally|2004|-1"});
    ASSERT_TRUE(WriteSettings(table, 3));
    EXPECT_EQ(dir.Read("p.ini"), p + "[Settings]\r\nFLAGS=3\r\n\r\n");
    RemoveResource(table);
}

// Every byte outside the section stays; a second rewrite changes nothing.
// A folder that takes no new file beside it gets the file rewritten in place.
TEST_F(ScriptTables, SectionIsRewrittenInPlaceOrAppended)
{
    const std::string notes = "// my notes\r\n[A]\r\nX = 1 , 2\r\n\r\n", tail = "[B]\r\n\tY=\"q r\"\r\nZ\r\n",
                      section = "[Settings]\r\nFLAGS=3\r\n\r\n", appended = "[A]\r\nX=1\r\n" + section;
    const std::pair<std::string, std::string> cases[] = {
        {"[settings]\r\nFLAGS=1\r\n\r\n", section}, // spelled as the caller gives it
        {notes + "[Settings]\r\nFLAGS=1\r\nOLD=2\r\n// kept? no\r\n\r\n" + tail, notes + section + tail},
        {"[Settings]\r\nNAME=Rally[2]\r\n\r\n[B]\r\nY=1\r\n", section + "[B]\r\nY=1\r\n"},
        {"[A]\r\nX=1\r\n", appended},
        {"[A]\r\nX=1", appended},
        {"[A]\r\nX=1\r", appended},
        {"", section},
        {std::string("[A]\r\nX=1\r\n\0junk", 15), appended + std::string("\0junk", 5)},
        {"[A]\r\nX=1\r\n\x1ajunk", appended + "\x1ajunk"},
    };
    for (bool blocked : {false, true}) {
        if (blocked) std::filesystem::create_directories(dir.path() / "config.ini.new");
        for (const auto& [before, after] : cases) {
            SCOPED_TRACE(testing::PrintToString(before));
            EXPECT_EQ(RewriteSettings(before), after);
            EXPECT_EQ(RewriteSettings(after), after);
        }
    }
}

TEST_F(ScriptTables, MissingFolderIsMadeAndAnUnwritableFileKeepsTheTable)
{
    const std::string path = dir.WithSeparator() + "sub/config.ini";
    ScriptTable* table = OpenScriptFileForWriting(path.c_str());
    EXPECT_TRUE(LogHas("XR_CreateFile: Could not create file " + path));
    ASSERT_TRUE(WriteSettings(table, 1));
    EXPECT_EQ(dir.Read("sub/config.ini"), "[Settings]\r\nFLAGS=1\r\n\r\n");
    std::filesystem::remove(path); // its place and the one beside it taken by folders: nothing can be written
    for (const std::string& folder : {path, path + ".new"}) std::filesystem::create_directories(folder);
    EXPECT_FALSE(WriteSettings(table, 3));
    EXPECT_EQ(std::string(table->start, table->end), "[Settings]\r\nFLAGS=1\r\n\r\n");
    RemoveResource(table);
}

TEST(ValueToInt, DecimalFromTheRightHexadecimalWithPrefixOrWhenNotNumeric)
{
    const std::pair<const char*, int32_t> cases[] = {
        {"123", 123}, {"-42", -42}, {"+5", 5}, {"1.5", 5}, {"", 0}, {"12345678901", 0}, {"2147483647", 2147483647},
        {"-7" + 1, 7}, // nothing before the text is read
        {"0x1F", 31}, {"0XfF", 255}, {"FF", 255}, {"zz", 0}, {"1Az", 26}, {"0xFFFFFFFF", -1}};
    for (const auto& [text, value] : cases) EXPECT_EQ(ValueToInt(text), value) << text;
}
