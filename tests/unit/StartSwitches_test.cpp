#include "core/StartSwitches.h"
#include <gtest/gtest.h>

TEST(StartSwitches, SlashOrDashAndTheWordInAnyCaseWithNothingAfterIt)
{
    const struct { std::vector<std::string> words; bool noxinput, dev; } cases[] = {
        {{"-NoXInput"}, true, false}, {{"/noxinput"}, true, false}, {{"-DEV"}, false, true}, {{"/Dev"}, false, true},
        {{"/dev", "junk", "-noxinput"}, true, true},
        {{"/noxinput2", "/devx", "noxinput", "dev", "/", "-", "", "--dev", "/no xinput"}, false, false}};
    for (const auto& c : cases) {
        std::vector<std::string> line = c.words;
        line.insert(line.begin(), "Vantor.exe");
        const StartSwitches s = ParseStartSwitches(line);
        EXPECT_EQ(std::pair(s.noxinput, s.dev), std::pair(c.noxinput, c.dev)) << c.words[0];
    }
    EXPECT_FALSE(ParseStartSwitches({"/dev"}).dev) << "the program name is never a switch";
}
