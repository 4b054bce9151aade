// Script table files: lines and tokens read, sections written back keeping every other byte.
#include "exec/Memory.h"
#include "exec/Resource.h"
#include "exec/ScriptFile.h"

#include "ExecRuntime.h"
#include "FakeClock.h"

#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

// Every delivered line as "ID:value|value".
Lines g_lines;

int Collect(uint16_t id, ScriptValue* values)
{
    g_lines.push_back(std::to_string(id) + ":");
    for (ScriptValue* v = values; v; v = v->next) g_lines.back() += std::string(v->text) + (v->next ? "|" : "");
    return 0;
}

const ScriptKeyword TestKeywords[] = {
    {"KEY", 1, 1}, {"TWO", 2, 2}, {"ALL", 4, ScriptAllValues}, {"FLAGS", 8, 1}, {nullptr, 0, 0}};

// Tables left open go with the runtime.
class ScriptTables : public ExecRuntime {
protected:
    void SetUp() override { ASSERT_TRUE(Start()); }
    static ScriptTable* Table(const std::string& text) { return OpenScriptText("test", text.data(), text.size()); }
    static ScriptTable* Load(const std::string& name)
    {
        return static_cast<ScriptTable*>(GenericOpen(ScriptFormat(), name.c_str(), ModeKeepKey, OpenLoad));
    }
    static std::string Text(const ScriptTable* table) { return std::string(table->start, table->end); }
    static Lines Parse(ScriptTable* table, const char* section)
    {
        g_lines.clear();
        ParseSection(table, section, TestKeywords, Collect);
        return g_lines;
    }
    static Lines Parse(const std::string& file, const std::string& section)
    {
        ScriptTable* table = Load(file);
        const Lines lines = table ? Parse(table, section.c_str()) : Lines{};
        if (table) RemoveResource(table);
        return lines;
    }
    // Writes the section with the one line FLAGS=flags.
    static bool Rewrite(ScriptTable* table, int flags = 3, const std::string& section = "Settings")
    {
        BeginSection(table, section.c_str());
        AddNumberLine(table, 0, flags);
        return WriteSection(table);
    }
    static bool Rewrite(const std::string& file, const std::string& section)
    {
        ScriptTable* table = Load(file);
        const bool written = table && Rewrite(table, 3, section);
        if (table) RemoveResource(table);
        return written;
    }
    // Rewrites section Settings of config.ini with FLAGS=3 and returns the file.
    std::string RewriteSettings(const std::string& before)
    {
        dir.Write("config.ini", before);
        ScriptTable* table = OpenScriptFileForWriting("config.ini");
        EXPECT_TRUE(Rewrite(table));
        RemoveResource(table);
        return dir.Read("config.ini");
    }
};

} // namespace

TEST_F(ScriptTables, SectionLinesRead)
{
    const struct { std::string text; Lines lines; const char* section = "S"; } cases[] = {
        {"[gameprofiles]\r\nKEY=1\r\n", {"1:1"}, "GameProfiles"}, {"[S]\r\ntwo=a,b\r\n", {"2:a|b"}},
        {"[S]\r\nALL=a,,b\r\n", {"4:a|b"}}, {"[S]\r\nALL=a,\"\",b\r\n", {"4:a||b"}},
        {"[S]\r\nALL=Hello World\r\n", {"4:Hello|World"}}, {"[S]\r\nALL=\"Hello World\"\r\n", {"4:Hello World"}},
        {"[S]\r\nTWO=a,b", {"2:a"}}, // a last line without a line end loses its last value
        {"[S]\r\nKEY=7", {"1:"}}, {"[S]\r\nKEY=7 x", {"1:7"}}, // one byte left ends a line
        {"[S]\r\nKEY=abc//note, more\r\nTWO=x,y\r\n", {"1:abc", "2:x|y"}},
        {"[S]\r\nKEY=abc // note\r\n", {"1:abc"}}, {"[S]\r\n/* old\r\nKEY=0 */KEY=5\r\n", {"1:5"}},
        {"[S]\r\nTWO=a\r\nKEY=1\r\nKEY=2\r\n", {"1:2"}}, // a short line takes the next keyword and loses the next line
        {"[S]\r\nKEY=1,2\r\nKEY=3\r\n", {"1:3"}}, {"[S]\r\nOTHER=1,2,3\r\nKEY=4\r\n", {"1:4"}},
        {"[S]\r\nKEY=1\r\n[T]\r\nKEY=2\r\n", {"1:1"}}, {"[T]\r\nKEY=2\r\n[S]\r\nKEY=1\r\n", {"1:1"}},
        {"[T]\r\nKEY=2\r\n", {}}, {"[S\r\nKEY=2\r\n", {}}, {"", {}}, {"KEY=1\r\n", {"1:1"}, nullptr},
        {"[S]\r\nALL=Rally(2004)\r\nKEY=1\r\n", {"4:Rally|2004", "1:1"}},
        {std::string("[S]\r\nKEY=1\r\n\0KEY=2\r\n", 20), {"1:1"}}, {"[S]\r\nKEY=1\r\n\x1aKEY=2\r\n", {"1:1"}},
        {"[S]\rKEY=1 // note\rKEY=2\r", {"1:1", "1:2"}}, // a line comment ends with its line, whatever ends it
    };
    for (const auto& c : cases) EXPECT_EQ(Parse(Table(c.text), c.section), c.lines) << testing::PrintToString(c.text);
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
    EXPECT_TRUE(fs::exists(dir.path() / "p.ini")) << "the file is made empty at once";
    BeginSection(table, "P");
    ScriptLine* line = AddLine(table, TestKeywords, 4);
    for (const char* value : {"it's", "two words", "", static_cast<const char*>(nullptr), "a,b|c", "Rally(2004)"}) AddValue(line, value);
    AddNumber(line, -1);
    AddNumberLine(table, 7, 12);
    ASSERT_TRUE(WriteSection(table));
    const std::string p = "[P]\r\nALL=\"it's\",\"two words\",\"\",\"\",a,b|c,Rally(2004),-1\r\nGAME_PROFILE_ID=12\r\n\r\n";
    EXPECT_EQ(dir.Read("p.ini"), p);
    EXPECT_EQ(Parse(table, "P"), Lines{"4:it's|two words|||a|b|c|Rally|2004|-1"});
    ASSERT_TRUE(Rewrite(table));
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
        // A section ends where the reader ends it, in every line end style.
        {"[Settings]\rA=1\r[T]\rA=2\r", section + "[T]\rA=2\r"},
        {"[Settings]\n\rA=1\n\r[T]\n\rA=2\n\r", section + "[T]\n\rA=2\n\r"},
        {"[Settings]\nA=1\n  [T]\nA=2\n", section + "  [T]\nA=2\n"},
        {"[Settings]\r\nA=1\r\n/* note */[T]\r\n", section + "[T]\r\n"},
        {"[Settings]\r\nA=1 [T]\r\n", section + "[T]\r\n"},
        {"[Settings]=[T]\r\n", section + "[T]\r\n"},
        {"[Settings]\r\n'' \"\"=[T]\r\n", section + "[T]\r\n"}, // empty quotes are no key
        {"[Settings]\rA=1\r'\\[T]'\r", section + "'\\[T]'\r"}, // read as the key [T]
        // A '[' that begins or sits inside a value, or a comment, is no header.
        {"[Settings]\r\nA=[x],y[2]\r\nA=1 // [c]\r\nA=/*[c]*/3\r\n\r\n[T]\r\n", section + "[T]\r\n"},
        // A section added after a '[' that is never closed is found again.
        {"[x\r\nA=1\r\n", "[x\r\nA=1\r\n" + section},
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
        if (blocked) fs::create_directories(dir.path() / "config.ini.new");
        for (const auto& [before, after] : cases) {
            SCOPED_TRACE(testing::PrintToString(before));
            EXPECT_EQ(RewriteSettings(before), after);
            EXPECT_EQ(RewriteSettings(after), after);
        }
    }
}

TEST_F(ScriptTables, MissingFolderIsMade)
{
    const std::string path = dir.WithSeparator() + "sub/config.ini";
    ScriptTable* table = OpenScriptFileForWriting(path.c_str());
    EXPECT_TRUE(LogHas("XR_CreateFile: Could not create file " + path));
    ASSERT_TRUE(Rewrite(table, 1));
    EXPECT_EQ(dir.Read("sub/config.ini"), "[Settings]\r\nFLAGS=1\r\n\r\n");
    RemoveResource(table);
}

TEST_F(ScriptTables, RenameIsRetriedThenTheFileIsWrittenInPlaceElseTheWriteFails)
{
    const std::string old = "[A]\r\nX=1\r\n";
    // When the temporary file goes too, the rename can never work: only the in-place write can. A full disk
    // takes no text beside the file.
    const struct { const char* what; bool obstacleGoes, temporaryGoes, diskFull, written; } cases[] = {
        {"rename works on a retry", true, false, false, true},
        {"written in place", true, true, false, true},
        {"nothing works", false, false, false, false},
        {"disk full: the file is not emptied in place", false, false, true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        dir.Write("config.ini", old);
        ScriptTable* table = Load("config.ini");
        ASSERT_NE(table, nullptr);
        if (c.diskFull) {
            fs::create_symlink("/dev/full", dir.path() / "config.ini.new");
        } else {
            // Something that no file can replace stands in the file's place.
            fs::remove(dir.path() / "config.ini");
            fs::create_directories(dir.path() / "config.ini" / "x");
        }
        FakeClock clock;
        clock.onSleep = [&] {
            if (c.obstacleGoes) fs::remove_all(dir.path() / "config.ini");
            if (c.temporaryGoes) fs::remove(dir.path() / "config.ini.new");
        };
        EXPECT_EQ(Rewrite(table), c.written);
        EXPECT_EQ(clock.Sleeps().empty(), c.diskFull);
        EXPECT_LE(clock.Now(), 2000u) << "retries are brief";
        EXPECT_EQ(Text(table), c.written ? old + "[Settings]\r\nFLAGS=3\r\n\r\n" : old);
        ASSERT_EQ(fs::is_directory(dir.path() / "config.ini"), !c.written && !c.diskFull);
        EXPECT_EQ(fs::is_directory(dir.path() / "config.ini") ? Text(table) : dir.Read("config.ini"), Text(table));
        EXPECT_FALSE(fs::exists(fs::symlink_status(dir.path() / "config.ini.new")));
        RemoveResource(table);
        fs::remove_all(dir.path() / "config.ini");
    }
}

TEST_F(ScriptTables, TablesOfDifferentFilesKeepTheirOwnText)
{
    // Same name in two folders and in the base folder, and a text in memory named like them.
    const std::string files[] = {"a/config.ini", "b/config.ini", "config.ini"};
    for (const std::string& file : files) {
        fs::create_directories((dir.path() / file).parent_path());
        dir.Write(file, "[" + file + "]\r\n");
    }
    ScriptTable* memory = OpenScriptText("config", "[M]\r\n", 5);
    ScriptTable* tables[] = {Load(files[0]), Load(files[1]), Load(files[2])};
    for (int i = 0; i < 3; ++i) EXPECT_EQ(Text(tables[i]), "[" + files[i] + "]\r\n");
    ASSERT_TRUE(Rewrite(tables[1]));
    EXPECT_EQ(dir.Read("b/config.ini"), "[b/config.ini]\r\n[Settings]\r\nFLAGS=3\r\n\r\n");
    EXPECT_EQ(Text(memory), "[M]\r\n");
    for (ScriptTable* table : tables) RemoveResource(table);
    RemoveResource(memory);
}

TEST_F(ScriptTables, OverlongSectionNamesAndPathsAreRefusedAndLogged)
{
    const std::string fits(127, 'n');
    const std::string overlong = fits + "n";
    const std::string file = "[" + fits + "]\r\nA=1\r\n";
    dir.Write("s.ini", file);
    EXPECT_EQ(Parse("s.ini", overlong), Lines{});
    EXPECT_FALSE(Rewrite("s.ini", overlong));
    EXPECT_EQ(dir.Read("s.ini"), file);
    EXPECT_TRUE(LogHas("FindSection: section name longer than 127 characters refused: " + overlong));
    EXPECT_TRUE(LogHas("BeginSection: section name longer than 127 characters refused: " + overlong));
    EXPECT_TRUE(Rewrite("s.ini", fits));
    EXPECT_EQ(dir.Read("s.ini"), "[" + fits + "]\r\nFLAGS=3\r\n\r\n");

    // The first 1023 characters of the overlong path name another file.
    dir.Write("xconfig.ini", "[X]\r\n");
    std::string path;
    while (path.size() < 1012) path += "./";
    path += "xconfig.ini";
    ScriptTable* table = Load(path);
    ASSERT_NE(table, nullptr) << "1023 characters fit";
    RemoveResource(table);
    EXPECT_EQ(Load(path + "x"), nullptr);
    EXPECT_EQ(GenericOpen(ScriptFormat(), (path + "x").c_str(), 0, OpenTestFile), nullptr);
    EXPECT_NE(Log().find("GenericOpen: path longer than 1023 characters refused: ././"), std::string::npos);
}

TEST(ValueToInt, DecimalFromTheRightHexadecimalWithPrefixOrWhenNotNumeric)
{
    const std::pair<const char*, int32_t> cases[] = {
        {"123", 123}, {"-42", -42}, {"+5", 5}, {"1.5", 5}, {"", 0}, {"12345678901", 0}, {"2147483647", 2147483647},
        {"-7" + 1, 7}, // nothing before the text is read
        {"0x1F", 31}, {"0XfF", 255}, {"FF", 255}, {"zz", 0}, {"1Az", 26}, {"0xFFFFFFFF", -1}};
    for (const auto& [text, value] : cases) EXPECT_EQ(ValueToInt(text), value) << text;
}
