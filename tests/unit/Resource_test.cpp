#include "exec/Memory.h"
#include "exec/Paths.h"
#include "exec/Resource.h"
#include "exec/ScriptTable.h"

#include "ExecRuntime.h"

#include <cstring>
#include <functional>
#include <new>

namespace {

// Beside the scripts, a font handler whose operations the tests count (by
// code) and make fail.
int g_calls[16];
bool g_fails[16];

int FontOperation(ResourceHandler*, uint16_t code, ResourceRequest* request)
{
    ++g_calls[code];
    if (code == ResourceOpUnload) {
        if (!g_fails[code]) FreeMem(request->resource);
        return g_fails[code] ? 1 : 0; // 0 is success here
    }
    if (code == ResourceOpCreate) request->resource = new (AllocMem(MemMainRam, sizeof(ResourceHeader))) ResourceHeader;
    return g_fails[code] ? 0 : 1;
}

class Resources : public ExecRuntime {
protected:
    void SetUp() override
    {
        for (int code = 0; code < 16; ++code) g_calls[code] = g_fails[code] = 0;
        config.baseDirectory[std::strlen(config.baseDirectory) - 1] = '\0'; // the runtime adds the separator
        ASSERT_TRUE(Start());
        ASSERT_TRUE(NewResourceHandler({.type = 256, .operation = FontOperation, .name = "Fonts", .directory = "Fonts", .extension = ".fnt"}));
        ASSERT_NE(fonts = AddResourceFormat("Fonts", 256), nullptr);
    }
    static ScriptTable* Load(const char* name, uint32_t mode = ModeKeepKey)
    {
        return static_cast<ScriptTable*>(GenericOpen(ScriptFormat(), name, mode, OpenLoad));
    }

    ResourceFormat* fonts = nullptr;
};

} // namespace

TEST_F(Resources, Paths)
{
    const struct { unsigned type; const char* name; uint32_t mode; std::string path; } cases[] = {
        {ResourceTypeScript, "GameProfiles", 0, "GameProfiles.ini"}, {ResourceTypeScript, "C:\\x.d\\list", 0, "C:\\x.d\\list.ini"},
        {ResourceTypeScript, "C:\\x\\list.txt", 0, "C:\\x\\list.txt"},
        {ResourceTypeScript, "data\\config", ModeCompletePath, "data\\config.ini"},
        {256, "Arial", 0, dir.WithSeparator() + "System" + PathSeparator + "FontsArial.fnt"},
        {256, "\\\\server\\Arial", 0, "\\\\server\\Arial.fnt"}, {256, "Arial", ModeCompletePath, "Arial.fnt"}};
    for (const auto& c : cases) {
        char path[1024];
        ResolveResourcePath(HandlerOfType(c.type), c.name, c.mode, path, sizeof path);
        EXPECT_EQ(path, c.path) << c.name;
    }
}

// A table is keyed by its file name without the extension (a complete path by itself); a shared
// open counts references, another table of the key shares the text, creating a table empties its
// file, and the tables still open at the end are named and freed.
TEST_F(Resources, ScriptTablesAreKeyedSharedAndCounted)
{
    EXPECT_EQ(GenericOpen(ScriptFormat(), "config", 0, OpenTestFile), nullptr);
    dir.Write("config.ini", "[Config]\r\nFLAGS=1\r\n");
    EXPECT_NE(GenericOpen(ScriptFormat(), "config", 0, OpenTestFile), nullptr);
    EXPECT_EQ(ScriptFormat()->head, nullptr) << "a file test opens nothing";
    ScriptTable* first = Load("config", ModeKeepKey | ModeShare);
    ASSERT_NE(first, nullptr);
    EXPECT_STREQ(first->path, "config.ini");
    EXPECT_STREQ(first->key, "config");
    EXPECT_EQ(Load("CONFIG.ini", ModeKeepKey | ModeShare), first);
    EXPECT_EQ(first->references, 2u);
    ScriptTable* other = Load("config.ini");
    ASSERT_NE(other, first);
    EXPECT_EQ(other->start, first->start);
    const std::string path = dir.WithSeparator() + "config.ini";
    ScriptTable* complete = Load(path.c_str(), ModeKeepKey | ModeCompletePath);
    EXPECT_EQ(complete->key, path);
    EXPECT_EQ(RemoveResource(first) + RemoveResource(complete), 2);
    EXPECT_EQ(CountMembers(ScriptFormat()), 2);
    EXPECT_EQ(RemoveResource(first), 1);
    EXPECT_EQ(CountMembers(ScriptFormat()), 1);
    EXPECT_EQ(std::string(other->start, other->end), "[Config]\r\nFLAGS=1\r\n");
    RemoveResource(other);
    Load("config.ini");
    dir.Write("GameProfiles.ini", "y");
    Load("GameProfiles.ini");
    GenericOpen(ScriptFormat(), "config.ini", ModeKeepKey, OpenCreate);
    EXPECT_EQ(dir.Read("config.ini"), "");
    Stop(); // names the tables still open and frees them
    EXPECT_TRUE(LogHas("KillResourceHandler 'Scripts' Reports 3 element(s) in list Scripts\r\n"
                       "Named : config\r\nNamed : GameProfiles\r\nNamed : config"));
    EXPECT_EQ(g_calls[ResourceOpShutdown], 1);
    EXPECT_TRUE(LogHas("No memory leaks, no problem\r\n")) << Log();
}

TEST_F(Resources, FaultsAreReported)
{
    dir.Write("config.ini", "x");
    ResourceHeader odd;
    odd.name = "odd";
    auto remove = [&](uint16_t type, uint32_t references) {
        odd.type = type;
        odd.references = references;
        return RemoveResource(&odd);
    };
    ResourceHandlerDesc desc{.type = ResourceTypeScript, .operation = FontOperation, .name = "Other"};
    const std::pair<std::function<bool()>, const char*> cases[] = {
        {[] { return RemoveResource(nullptr) == 0; }, "RemoveResource: Null pointer"},
        {[&] { return remove(12, 1) == 0; }, "RemoveResource: Unknown type 12, name odd"},
        {[&] { return remove(ResourceTypeScript, 0) == 1; }, "RemoveResource: resource odd already freed, (Type : Script)"},
        {[&] { return remove(257, 1) == 0; }, "Resource Remove Error: Resource handler not installed for object odd"},
        {[&] { return remove(256, 1) == 0 && odd.references == 1; }, "RemoveResource: Resource odd could not be removed"},
        {[] { return !Load("absent.ini", ModeSilent) && !Load("absent.ini"); }, "Resource Script : Could not open resource absent.ini"},
        {[] { return !Load("config.ini", ModeShare | ModeDuplicateKeep4); }, "Resource Script : Could not duplicate resource config"},
        {[&] { return !NewResourceHandler(desc); }, "NewResourceHandler: Fatal error, resource type already used, handler Other,type 277"},
        {[&] { return !NewResourceHandler({.type = 289, .operation = FontOperation, .name = "Late"}); },
         "NewResourceHandler: Unknown type 289, handler Late"},
        {[&] { return !NewResourceHandler({.type = 257, .operation = FontOperation, .name = "scripts"}); },
         "NewResourceHandler: Handler type conflict handler scripts,type 257"},
        {[&] { return !GenericOpen(fonts, "Arial", ModeKeepKey | ModeInstall, OpenCreate) && g_calls[ResourceOpUnload] == 2; },
         "Resource Font : Could not install resource Arial"},
    };
    ScriptTable* shared = Load("config.ini", ModeKeepKey | ModeShare);
    g_fails[ResourceOpInstall] = g_fails[ResourceOpUnload] = true;
    for (const auto& [fault, line] : cases) {
        EXPECT_TRUE(fault()) << line;
        EXPECT_EQ(Log().find(line), Log().rfind(line)) << "logged once: " << line;
        EXPECT_TRUE(LogHas(line)) << Log();
    }
    RemoveResource(shared);
    EXPECT_TRUE(CountMembers(ScriptFormat()) == 0 && CountMembers(fonts) == 0);
    desc.name = "scripts"; // the same handler under its own type counts one more use
    EXPECT_EQ(NewResourceHandler(desc), HandlerOfType(ResourceTypeScript));
    EXPECT_EQ(HandlerOfType(ResourceTypeScript)->uses, 2u);
}
