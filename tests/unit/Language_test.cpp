#include "exec/Language.h"
#include "exec/MText.h"
#include "exec/RuntimeTexts.h"
#include "exec/SizeText.h"

#include "ExecRuntime.h"

#include <filesystem>
#include <string>

namespace {

const char* const Sheet =
    "<?xml version=\"1.0\"?>\r\n<Workbook>\r\n <Worksheet ss:Name=\"Exec\">\r\n  <Table>\r\n"
    "   <Row><Cell><Data ss:Type=\"String\">[English]</Data></Cell><Cell><Data>[French]</Data></Cell></Row>\r\n"
    "   <Row><Cell><Data>[MemUnits]</Data></Cell></Row>\r\n"
    "   <Row><Cell><Data>Bytes</Data></Cell><Cell><Data>Octets</Data></Cell></Row>\r\n"
    "   <ROW><cell ss:StyleID=\"s1\"><DATA>KB</DATA></cell><Cell><Data>Ko</Data></Cell></ROW>\r\n"
    "   <Row><Cell><Data>MB</Data></Cell></Row>\r\n"
    "   <Row><Cell><Data></Data></Cell><Cell><Data></Data></Cell></Row>\r\n"
    "   <Row><Cell><Data>GB &amp; more</Data></Cell><Cell><Data>Go</Data></Cell></Row>\r\n"
    "  </Table>\r\n </Worksheet>\r\n</Workbook>\r\n";

class Languages : public ExecRuntime {
protected:
    std::filesystem::path Scripts() const { return dir.path() / "System" / "Resources" / "Scripts"; }
    void WriteScripts(const std::string& systemIni, const std::string& xml)
    {
        std::filesystem::create_directories(Scripts());
        if (!systemIni.empty()) dir.Write("System/Resources/Scripts/system.ini", systemIni);
        if (!xml.empty()) dir.Write("System/Resources/Scripts/Exec.xml", xml);
    }
    std::string Size(uint64_t bytes)
    {
        char text[64];
        FormatSize(bytes, text, sizeof text);
        return text;
    }
};

} // namespace

TEST_F(Languages, EnglishAloneWithoutFiles)
{
    ASSERT_TRUE(Start());
    ASSERT_EQ(CountMembers(LanguageList()), 1);
    const auto* english = static_cast<ExecLanguage*>(LanguageList()->head);
    EXPECT_STREQ(english->name, "English");
    EXPECT_STREQ(english->ownName, "English");
    EXPECT_EQ(english->index, 0u);
    EXPECT_EQ(english->code, 1033);
    EXPECT_TRUE(LogHas("InitExec: Allocated 4  main ram, 0  debug ram."));
    EXPECT_EQ(Size(1075), "1.04 ");
}

TEST_F(Languages, LangLinesAddLanguagesAndConflictsKeepTheOldEntry)
{
    WriteScripts("[Exec]\r\nLANG=French,Francais,3,1,0,1036\r\nLANG=English,English,0,2,0,1033\r\n"
                 "LANG=english,English,0,0,0,2057\r\n",
                 "");
    config.language = 1;
    ASSERT_TRUE(Start());
    ASSERT_EQ(CountMembers(LanguageList()), 2);
    const ExecLanguage* french = LanguageOfIndex(1);
    ASSERT_NE(french, nullptr);
    EXPECT_STREQ(french->ownName, "Francais");
    EXPECT_EQ(french->code, 1036);
    EXPECT_EQ(french->localeByte, 3);
    EXPECT_EQ(LanguageOfIndex(0)->code, 1033);
    EXPECT_TRUE(LogHas("AddLanguage: Two different indexs have been attached to the same language English. Old value is used"));
    EXPECT_TRUE(LogHas("AddLanguage: Two different codes have been attached to the same language english. Old value is used"));
    EXPECT_EQ(Locale().localeByte, 3);
}

TEST_F(Languages, SizesInReadableUnits)
{
    WriteScripts("", Sheet);
    ASSERT_TRUE(Start());
    EXPECT_EQ(Size(1075), "1.04 KB");
    EXPECT_EQ(Size(1536), "1.50 KB");
    EXPECT_EQ(Size(2048), "2 KB");
    EXPECT_EQ(Size(1000), "1000 Bytes");
    EXPECT_EQ(Size(32u << 20), "32 MB");
    EXPECT_EQ(Size(uint64_t{3} << 30), "3 GB &amp; more");
    EXPECT_EQ(Size(uint64_t{5} << 40), "5 ");
    EXPECT_TRUE(LogHas("InitExec: Allocated 4 MB main ram, 0 Bytes debug ram."));
}

TEST_F(Languages, TextsOfTheCurrentLanguageColumnAndShortRowsTakeTheLastCell)
{
    WriteScripts("[Exec]\r\nLANG=French,Francais,0,1,0,1036\r\n", Sheet);
    config.language = 1;
    ASSERT_TRUE(Start());
    const MText* units = RuntimeText(RuntimeTextId::MemUnits);
    EXPECT_STREQ(MTextString(units, 0), "Octets");
    EXPECT_STREQ(MTextString(units, 1), "Ko");
    EXPECT_STREQ(MTextString(units, 2), "MB");
    EXPECT_STREQ(MTextString(units, 3), "Go") << "empty cells do not count";
    EXPECT_EQ(MTextString(units, 4), nullptr);
    EXPECT_EQ(Size(2048), "2 Ko");
}

TEST_F(Languages, LanguageMissingFromTheSheetFallsBackToEnglish)
{
    WriteScripts("[Exec]\r\nLANG=German,Deutsch,0,2,0,1031\r\n", Sheet);
    config.language = 2;
    ASSERT_TRUE(Start());
    EXPECT_NE(Log().find("FindScriptLanguageMarker: Could not find language German in script "), std::string::npos);
    EXPECT_TRUE(LogHas("Defaulting to English."));
    EXPECT_EQ(Locale().language, 0u) << "the second load leaves English current";
    EXPECT_STREQ(MTextString(RuntimeText(RuntimeTextId::MemUnits), 1), "KB");
}

TEST_F(Languages, UninstalledLanguageIndexIsReported)
{
    WriteScripts("", Sheet);
    config.language = 7;
    ASSERT_TRUE(Start());
    EXPECT_TRUE(LogHas("FindScriptLanguageMarker: Could not find installed language 7"));
}

TEST_F(Languages, TableLoadedForTheLanguageIsKeptAndEntriesBeyondAreNone)
{
    WriteScripts("", Sheet);
    ASSERT_TRUE(Start());
    MText table;
    ASSERT_TRUE(MakeMText(&table, 10));
    const std::string path = (Scripts() / "Exec.xml").string();
    EXPECT_EQ(InstallMText(&table, path.c_str(), "MemUnits"), 1);
    std::filesystem::remove(Scripts() / "Exec.xml");
    EXPECT_EQ(InstallMText(&table, path.c_str(), "MemUnits"), 1);
    EXPECT_STREQ(MTextString(&table, 0), "Bytes");
    EXPECT_EQ(MTextString(&table, 99), nullptr);
    MText other;
    ASSERT_TRUE(MakeMText(&other, 10));
    EXPECT_EQ(InstallMText(&other, path.c_str(), "MemUnits"), 0);
    EXPECT_TRUE(LogHas("InstallMText: Could not open " + path));
    FreeMText(&table);
    FreeMText(&other);
}

TEST_F(Languages, CellWithoutDataEndsTheReading)
{
    WriteScripts("", "<Row><Cell><Data>[English]</Data></Cell></Row><Row><Cell><Data>[MemUnits]</Data></Cell></Row>"
                     "<Row><Cell><Data>B</Data></Cell></Row><Row><Cell></Cell></Row><Row><Cell><Data>K</Data></Cell></Row>");
    ASSERT_TRUE(Start());
    EXPECT_STREQ(MTextString(RuntimeText(RuntimeTextId::MemUnits), 0), "B");
    EXPECT_EQ(MTextString(RuntimeText(RuntimeTextId::MemUnits), 1), nullptr);
}
