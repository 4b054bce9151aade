#include "exec/ExecList.h"
#include "exec/Files.h"
#include "exec/Memory.h"
#include "exec/Paths.h"

#include "ExecRuntime.h"

#include <filesystem>
#include <new>

namespace {
class Files : public ExecRuntime {
protected:
    void SetUp() override { ASSERT_TRUE(Start()); }
};

std::string Cut(void (*helper)(const char*, char*, std::size_t), const char* path)
{
    char out[256];
    helper(path, out, sizeof out);
    return out;
}
} // namespace

TEST_F(Files, WholeFileIsReadExactly)
{
    dir.Write("a.bin", std::string("x\0y\r\n", 5));
    std::size_t size = 99;
    unsigned char* block = ReadWholeFile("a.bin", &size);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(block), size), std::string("x\0y\r\n", 5));
    FreeMem(block);
    EXPECT_EQ(FileSize("a.bin"), 5);
}

TEST_F(Files, EmptyFileReadsAsEmptyBlockAndMissingFileAsNone)
{
    dir.Write("empty.ini", "");
    std::size_t size = 99;
    unsigned char* block = ReadWholeFile("empty.ini", &size);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(size, 0u);
    FreeMem(block);
    EXPECT_EQ(ReadWholeFile("absent.ini", &size), nullptr);
    EXPECT_EQ(FileSize("absent.ini"), -1);
}

TEST_F(Files, CreateFileEmptiesOrReports)
{
    dir.Write("f.ini", "old");
    EXPECT_TRUE(XR_CreateFile("f.ini"));
    EXPECT_EQ(dir.Read("f.ini"), "");
    EXPECT_FALSE(XR_CreateFile("no/such/dir/f.ini"));
    EXPECT_TRUE(LogHas("XR_CreateFile: Could not create file no/such/dir/f.ini"));
}

TEST_F(Files, DriveListIsEmptyHereAndTheDirectoryIsKept)
{
    EXPECT_STREQ(DriveList()->name, "Drive list");
    EXPECT_EQ(DriveList()->head, nullptr);
    EXPECT_EQ(std::filesystem::current_path(), dir.path());
}

TEST(Paths, Helpers)
{
    EXPECT_STREQ(FileNameOf("C:\\x\\GameProfiles.ini"), "GameProfiles.ini");
    EXPECT_STREQ(FileNameOf("a/b.c"), "b.c");
    EXPECT_EQ(Cut(DirectoryOf, "C:\\x\\y.ini"), "C:\\x\\");
    EXPECT_EQ(Cut(DirectoryOf, "y.ini"), "");
    EXPECT_EQ(Cut(WithoutExtension, "C:\\x.d\\y"), "C:\\x.d\\y");
    EXPECT_EQ(Cut(WithoutExtension, "C:\\x.d\\y.tar.gz"), "C:\\x.d\\y.tar");
    EXPECT_EQ(Cut(KeyNameOf, "C:\\x\\GameProfiles.ini"), "GameProfiles");
    EXPECT_TRUE(IsCompletePath("\\\\server\\share"));
    EXPECT_TRUE(IsCompletePath("C:x"));
    EXPECT_FALSE(IsCompletePath("x\\y"));
    char path[8] = "abc";
    EXPECT_TRUE(AddTrailingSeparator(path, sizeof path));
    EXPECT_TRUE(HasTrailingSeparator(path));
    EXPECT_EQ(std::string(path), std::string("abc") + PathSeparator);
    char full[4] = "abc";
    EXPECT_FALSE(AddTrailingSeparator(full, sizeof full));
}

TEST(NamedLists, FindByNameIgnoresCaseAndPriorityOrderKeepsArrival)
{
    ExecList list;
    EXPECT_STREQ(list.name, "List");
    InitList(&list, "Registry");
    ExecNode a, b, c, d;
    a.name = "GameProfiles";
    b.name = "Low";
    b.priority = -5;
    c.name = "Second";
    d.name = "High";
    d.priority = 3;
    Enqueue(&list, &a);
    Enqueue(&list, &b);
    Enqueue(&list, &c);
    Enqueue(&list, &d);
    EXPECT_EQ(FindName(&list, "gameprofiles"), &a);
    EXPECT_EQ(FindName(&list, "none"), nullptr);
    const ExecNode* order[] = {&d, &a, &c, &b};
    const ExecNode* n = list.head;
    for (const ExecNode* expected : order) {
        EXPECT_EQ(n, expected);
        n = n->next;
    }
    Unlink(&list, &a);
    EXPECT_EQ(CountMembers(&list), 3);
}

TEST_F(Files, EmptyListCallsTheReleaseAndFreesMembers)
{
    static int released;
    released = 0;
    ExecList list;
    InitList(&list, "Owned", [](ExecList*, ExecNode*) { ++released; });
    const std::size_t before = MainRamFree();
    for (int i = 0; i < 3; ++i) AddTail(&list, new (AllocMem(MemMainRam, sizeof(ExecNode))) ExecNode);
    EmptyList(&list, sizeof(ExecNode));
    EXPECT_EQ(released, 3);
    EXPECT_EQ(list.head, nullptr);
    EXPECT_EQ(MainRamFree(), before);
}
