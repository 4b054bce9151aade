// Files keep what they hold: a rewritten section ends where the reader ends
// it, a file that cannot be read or written is left as it is and its caller
// hears of it, tables of different files keep their own text, and names
// that do not fit are refused rather than cut.

#include "ExecRuntime.h"
#include "FakeClock.h"

#include "core/AppContext.h"
#include "exec/Resource.h"
#include "exec/ScriptTable.h"
#include "profiles/ProfileFile.h"
#include "profiles/SettingsFile.h"

#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const ScriptKeyword Keys[] = {{"A", 0, ScriptAllValues}, {"B", 1, 2}, {nullptr, 0, 0}};

// Every line the reader delivers, as "id:value,value,;".
std::string g_read;
int Record(uint16_t id, ScriptValue* values)
{
    g_read += std::to_string(id) + ":";
    for (ScriptValue* v = values; v; v = v->next) g_read += std::string(v->text) + ",";
    g_read += ";";
    return 0;
}

class FilesKept : public ExecRuntime {
protected:
    void SetUp() override { ASSERT_TRUE(Start()); }

    static ScriptTable* Load(const std::string& name)
    {
        return static_cast<ScriptTable*>(GenericOpen(ScriptFormat(), name.c_str(), ModeKeepKey, OpenLoad));
    }
    static std::string Text(const ScriptTable* table) { return std::string(table->start, table->end); }
    static std::string Parse(const std::string& file, const std::string& section)
    {
        g_read.clear();
        if (ScriptTable* table = Load(file)) {
            ParseSection(table, section.c_str(), Keys, Record);
            RemoveResource(table);
        }
        return g_read;
    }
    // Rewrites the section with the one line A=new.
    static bool Rewrite(ScriptTable* table, const std::string& section)
    {
        BeginSection(table, section.c_str());
        AddValue(AddLine(table, Keys, 0), "new");
        return WriteSection(table);
    }
    static bool Rewrite(const std::string& file, const std::string& section)
    {
        ScriptTable* table = Load(file);
        const bool written = table && Rewrite(table, section);
        if (table) RemoveResource(table);
        return written;
    }
};

} // namespace

TEST_F(FilesKept, SectionEndsWhereTheReaderEndsItInEveryLineEndStyle)
{
    const struct {
        const char* before;
        const char* after;
    } cases[] = {
        {"[S]\rA=1\r[T]\rA=2\r", "[S]\r\nA=new\r\n\r\n[T]\rA=2\r"},
        {"[S]\n\rA=1\n\r[T]\n\rA=2\n\r", "[S]\r\nA=new\r\n\r\n[T]\n\rA=2\n\r"},
        {"[S]\nA=1\n  [T]\nA=2\n", "[S]\r\nA=new\r\n\r\n  [T]\nA=2\n"},
        {"[S]\r\nA=1\r\n/* note */[T]\r\nA=2\r\n", "[S]\r\nA=new\r\n\r\n[T]\r\nA=2\r\n"},
        {"[S]\r\nA=1 [T]\r\nA=2\r\n", "[S]\r\nA=new\r\n\r\n[T]\r\nA=2\r\n"},
        {"[S]=[T]\r\nA=2\r\n", "[S]\r\nA=new\r\n\r\n[T]\r\nA=2\r\n"},
        // A '[' that begins or sits inside a value, or a comment, is no header.
        {"[S]\r\nA=[x],y[2]\r\nA=1 // [c]\r\nA=/*[c]*/3\r\n\r\n[T]\r\n", "[S]\r\nA=new\r\n\r\n[T]\r\n"},
        // A section added after a '[' that is never closed is found again.
        {"[x\r\nA=1\r\n", "[x\r\nA=1\r\n[S]\r\nA=new\r\n\r\n"},
    };
    for (const auto& c : cases) {
        dir.Write("f.ini", c.before);
        EXPECT_TRUE(Rewrite("f.ini", "S"));
        EXPECT_TRUE(Rewrite("f.ini", "S")); // saved again, the same bytes
        EXPECT_EQ(dir.Read("f.ini"), c.after) << c.before;
    }
    // A line comment ends at the end of its line, whatever ends the line.
    dir.Write("f.ini", "[S]\rA=1 // note\rA=2\r");
    EXPECT_EQ(Parse("f.ini", "S"), "0:1,;0:2,;");
}

TEST_F(FilesKept, RewritingOneSectionKeepsEveryOtherSectionOfRandomFiles)
{
    const char* const lineEnds[] = {"\r\n", "\n", "\r", "\n\r"};
    const char* const values[] = {"1", "[v]", "x[2]", "\"q r\"", "'a\\'b'"};
    std::mt19937 random(20240611);
    auto pick = [&](unsigned n) { return static_cast<unsigned>(random() % n); };
    for (int round = 0; round < 160; ++round) {
        const std::string end = lineEnds[round % 4];
        std::string text = pick(2) ? "// head [x]" + end : "";
        std::vector<std::size_t> headers, starts;
        const unsigned sections = 1 + pick(4);
        for (unsigned s = 0; s < sections; ++s) {
            // A comment before a header goes with the section before it,
            // blanks that indent it stay with it.
            const unsigned lead = pick(3);
            if (lead == 1) text += "/* c */";
            starts.push_back(text.size());
            if (lead == 2) text += "  ";
            headers.push_back(text.size());
            text += "[S" + std::to_string(s) + "]" + (pick(4) ? "" : " // h") + end;
            for (unsigned lines = pick(4); lines > 0; --lines) {
                const bool all = pick(2);
                text += all ? "A=" : "B=";
                for (unsigned v = all ? 1 + pick(3) : 2; v > 0; --v)
                    text += std::string(values[pick(5)]) + (v > 1 ? "," : "");
                text += (pick(3) ? "" : " // note [x]") + end + (pick(4) ? "" : end);
            }
        }
        starts.push_back(text.size());
        dir.Write("r.ini", text);
        std::vector<std::string> before;
        for (unsigned s = 0; s < sections; ++s) before.push_back(Parse("r.ini", "S" + std::to_string(s)));

        const unsigned k = pick(sections);
        const std::string name = "S" + std::to_string(k);
        ASSERT_TRUE(Rewrite("r.ini", name));
        SCOPED_TRACE("round " + std::to_string(round) + ", rewriting " + name + " of:\n" + text);
        EXPECT_EQ(dir.Read("r.ini"),
                  text.substr(0, headers[k]) + "[" + name + "]\r\nA=new\r\n\r\n" + text.substr(starts[k + 1]));
        for (unsigned s = 0; s < sections; ++s)
            EXPECT_EQ(Parse("r.ini", "S" + std::to_string(s)), s == k ? "0:new,;" : before[s]) << "section " << s;
    }
}

TEST_F(FilesKept, SaveOfAFileThatCannotBeReadIsRefusedAndLeavesIt)
{
    const std::string tooBig(5u << 20, 'x'); // more than the runtime's pool holds
    auto app = std::make_unique<AppContext>();
    const struct {
        const char* file;
        std::function<bool()> save;
        std::string logLine;
    } cases[] = {
        {"config.ini", [&] { return SaveSettings(*app); }, "SaveSettings: could not write config.ini"},
        {"GameProfiles.ini", [&] { return SaveProfiles(*app); }, "GameProfiles: could not write GameProfiles.ini"},
    };
    for (const auto& c : cases) {
        for (const bool directory : {false, true}) {
            SCOPED_TRACE(std::string(c.file) + (directory ? " as a folder" : " too big"));
            if (directory)
                fs::create_directories(dir.path() / c.file / "x");
            else
                dir.Write(c.file, tooBig);
            EXPECT_FALSE(c.save());
            EXPECT_TRUE(directory ? fs::is_directory(dir.path() / c.file)
                                  : fs::file_size(dir.path() / c.file) == tooBig.size());
            EXPECT_TRUE(LogHas(c.logLine));
            EXPECT_NE(Log().find(std::string(c.file) + " exists but could not be read"), std::string::npos);
            fs::remove_all(dir.path() / c.file);
        }
    }
}

TEST_F(FilesKept, RenameIsRetriedThenTheFileIsWrittenInPlaceElseTheWriteFails)
{
    const std::string old = "[A]\r\nX=1\r\n";
    const struct {
        const char* what;
        bool obstacleGoes;
        bool temporaryGoes; // the rename can then never work: only the in-place write can
        bool diskFull;      // the text cannot be written beside the file
        bool written;
    } cases[] = {
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
        EXPECT_EQ(Rewrite(table, "S"), c.written);
        EXPECT_EQ(clock.Sleeps().empty(), c.diskFull);
        EXPECT_LE(clock.Now(), 2000u) << "retries are brief";
        EXPECT_EQ(Text(table), c.written ? old + "[S]\r\nA=new\r\n\r\n" : old);
        ASSERT_EQ(fs::is_directory(dir.path() / "config.ini"), !c.written && !c.diskFull);
        if (!fs::is_directory(dir.path() / "config.ini")) {
            EXPECT_EQ(dir.Read("config.ini"), Text(table));
        }
        EXPECT_FALSE(fs::exists(fs::symlink_status(dir.path() / "config.ini.new")));
        RemoveResource(table);
        fs::remove_all(dir.path() / "config.ini");
    }
}

TEST_F(FilesKept, TablesOfDifferentFilesKeepTheirOwnText)
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
    ASSERT_TRUE(Rewrite(tables[1], "S"));
    EXPECT_EQ(dir.Read("b/config.ini"), "[b/config.ini]\r\n[S]\r\nA=new\r\n\r\n");
    EXPECT_EQ(Text(memory), "[M]\r\n");
    for (ScriptTable* table : tables) RemoveResource(table);
    RemoveResource(memory);
}

TEST_F(FilesKept, OverlongSectionNamesAndPathsAreRefusedAndLogged)
{
    const std::string fits(127, 'n');
    const std::string overlong = fits + "n";
    const std::string file = "[" + fits + "]\r\nA=1\r\n";
    dir.Write("s.ini", file);
    EXPECT_EQ(Parse("s.ini", overlong), "");
    EXPECT_FALSE(Rewrite("s.ini", overlong));
    EXPECT_EQ(dir.Read("s.ini"), file);
    EXPECT_TRUE(LogHas("FindSection: section name longer than 127 characters refused: " + overlong));
    EXPECT_TRUE(LogHas("BeginSection: section name longer than 127 characters refused: " + overlong));
    EXPECT_TRUE(Rewrite("s.ini", fits));
    EXPECT_EQ(dir.Read("s.ini"), "[" + fits + "]\r\nA=new\r\n\r\n");

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
