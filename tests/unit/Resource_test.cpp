#include "exec/Resource.h"
#include "exec/ScriptTable.h"

#include "ExecRuntime.h"

#include <filesystem>

namespace {

class Resources : public ExecRuntime {
protected:
    void SetUp() override { ASSERT_TRUE(Start()); }
    ScriptTable* Load(const char* name, uint32_t mode = ModeKeepKey)
    {
        return static_cast<ScriptTable*>(GenericOpen(ScriptFormat(), name, mode, OpenLoad));
    }
};

} // namespace

TEST_F(Resources, FileTestOpensNothing)
{
    EXPECT_EQ(GenericOpen(ScriptFormat(), "GameProfiles", 0, OpenTestFile), nullptr);
    dir.Write("GameProfiles.ini", "[GameProfiles]\r\n");
    EXPECT_NE(GenericOpen(ScriptFormat(), "GameProfiles", 0, OpenTestFile), nullptr);
    EXPECT_EQ(ScriptFormat()->head, nullptr);
}

TEST_F(Resources, NameWithoutExtensionGetsTheHandlersExtension)
{
    dir.Write("GameProfiles.ini", "[GameProfiles]\r\n");
    ScriptTable* table = Load("GameProfiles");
    ASSERT_NE(table, nullptr);
    EXPECT_STREQ(table->path, "GameProfiles.ini");
    EXPECT_STREQ(table->key, "GameProfiles");
    EXPECT_EQ(table->references, 1u);
    EXPECT_EQ(table->type, ResourceTypeScript);
    EXPECT_EQ(RemoveResource(table), 1);
}

TEST_F(Resources, SharedOpenCountsReferencesAndUnloadsAtZero)
{
    dir.Write("config.ini", "[Config]\r\nFLAGS=1\r\n");
    ScriptTable* first = Load("config.ini", ModeKeepKey | ModeShare);
    ScriptTable* second = Load("CONFIG", ModeKeepKey | ModeShare);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first, second);
    EXPECT_EQ(first->references, 2u);
    EXPECT_EQ(RemoveResource(first), 1);
    EXPECT_EQ(CountMembers(ScriptFormat()), 1);
    EXPECT_EQ(RemoveResource(first), 1);
    EXPECT_EQ(CountMembers(ScriptFormat()), 0);
}

TEST_F(Resources, SecondTableOfTheSameKeySharesTheText)
{
    dir.Write("config.ini", "[Config]\r\nFLAGS=1\r\n");
    ScriptTable* first = Load("config.ini");
    ScriptTable* second = Load("config.ini");
    ASSERT_NE(second, nullptr);
    EXPECT_NE(first, second);
    EXPECT_EQ(first->start, second->start);
    RemoveResource(first);
    EXPECT_EQ(std::string(second->start, second->end), "[Config]\r\nFLAGS=1\r\n");
    RemoveResource(second);
}

TEST_F(Resources, DuplicateOfAScriptIsRefused)
{
    dir.Write("config.ini", "x");
    ScriptTable* first = Load("config.ini", ModeKeepKey | ModeShare);
    EXPECT_EQ(GenericOpen(ScriptFormat(), "config.ini", ModeKeepKey | ModeShare | ModeDuplicateKeep4, OpenLoad), nullptr);
    EXPECT_TRUE(LogHas("Resource Script : Could not duplicate resource config"));
    RemoveResource(first);
}

TEST_F(Resources, MissingFileIsLoggedUnlessSilent)
{
    EXPECT_EQ(Load("absent.ini", ModeSilent), nullptr);
    EXPECT_FALSE(LogHas("Resource Script : Could not open resource absent.ini"));
    EXPECT_EQ(Load("absent.ini"), nullptr);
    EXPECT_TRUE(LogHas("Resource Script : Could not open resource absent.ini"));
}

TEST_F(Resources, CreateEmptiesAnExistingFile)
{
    dir.Write("config.ini", "old");
    auto* table = static_cast<ScriptTable*>(GenericOpen(ScriptFormat(), "config.ini", 0x240, OpenCreate));
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(dir.Read("config.ini"), "");
    EXPECT_STREQ(table->key, "config.ini");
    RemoveResource(table);
}

TEST_F(Resources, RemoveReportsBadResources)
{
    EXPECT_EQ(RemoveResource(nullptr), 0);
    EXPECT_TRUE(LogHas("RemoveResource: Null pointer"));

    ResourceHeader odd;
    odd.type = 12;
    odd.name = "odd";
    EXPECT_EQ(RemoveResource(&odd), 0);
    EXPECT_TRUE(LogHas("RemoveResource: Unknown type 12, name odd"));

    ResourceHeader freed;
    freed.type = ResourceTypeScript;
    freed.name = "gone";
    EXPECT_EQ(RemoveResource(&freed), 1);
    EXPECT_TRUE(LogHas("RemoveResource: resource gone already freed, (Type : Script)"));

    ResourceHeader font;
    font.type = 256;
    font.name = "f";
    font.references = 1;
    EXPECT_EQ(RemoveResource(&font), 0);
    EXPECT_TRUE(LogHas("Resource Remove Error: Resource handler not installed for object f"));
}

TEST_F(Resources, HandlerRegistrationConflicts)
{
    ResourceHandlerDesc desc;
    desc.type = ResourceTypeScript;
    desc.name = "Other";
    desc.operation = [](ResourceHandler*, uint16_t, ResourceRequest*) { return 0; };
    EXPECT_EQ(NewResourceHandler(desc), nullptr);
    EXPECT_TRUE(LogHas("NewResourceHandler: Fatal error, resource type already used, handler Other,type 277"));

    desc.type = 256;
    desc.name = "scripts";
    EXPECT_EQ(NewResourceHandler(desc), nullptr);
    EXPECT_TRUE(LogHas("NewResourceHandler: Handler type conflict handler scripts,type 256"));

    desc.type = ResourceTypeScript;
    ResourceHandler* same = NewResourceHandler(desc);
    ASSERT_EQ(same, HandlerOfType(ResourceTypeScript));
    EXPECT_EQ(same->uses, 2u);
}

TEST_F(Resources, TablesStillOpenAtShutdownAreNamed)
{
    dir.Write("config.ini", "x");
    dir.Write("GameProfiles.ini", "y");
    Load("config.ini");
    Load("GameProfiles.ini");
    Stop();
    const std::string log = Log();
    EXPECT_NE(log.find("KillResourceHandler 'Scripts' Reports 2 element(s) in list Scripts\r\n"
                       "Named : config\r\nNamed : GameProfiles\r\n"),
              std::string::npos)
        << log;
    EXPECT_NE(log.find("No memory leaks, no problem"), std::string::npos) << log;
}

TEST_F(Resources, PathResolution)
{
    const ResourceHandler* scripts = HandlerOfType(ResourceTypeScript);
    char path[512];
    ResolveResourcePath(scripts, "GameProfiles", 0, path, sizeof path);
    EXPECT_STREQ(path, "GameProfiles.ini");
    ResolveResourcePath(scripts, "C:\\x\\list.txt", 0, path, sizeof path);
    EXPECT_STREQ(path, "C:\\x\\list.txt");
    ResolveResourcePath(scripts, "data\\config", ModeCompletePath, path, sizeof path);
    EXPECT_STREQ(path, "data\\config.ini");
    EXPECT_STREQ(ResourceTypeName(288), "Snd_group");
    EXPECT_STREQ(ResourceTypeName(268), "unused_0");
}
