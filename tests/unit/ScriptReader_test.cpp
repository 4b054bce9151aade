#include "exec/ScriptKeywords.h"
#include "exec/ScriptTable.h"

#include "ExecRuntime.h"

#include <string>
#include <vector>

namespace {

// Every delivered line as "ID:value|value".
std::vector<std::string> g_lines;

int Collect(uint16_t id, ScriptValue* values)
{
    std::string line = std::to_string(id) + ":";
    for (ScriptValue* v = values; v; v = v->next) line += std::string(v->text) + (v->next ? "|" : "");
    g_lines.push_back(line);
    return 0;
}

const ScriptKeyword TestKeywords[] = {
    {"KEY", 1, 1}, {"TWO", 2, 2}, {"THREE", 3, 3}, {"ALL", 4, ScriptAllValues}, {nullptr, 0, 0}};

class ScriptReader : public ExecRuntime {
protected:
    void SetUp() override { ASSERT_TRUE(Start()); }
    void TearDown() override
    {
        for (ScriptTable* t : open_) RemoveResource(t);
    }

    ScriptTable* Table(const std::string& text)
    {
        ScriptTable* table = OpenScriptText("test", text.data(), text.size());
        open_.push_back(table);
        return table;
    }
    std::vector<std::string> Parse(const std::string& text, const char* section = "S",
                                   const ScriptKeyword* keywords = TestKeywords)
    {
        g_lines.clear();
        ParseSection(Table(text), section, keywords, Collect);
        return g_lines;
    }
    std::vector<std::string> Tokens(const std::string& text)
    {
        ScriptTable* table = Table(text);
        std::vector<std::string> tokens;
        for (ReadToken(table); !(table->status & ScriptAtEnd); ReadToken(table)) tokens.emplace_back(table->token);
        return tokens;
    }

private:
    std::vector<ScriptTable*> open_;
};

using Lines = std::vector<std::string>;

} // namespace

TEST_F(ScriptReader, HeaderIsFoundWithoutRegardToCase)
{
    EXPECT_EQ(Parse("[gameprofiles]\r\nKEY=1\r\n", "GameProfiles"), Lines{"1:1"});
}

TEST_F(ScriptReader, KeywordIsUpperCasedAndCommasSeparateValues)
{
    EXPECT_EQ(Parse("[S]\r\nprofile=a,b\r\n", "S", ProfileKeywords), Lines{"0:a|b"});
}

TEST_F(ScriptReader, EmptyFieldBetweenCommasIsNoValueButTwoQuotesAre)
{
    EXPECT_EQ(Parse("[S]\r\nALL=a,,b\r\n"), Lines{"4:a|b"});
    EXPECT_EQ(Parse("[S]\r\nALL=a,\"\",b\r\n"), Lines{"4:a||b"});
}

TEST_F(ScriptReader, BlankSplitsUnlessQuoted)
{
    EXPECT_EQ(Parse("[S]\r\nALL=Hello World\r\n"), Lines{"4:Hello|World"});
    EXPECT_EQ(Parse("[S]\r\nALL=\"Hello World\"\r\n"), Lines{"4:Hello World"});
}

TEST_F(ScriptReader, QuotesJoinUnquotedCharactersIntoOneToken)
{
    EXPECT_EQ(Tokens("abc\"d e\"\r\n"), std::vector<std::string>{"abcd e"});
}

TEST_F(ScriptReader, ApostropheQuotingTakesBackslashedCharactersLiterally)
{
    EXPECT_EQ(Tokens("'it\\'s here' x\r\n"), (std::vector<std::string>{"it's here", "x"}));
}

TEST_F(ScriptReader, FinalLineWithoutLineEndLosesItsLastValue)
{
    EXPECT_EQ(Parse("[S]\r\nTWO=a,b"), Lines{"2:a"});
    EXPECT_EQ(Parse("[S]\r\nKEY=7"), Lines{"1:"});
}

TEST_F(ScriptReader, LineCommentEndsTheValue)
{
    EXPECT_EQ(Parse("[S]\r\nKEY=abc//note, more\r\nTWO=x,y\r\n"), (Lines{"1:abc", "2:x|y"}));
}

TEST_F(ScriptReader, CommentAfterBlankStillClosesTheLine)
{
    EXPECT_EQ(Parse("[S]\r\nKEY=abc // note\r\n"), Lines{"1:abc"});
}

TEST_F(ScriptReader, BlockCommentIsSkipped)
{
    EXPECT_EQ(Parse("[S]\r\n/* old\r\nKEY=0 */KEY=5\r\n"), Lines{"1:5"});
}

TEST_F(ScriptReader, ShortLineTakesTheNextKeywordAndLosesTheNextLine)
{
    EXPECT_EQ(Parse("[S]\r\nTWO=a\r\nKEY=1\r\nKEY=2\r\n"), Lines{"1:2"});
}

TEST_F(ScriptReader, LineWithTooManyValuesIsSkipped)
{
    EXPECT_EQ(Parse("[S]\r\nKEY=1,2\r\nKEY=3\r\n"), Lines{"1:3"});
}

TEST_F(ScriptReader, UnknownKeywordsAreSkippedToTheLineEnd)
{
    EXPECT_EQ(Parse("[S]\r\nOTHER=1,2,3\r\nKEY=4\r\n"), Lines{"1:4"});
}

TEST_F(ScriptReader, SectionEndsAtTheNextHeader)
{
    EXPECT_EQ(Parse("[S]\r\nKEY=1\r\n[T]\r\nKEY=2\r\n"), Lines{"1:1"});
    EXPECT_EQ(Parse("[T]\r\nKEY=2\r\n[S]\r\nKEY=1\r\n"), Lines{"1:1"});
}

TEST_F(ScriptReader, MissingSectionDeliversNothing)
{
    EXPECT_TRUE(Parse("[T]\r\nKEY=2\r\n").empty());
    EXPECT_TRUE(Parse("[S\r\nKEY=2\r\n").empty());
    EXPECT_TRUE(Parse("").empty());
}

TEST_F(ScriptReader, WholeTextWithoutSectionName)
{
    EXPECT_EQ(Parse("KEY=1\r\n", nullptr), Lines{"1:1"});
}

TEST_F(ScriptReader, ParenthesesSeparateTokens)
{
    EXPECT_EQ(Parse("[S]\r\nALL=Rally(2004)\r\nKEY=1\r\n"), (Lines{"4:Rally|2004", "1:1"}));
}

TEST_F(ScriptReader, UnclosedQuoteEndsAtTheBufferEnd)
{
    EXPECT_EQ(Tokens("a \"open to the end"), (std::vector<std::string>{"a", "open to the end"}));
}

TEST_F(ScriptReader, ZeroByteAndCtrlZEndTheText)
{
    EXPECT_EQ(Parse(std::string("[S]\r\nKEY=1\r\n\0KEY=2\r\n", 20)), Lines{"1:1"});
    EXPECT_EQ(Parse("[S]\r\nKEY=1\r\n\x1aKEY=2\r\n"), Lines{"1:1"});
}

TEST_F(ScriptReader, OverlongTokenIsCutAtTheWorkspace)
{
    const std::string big(70000, 'x');
    const std::vector<std::string> tokens = Tokens(big + " y\r\n");
    ASSERT_EQ(tokens.size(), 2u);
    EXPECT_EQ(tokens[0].size(), 65535u);
    EXPECT_EQ(tokens[1], "y");
}

TEST_F(ScriptReader, ValuesCarryTheTableUserWords)
{
    ScriptTable* table = Table("[S]\r\nKEY=1\r\n");
    table->user[0] = 11;
    table->user[1] = 22;
    static uintptr_t seen[2];
    ParseSection(table, "S", TestKeywords, [](uint16_t, ScriptValue* v) {
        seen[0] = v->user[0];
        seen[1] = v->user[1];
        return 0;
    });
    EXPECT_EQ(seen[0], 11u);
    EXPECT_EQ(seen[1], 22u);
}

TEST_F(ScriptReader, MissingValuesReadAsMissingParameterAndZero)
{
    ScriptValue* none = nullptr;
    EXPECT_STREQ(NextValueText(&none), "Missing parameter");
    EXPECT_EQ(NextValueAsInt(&none), 0);
}

TEST(ValueToInt, DecimalReadFromTheRight)
{
    EXPECT_EQ(ValueToInt("123"), 123);
    EXPECT_EQ(ValueToInt("-42"), -42);
    EXPECT_EQ(ValueToInt("+5"), 5);
    EXPECT_EQ(ValueToInt("1.5"), 5);
    EXPECT_EQ(ValueToInt(""), 0);
    EXPECT_EQ(ValueToInt("12345678901"), 0);
    EXPECT_EQ(ValueToInt("2147483647"), 2147483647);
}

TEST(ValueToInt, HexadecimalWithPrefixOrWhenNotNumeric)
{
    EXPECT_EQ(ValueToInt("0x1F"), 31);
    EXPECT_EQ(ValueToInt("0XfF"), 255);
    EXPECT_EQ(ValueToInt("FF"), 255);
    EXPECT_EQ(ValueToInt("zz"), 0);
    EXPECT_EQ(ValueToInt("1Az"), 26);
    EXPECT_EQ(ValueToInt("0xFFFFFFFF"), -1);
}
