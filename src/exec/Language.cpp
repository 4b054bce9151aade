#include "exec/Language.h"

#include "exec/Log.h"
#include "exec/Memory.h"
#include "exec/OwnedText.h"
#include "exec/Paths.h"
#include "exec/Resource.h"
#include "exec/ScriptKeywords.h"

#include <cstdio>
#include <new>

namespace {

constexpr uint16_t EnglishCode = 1033;

LocaleSettings g_locale;
ExecList g_anchor;
ExecList g_userTime;
ExecList g_userData;
ExecList g_languages;

void ReleaseLanguage(ExecList*, ExecNode* member)
{
    auto* language = static_cast<ExecLanguage*>(member);
    FreeText(const_cast<char*>(language->name));
    FreeText(language->ownName);
    language->name = nullptr;
    language->ownName = nullptr;
}

int TakeLanguageLine(uint16_t, ScriptValue* values)
{
    const char* name = NextValueText(&values);
    const char* ownName = NextValueText(&values);
    const auto localeByte = static_cast<uint8_t>(NextValueAsInt(&values));
    const auto index = static_cast<uint32_t>(NextValueAsInt(&values));
    const auto flag = static_cast<uint8_t>(NextValueAsInt(&values));
    const auto code = static_cast<uint16_t>(NextValueAsInt(&values));
    AddLanguage(name, ownName, localeByte, index, code, flag);
    return 1;
}

} // namespace

LocaleSettings& Locale() { return g_locale; }
ExecList* AnchorList() { return &g_anchor; }
ExecList* LanguageList() { return &g_languages; }

void StartSystemLists()
{
    InitList(&g_anchor, "Anchor");
    InitList(&g_userTime, "UserTime");
    InitList(&g_userData, "UserData");
    InitList(&g_languages, "Languages", ReleaseLanguage);
    AddTail(&g_anchor, &g_userTime);
    AddTail(&g_anchor, &g_userData);
    AddTail(&g_anchor, &g_languages);
}

void StopSystemLists()
{
    ExecList* lists[] = {&g_userTime, &g_userData, &g_languages};
    for (ExecList* list : lists) {
        EmptyList(list, list == &g_languages ? sizeof(ExecLanguage) : 0);
        if (Contains(&g_anchor, list)) Unlink(&g_anchor, list);
    }
}

ExecLanguage* LanguageOfIndex(uint32_t index)
{
    for (ExecNode* node = g_languages.head; node; node = node->next) {
        auto* language = static_cast<ExecLanguage*>(node);
        if (language->index == index) return language;
    }
    return nullptr;
}

void AddLanguage(const char* name, const char* ownName, uint8_t localeByte, uint32_t index, uint16_t code,
                 uint8_t flag)
{
    if (auto* known = static_cast<ExecLanguage*>(FindName(&g_languages, name))) {
        if (known->index != index)
            LogPrintf(1,
                      "AddLanguage: Two different indexs have been attached to the same language %s. Old value is used",
                      name);
        if (known->code != code)
            LogPrintf(1,
                      "AddLanguage: Two different codes have been attached to the same language %s. Old value is used",
                      name);
        return;
    }
    void* memory = AllocMem(MemMainRam, sizeof(ExecLanguage));
    if (!memory) return;
    auto* language = new (memory) ExecLanguage;
    language->name = CopyText(name);
    language->ownName = CopyText(ownName);
    language->localeByte = localeByte;
    language->index = index;
    language->code = code;
    language->flag = flag;
    AddTail(&g_languages, language);
}

void LoadLanguageList()
{
    AddLanguage("English", "English", 0, 0, EnglishCode, 0);
    char path[1100];
    std::snprintf(path, sizeof path, "%sResources%cScripts%csystem.ini", SystemDirectory(), PathSeparator,
                  PathSeparator);
    ResourceFormat* scripts = ScriptFormat();
    if (!scripts || !GenericOpen(scripts, path, ModeCompletePath, OpenTestFile)) return;
    auto* table = static_cast<ScriptTable*>(GenericOpen(scripts, path, ModeCompletePath, OpenLoad));
    if (!table) return;
    ParseSection(table, "Exec", LanguageKeywords, TakeLanguageLine);
    RemoveResource(table);
}
