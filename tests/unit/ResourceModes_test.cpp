#include "exec/Memory.h"
#include "exec/Paths.h"
#include "exec/Resource.h"

#include "ExecRuntime.h"

#include <new>

// A handler of another type, whose operations the tests steer, to check
// what the registry does with every mode flag.

namespace {

struct Counters {
    int creates = 0;
    int loads = 0;
    int installs = 0;
    int duplicates = 0;
    int unloads = 0;
    int shutdowns = 0;
    bool failInstall = false;
    bool failUnload = false;
};
Counters g_ops;

int FontOperation(ResourceHandler*, uint16_t code, ResourceRequest* request)
{
    switch (code) {
    case ResourceOpCreate:
    case ResourceOpLoad:
    case ResourceOpDuplicate:
        (code == ResourceOpCreate ? g_ops.creates : code == ResourceOpLoad ? g_ops.loads : g_ops.duplicates)++;
        request->resource = new (AllocMem(MemMainRam, sizeof(ResourceHeader))) ResourceHeader;
        return 1;
    case ResourceOpInstall:
        ++g_ops.installs;
        return g_ops.failInstall ? 0 : 1;
    case ResourceOpUnload:
        ++g_ops.unloads;
        if (g_ops.failUnload) return 1;
        FreeMem(request->resource);
        return 0;
    case ResourceOpShutdown:
        ++g_ops.shutdowns;
        return 1;
    default:
        return 0;
    }
}

class ResourceModes : public ExecRuntime {
protected:
    void SetUp() override
    {
        g_ops = Counters{};
        ASSERT_TRUE(Start());
        ResourceHandlerDesc desc;
        desc.type = 256;
        desc.name = "Fonts";
        desc.directory = "Fonts";
        desc.extension = ".fnt";
        desc.operation = FontOperation;
        ASSERT_NE(NewResourceHandler(desc), nullptr);
        fonts = AddResourceFormat("Fonts", 256);
        ASSERT_NE(fonts, nullptr);
    }
    ResourceHeader* Open(const char* name, uint32_t mode, int kind = OpenCreate)
    {
        return static_cast<ResourceHeader*>(GenericOpen(fonts, name, mode, kind));
    }
    ResourceFormat* fonts = nullptr;
};

} // namespace

TEST_F(ResourceModes, HandlerDirectoryIsUnderTheSystemDirectory)
{
    char path[1024];
    ResolveResourcePath(HandlerOfType(256), "Arial", 0, path, sizeof path);
    EXPECT_EQ(std::string(path), dir.WithSeparator() + "System" + PathSeparator + "FontsArial.fnt");
}

TEST_F(ResourceModes, InstallRunsOnceAndMarksTheResource)
{
    ResourceHeader* font = Open("Arial", ModeKeepKey | ModeInstall);
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(g_ops.installs, 1);
    EXPECT_EQ(font->mode, ModeKeepKey | ModeInstall | ModeInstalled);
    EXPECT_EQ(font->type, 256);
    EXPECT_EQ(RemoveResource(font), 1);
    EXPECT_EQ(g_ops.unloads, 1);
}

TEST_F(ResourceModes, FailedInstallIsReportedAndNothingStaysOpen)
{
    g_ops.failInstall = true;
    EXPECT_EQ(Open("Arial", ModeKeepKey | ModeInstall), nullptr);
    EXPECT_TRUE(LogHas("Resource Font : Could not install resource Arial"));
    EXPECT_EQ(CountMembers(fonts), 0);
}

TEST_F(ResourceModes, DuplicateKeepsOnlyTheBitsItsFlagsAllow)
{
    ResourceHeader* font = Open("Arial", ModeKeepKey | ModeShare);
    ResourceHeader* copy = Open("Arial", ModeKeepKey | ModeShare | ModeDuplicate | ModeInstall | 0x1C);
    ASSERT_NE(copy, nullptr);
    EXPECT_NE(copy, font);
    EXPECT_EQ(g_ops.duplicates, 1);
    EXPECT_EQ(copy->mode & 0x11C, 0u);
    ResourceHeader* kept =
        Open("Arial", ModeKeepKey | ModeShare | ModeDuplicateKeep4 | ModeDuplicateKeep18 | ModeKeepInstall | ModeInstall | 0x1C);
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(kept->mode & 0x11C, 0x11Cu);
    EXPECT_EQ(font->references, 1u);
    RemoveResource(font);
    RemoveResource(copy);
    RemoveResource(kept);
}

TEST_F(ResourceModes, WithoutShareEveryOpenMakesANewResource)
{
    ResourceHeader* a = Open("Arial", ModeKeepKey);
    ResourceHeader* b = Open("Arial", ModeKeepKey);
    EXPECT_NE(a, b);
    EXPECT_EQ(g_ops.creates, 2);
    RemoveResource(a);
    RemoveResource(b);
}

TEST_F(ResourceModes, FailedUnloadKeepsTheResourceWithOneReference)
{
    ResourceHeader* font = Open("Arial", ModeKeepKey);
    g_ops.failUnload = true;
    EXPECT_EQ(RemoveResource(font), 0);
    EXPECT_TRUE(LogHas("RemoveResource: Resource Arial could not be removed"));
    EXPECT_EQ(font->references, 1u);
    EXPECT_EQ(CountMembers(fonts), 1);
    g_ops.failUnload = false;
    EXPECT_EQ(RemoveResource(font), 1);
}

TEST_F(ResourceModes, ShutdownReportsAndCallsTheHandler)
{
    Open("Arial", ModeKeepKey);
    Open("Courier", ModeKeepKey);
    Stop();
    EXPECT_TRUE(LogHas("KillResourceHandler 'Fonts' Reports 2 element(s) in list Fonts"));
    EXPECT_TRUE(LogHas("Named : Arial"));
    EXPECT_TRUE(LogHas("Named : Courier"));
    EXPECT_EQ(g_ops.shutdowns, 1);
}
