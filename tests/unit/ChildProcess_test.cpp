// The outside programs: started without a shell, their arguments handed on
// as they are, their run bounded.
#include "TempDir.h"
#include "platform/ChildProcess.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

using Texts = std::vector<std::string>;

TEST(ChildProcess, WindowsCommandLineHandsEachArgumentOnAsItIs)
{
    const std::pair<Texts, std::string> cases[] = {
        {{"avrdude", "-v", "-PCOM9"}, "avrdude -v -PCOM9"},
        {{"a b", ""}, R"("a b" "")"},
        {{R"(x" -e -lLog.txt "y.hex)"}, R"("x\" -e -lLog.txt \"y.hex")"},
        {{R"(C:\Program Files\Tools\)"}, R"("C:\Program Files\Tools\\")"},
        {{R"(a\\"b)"}, R"("a\\\\\"b")"},
        {{R"(a\b\)", "tab\there"}, "a\\b\\ \"tab\there\""},
    };
    for (const auto& [arguments, line] : cases) EXPECT_EQ(WindowsCommandLine(arguments), line) << line;
}

class ProgramTest : public testing::Test {
protected:
    ProgramTest() : before(std::filesystem::current_path()) { std::filesystem::current_path(dir.path()); }
    ~ProgramTest() override { std::filesystem::current_path(before); }
    // A shell script of that body at that path, made executable.
    std::string Script(const std::string& name, const std::string& body)
    {
        const std::filesystem::path path = dir.path() / name;
        std::filesystem::create_directories(path.parent_path());
        dir.Write(name, "#!/bin/sh\n" + body + "\n");
        chmod(path.c_str(), 0755);
        return path.string();
    }
    TempDir dir;
    std::filesystem::path before;
};

TEST_F(ProgramTest, ListerInAFolderWithAQuoteRunsAsItIsAndNoShellCommand)
{
    const std::string lister = Script("a';touch X;'b/listComPorts", "echo COM5 - x; echo COM9");
    Texts lines;
    ASSERT_TRUE(SystemChildProcesses().ReadOutput(lister, lines));
    EXPECT_EQ(lines, (Texts{"COM5 - x", "COM9"}));
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "X"));
    EXPECT_FALSE(SystemChildProcesses().ReadOutput(lister + "-gone", lines));
}

TEST_F(ProgramTest, RunGivesTheExitStatusAndEndsAProgramAtItsLimit)
{
    ChildProcesses& processes = SystemChildProcesses();
    EXPECT_EQ(processes.Run(Script("three", "exit 3"), {"three"}, 60000), 3);
    EXPECT_EQ(processes.Run(Script("args", "[ \"$1\" = 'a b' ] && exit 0; exit 1"), {"args", "a b"}, 60000), 0);
    EXPECT_EQ(processes.Run(Script("forever", "exec sleep 60"), {"forever"}, 100), ChildStopped);
    EXPECT_EQ(processes.Run((dir.path() / "missing").string(), {"missing"}, 60000), -1);
}

} // namespace
