#include "exec/ScriptKeywords.h"
#include "exec/ScriptTable.h"

#include "ExecRuntime.h"

#include <filesystem>
#include <string>

namespace {

const ScriptKeyword TestKeywords[] = {{"NAME", 1, 1}, {"ALL", 4, ScriptAllValues}, {nullptr, 0, 0}};

class ScriptWriter : public ExecRuntime {
protected:
    void SetUp() override { ASSERT_TRUE(Start()); }

    ScriptTable* Open(const char* name)
    {
        if (!GenericOpen(ScriptFormat(), name, 0, OpenTestFile))
            return static_cast<ScriptTable*>(GenericOpen(ScriptFormat(), name, 0x240, OpenCreate));
        return static_cast<ScriptTable*>(GenericOpen(ScriptFormat(), name, ModeKeepKey, OpenLoad));
    }

    // Rewrites section Settings of config.ini with FLAGS=3 and returns the file.
    std::string RewriteSettings(const std::string& before)
    {
        dir.Write("config.ini", before);
        ScriptTable* table = Open("config.ini");
        EXPECT_NE(table, nullptr);
        BeginSection(table, "Settings");
        AddNumberLine(table, 0, 3);
        EXPECT_TRUE(WriteSection(table));
        RemoveResource(table);
        return dir.Read("config.ini");
    }
};

} // namespace

TEST_F(ScriptWriter, NewFileHoldsTheSectionWithAnEmptyLineAfterIt)
{
    ScriptTable* table = Open("config.ini");
    ASSERT_NE(table, nullptr);
    EXPECT_TRUE(std::filesystem::exists(dir.path() / "config.ini"));
    EXPECT_EQ(dir.Read("config.ini"), "");
    BeginSection(table, "Settings");
    AddNumberLine(table, 0, 3);
    ASSERT_TRUE(WriteSection(table));
    EXPECT_EQ(dir.Read("config.ini"), "[Settings]\r\nFLAGS=3\r\n\r\n");
    RemoveResource(table);
}

TEST_F(ScriptWriter, ValuesAreSeparatedByCommasAndNumbersAreDecimal)
{
    ScriptTable* table = Open("config.ini");
    BeginSection(table, "Config");
    ScriptLine* line = AddLine(table, AppSettingsKeywords, 6);
    AddNumber(line, -1);
    AddNumber(line, 0);
    AddValue(line, "x");
    AddNumberLine(table, 7, 12);
    ASSERT_TRUE(WriteSection(table));
    EXPECT_EQ(dir.Read("config.ini"), "[Config]\r\nUSED_DEVICE_GUID=-1,0,x\r\nGAME_PROFILE_ID=12\r\n\r\n");
    RemoveResource(table);
}

TEST_F(ScriptWriter, QuotingRuleAndReadBack)
{
    ScriptTable* table = Open("p.ini");
    BeginSection(table, "P");
    ScriptLine* line = AddLine(table, TestKeywords, 4);
    AddValue(line, "it's");
    AddValue(line, "two words");
    AddValue(line, "");
    AddValue(line, nullptr);
    AddValue(line, "a,b|c");
    AddValue(line, "Rally(2004)");
    ASSERT_TRUE(WriteSection(table));
    EXPECT_EQ(dir.Read("p.ini"), "[P]\r\nALL=\"it's\",\"two words\",\"\",\"\",a,b|c,Rally(2004)\r\n\r\n");

    static std::string read;
    read.clear();
    ParseSection(table, "P", TestKeywords, [](uint16_t, ScriptValue* v) {
        for (; v; v = v->next) read += std::string("<") + v->text + ">";
        return 0;
    });
    EXPECT_EQ(read, "<it's><two words><><><a><b><c><Rally><2004>");
    RemoveResource(table);
}

TEST_F(ScriptWriter, HeaderIsSpelledAsTheCallerGivesIt)
{
    EXPECT_EQ(RewriteSettings("[settings]\r\nFLAGS=1\r\n\r\n"), "[Settings]\r\nFLAGS=3\r\n\r\n");
}

TEST_F(ScriptWriter, BytesOutsideTheSectionAreUnchanged)
{
    const std::string head = "// my notes\r\n[A]\r\nX = 1 , 2\r\n\r\n";
    const std::string tail = "[B]\r\n\tY=\"q r\"\r\nZ\r\n";
    EXPECT_EQ(RewriteSettings(head + "[Settings]\r\nFLAGS=1\r\nOLD=2\r\n// kept? no\r\n\r\n" + tail),
              head + "[Settings]\r\nFLAGS=3\r\n\r\n" + tail);
}

TEST_F(ScriptWriter, MissingSectionIsAppendedAtTheEnd)
{
    EXPECT_EQ(RewriteSettings("[A]\r\nX=1\r\n"), "[A]\r\nX=1\r\n[Settings]\r\nFLAGS=3\r\n\r\n");
}

TEST_F(ScriptWriter, AppendedSectionStartsOnItsOwnLine)
{
    EXPECT_EQ(RewriteSettings("[A]\r\nX=1"), "[A]\r\nX=1\r\n[Settings]\r\nFLAGS=3\r\n\r\n");
}

TEST_F(ScriptWriter, BracketInsideAValueDoesNotEndTheSection)
{
    EXPECT_EQ(RewriteSettings("[Settings]\r\nNAME=Rally[2]\r\n\r\n[B]\r\nY=1\r\n"),
              "[Settings]\r\nFLAGS=3\r\n\r\n[B]\r\nY=1\r\n");
}

TEST_F(ScriptWriter, RewritingTwiceGivesTheSameBytes)
{
    const std::string once = RewriteSettings("[A]\r\nX=1\r\n[Settings]\r\nFLAGS=1\r\n\r\n[B]\r\n");
    EXPECT_EQ(RewriteSettings(once), once);
}

TEST_F(ScriptWriter, TableTextFollowsTheWrittenFile)
{
    dir.Write("config.ini", "[A]\r\nX=1\r\n");
    ScriptTable* table = Open("config.ini");
    BeginSection(table, "Settings");
    AddNumberLine(table, 0, 3);
    ASSERT_TRUE(WriteSection(table));
    BeginSection(table, "Other");
    AddNumberLine(table, 1, 4);
    ASSERT_TRUE(WriteSection(table));
    EXPECT_EQ(dir.Read("config.ini"), "[A]\r\nX=1\r\n[Settings]\r\nFLAGS=3\r\n\r\n[Other]\r\nWINDOW_DURATION=4\r\n\r\n");
    RemoveResource(table);
}

TEST_F(ScriptWriter, MissingDirectoryIsCreated)
{
    const std::string path = dir.WithSeparator() + "sub/deeper/config.ini";
    auto* table = static_cast<ScriptTable*>(GenericOpen(ScriptFormat(), path.c_str(), 0x240, OpenCreate));
    ASSERT_NE(table, nullptr);
    EXPECT_TRUE(LogHas("XR_CreateFile: Could not create file " + path));
    BeginSection(table, "S");
    AddNumberLine(table, 0, 1);
    ASSERT_TRUE(WriteSection(table));
    EXPECT_EQ(dir.Read("sub/deeper/config.ini"), "[S]\r\nFLAGS=1\r\n\r\n");
    RemoveResource(table);
}

TEST_F(ScriptWriter, AppendedSectionAfterALoneCarriageReturnGetsOnlyTheLineFeed)
{
    EXPECT_EQ(RewriteSettings("[A]\r\nX=1\r"), "[A]\r\nX=1\r\n[Settings]\r\nFLAGS=3\r\n\r\n");
}

TEST_F(ScriptWriter, SectionGoesBeforeAZeroOrCtrlZTailWhereTheReaderFindsIt)
{
    for (const char end : {'\0', '\x1a'}) {
        const std::string tail = std::string(1, end) + "junk";
        const std::string file = RewriteSettings("[A]\r\nX=1\r\n" + tail);
        EXPECT_EQ(file, "[A]\r\nX=1\r\n[Settings]\r\nFLAGS=3\r\n\r\n" + tail);
        // Saved again, the section is found and rewritten, not added twice.
        EXPECT_EQ(RewriteSettings(file), file);
    }
}

TEST_F(ScriptWriter, FolderThatTakesNoNewFileStillGetsTheFileRewritten)
{
    // Nothing can be made beside the file, so it is rewritten where it is.
    std::filesystem::create_directories(dir.path() / "config.ini.new");
    EXPECT_EQ(RewriteSettings("[A]\r\nX=1\r\n"), "[A]\r\nX=1\r\n[Settings]\r\nFLAGS=3\r\n\r\n");
}

TEST_F(ScriptWriter, UnwritableFileReturnsFalseAndKeepsTheTable)
{
    std::filesystem::create_directories(dir.path() / "config.ini.new");
    dir.Write("config.ini", "[A]\r\nX=1\r\n");
    ScriptTable* table = Open("config.ini");
    // The file's place is taken by something that cannot be written as a file.
    std::filesystem::remove(dir.path() / "config.ini");
    std::filesystem::create_directories(dir.path() / "config.ini");
    BeginSection(table, "Settings");
    AddNumberLine(table, 0, 3);
    EXPECT_FALSE(WriteSection(table));
    EXPECT_TRUE(std::filesystem::is_directory(dir.path() / "config.ini"));
    EXPECT_EQ(std::string(table->start, table->end), "[A]\r\nX=1\r\n");
    RemoveResource(table);
}
