#include "profiles/ProfileFile.h"

#include "core/AppContext.h"
#include "exec/Log.h"
#include "exec/ScriptFile.h"
#include "exec/ScriptKeywords.h"
#include "profiles/ProfileFields.h"

namespace {

const char FileName[] = "GameProfiles.ini";
const char Section[] = "GameProfiles";
constexpr uint16_t ProfileId = 0;

// The numbers of a PROFILE line, as fields of the record: flags, max angle,
// the eight game values, the four user values, filter.
constexpr int FileFieldOrder[] = {9, 0, 1, 2, 3, 4, 5, 6, 7, 8, 11, 12, 13, 14, 10};
constexpr int MaxAngleField = 0;

// The list being read; the reader's callback has no context of its own.
ProfileList* g_reading = nullptr;

int ReadProfileLine(uint16_t id, ScriptValue* values)
{
    if (id != ProfileId || !g_reading) return 0;
    ScriptValue* cursor = values;
    const char* name = NextValueText(&cursor);
    const char* processName = NextValueText(&cursor);
    GameProfile* profile = g_reading->Append(name, processName);
    if (!profile) {
        LogPrintf(0, "GameProfiles: profile %s is in the file twice, the later line is skipped", name);
        return 0;
    }
    for (int field : FileFieldOrder) {
        const ScriptValue* value = cursor;
        if (value && value->text && value->text[0] != '\0') {
            const int32_t number = NextValueAsInt(&cursor);
            // The max angle keeps its low 16 bits, every other value its low 8.
            SetFieldValue(*profile, field, field == MaxAngleField ? (number & 0xffff) : number);
        } else {
            if (cursor) cursor = cursor->next;
            LogPrintf(0, "Profile %s: %s is missing, taking %ld", profile->name, ProfileFields[field].name,
                      static_cast<long>(FieldDefault(field)));
            SetFieldValue(*profile, field, FieldDefault(field));
        }
    }
    RepairProfile(*profile);
    return 0;
}

} // namespace

void LoadProfiles(AppContext& app)
{
    ScriptTable* table = OpenScriptFile(FileName);
    if (!table) return;
    g_reading = &app.profiles;
    ParseSection(table, Section, ProfileKeywords, ReadProfileLine);
    g_reading = nullptr;
    RemoveResource(table);
}

bool SaveProfiles(AppContext& app)
{
    bool written = false;
    if (ScriptTable* table = OpenScriptFileForWriting(FileName)) {
        BeginSection(table, Section);
        for (int i = 0; i < app.profiles.Count(); ++i) {
            const GameProfile& p = *app.profiles.At(i);
            ScriptLine* line = AddLine(table, ProfileKeywords, ProfileId);
            AddValue(line, p.name);
            AddValue(line, p.processName);
            for (int field : FileFieldOrder) AddNumber(line, FieldValue(p, field));
        }
        written = WriteSection(table);
        RemoveResource(table);
    }
    if (!written) LogPrintf(0, "GameProfiles: could not write %s", FileName);
    return written;
}
