#include "profiles/ProfileFile.h"

#include "core/AppContext.h"
#include "exec/Log.h"
#include "exec/ScriptFile.h"
#include "exec/ScriptKeywords.h"

namespace {

const char FileName[] = "GameProfiles.ini";
const char Section[] = "GameProfiles";
constexpr uint16_t ProfileId = 0;

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
    auto byte = [&] { return static_cast<int8_t>(NextValueAsInt(&cursor)); };
    profile->wheelFlags = static_cast<uint8_t>(NextValueAsInt(&cursor));
    profile->maxAngle = static_cast<uint16_t>(NextValueAsInt(&cursor));
    profile->mainGain = byte();
    profile->gameSpring = byte();
    profile->gameFriction = byte();
    profile->gameDamper = byte();
    profile->gameInertia = byte();
    profile->gameConstant = byte();
    profile->gameSine = byte();
    profile->forceTable = byte();
    profile->userSpring = byte();
    profile->userFriction = byte();
    profile->userDamper = byte();
    profile->userInertia = byte();
    profile->filter = static_cast<uint8_t>(NextValueAsInt(&cursor));
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
            for (int32_t number : {int32_t{p.wheelFlags}, static_cast<int32_t>(p.maxAngle), int32_t{p.mainGain},
                                   int32_t{p.gameSpring}, int32_t{p.gameFriction}, int32_t{p.gameDamper},
                                   int32_t{p.gameInertia}, int32_t{p.gameConstant}, int32_t{p.gameSine},
                                   int32_t{p.forceTable}, int32_t{p.userSpring}, int32_t{p.userFriction},
                                   int32_t{p.userDamper}, int32_t{p.userInertia}, int32_t{p.filter}}) {
                AddNumber(line, number);
            }
        }
        written = WriteSection(table);
        RemoveResource(table);
    }
    if (!written) LogPrintf(0, "GameProfiles: could not write %s", FileName);
    app.profiles.Clear();
    return written;
}
