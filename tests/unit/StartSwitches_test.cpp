#include "core/StartSwitches.h"

#include <gtest/gtest.h>

namespace {

StartSwitches Parse(std::vector<std::string> words)
{
    words.insert(words.begin(), "Vantor.exe");
    return ParseStartSwitches(words);
}

} // namespace

TEST(StartSwitches, NoxinputInAnyCaseAfterSlashOrDash)
{
    for (const char* word : {"-NoXInput", "/noxinput", "/NOXINPUT", "-noxinput"}) {
        const StartSwitches s = Parse({word});
        EXPECT_TRUE(s.noxinput) << word;
        EXPECT_FALSE(s.dev) << word;
    }
}

TEST(StartSwitches, DevInAnyCase)
{
    EXPECT_TRUE(Parse({"-DEV"}).dev);
    EXPECT_TRUE(Parse({"/dev"}).dev);
    EXPECT_TRUE(Parse({"/Dev"}).dev);
}

TEST(StartSwitches, WordsThatAreNotExactlyASwitchSetNothing)
{
    for (const char* word : {"/noxinput2", "/devx", "noxinput", "dev", "/", "-", "", "--dev", "/no xinput"}) {
        const StartSwitches s = Parse({word});
        EXPECT_FALSE(s.noxinput) << word;
        EXPECT_FALSE(s.dev) << word;
    }
}

TEST(StartSwitches, BothSwitchesTogetherAndProgramNameIgnored)
{
    const StartSwitches both = Parse({"/dev", "junk", "-noxinput"});
    EXPECT_TRUE(both.dev);
    EXPECT_TRUE(both.noxinput);
    // The program name is never a switch, even when it looks like one.
    EXPECT_FALSE(ParseStartSwitches({"/dev"}).dev);
}
