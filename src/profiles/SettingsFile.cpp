#include "profiles/SettingsFile.h"

#include "core/AppContext.h"
#include "exec/Log.h"
#include "exec/ScriptFile.h"
#include "exec/ScriptKeywords.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>


namespace {

const char FileName[] = "config.ini";
const char Section[] = "Config";

// Ids of the application settings keyword table.
enum SettingsKey : uint16_t {
    KeyFlags = 0,
    KeyWindowDuration = 1,
    KeyDeviceComPort = 2,
    KeySmComPort = 3,
    KeyResetDelay = 4,
    KeyTorqueBandwidth = 5,
    KeyUsedDeviceGuid = 6,
    KeyGameProfileId = 7,
};

constexpr int32_t HighestBandwidthIndex = 11;
constexpr int32_t ShortestWindow = 1;
constexpr int32_t LongestWindow = 3000; // the Window slider's range, and the current ring's size

// The context being read; the reader's callback has no context of its own.
AppContext* g_reading = nullptr;

// The next value as a number. ValueToInt gives 0 for a text longer than ten
// characters, so the writer's "%ld" of a word with its top bit set (a flags
// word, a GUID's Data1) would not read back: a minus sign with ten digits
// that fits 32 bits is read as that number here.
int32_t NextNumber(ScriptValue** values)
{
    const char* text = NextValueText(values);
    constexpr std::size_t LongNegative = 11;
    if (std::strlen(text) != LongNegative || text[0] != '-') return ValueToInt(text);
    for (const char* c = text + 1; *c; ++c) {
        if (*c < '0' || *c > '9') return ValueToInt(text);
    }
    const long long number = std::strtoll(text, nullptr, 10);
    if (number < INT32_MIN) return ValueToInt(text);
    return static_cast<int32_t>(number);
}

void PutLittleEndian(uint8_t* bytes, uint32_t value, int count)
{
    for (int i = 0; i < count; ++i) bytes[i] = static_cast<uint8_t>(value >> (8 * i));
}

uint32_t GetLittleEndian(const uint8_t* bytes, int count)
{
    uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i) value = (value << 8) | bytes[i];
    return value;
}

// The GUID as it sits in memory: Data1 (4 bytes), Data2, Data3 (2 bytes
// each, all little-endian), then the eight bytes of Data4.
void ReadGuid(InputGuid& guid, ScriptValue** values)
{
    PutLittleEndian(guid, static_cast<uint32_t>(NextNumber(values)), 4);
    PutLittleEndian(guid + 4, static_cast<uint32_t>(NextNumber(values)) & 0xFFFFu, 2);
    PutLittleEndian(guid + 6, static_cast<uint32_t>(NextNumber(values)) & 0xFFFFu, 2);
    for (int i = 0; i < 8; ++i) guid[8 + i] = static_cast<uint8_t>(NextNumber(values));
}

void TakeInRange(int32_t& field, int32_t value, bool inRange, const char* key, const char* rule)
{
    if (inRange) {
        field = value;
        return;
    }
    LogPrintf(0, "LoadSettings: %s %d is %s, keeping %d", key, value, rule, field);
}

int ReadSettingsLine(uint16_t id, ScriptValue* values)
{
    if (!g_reading) return 0;
    AppContext& app = *g_reading;
    ScriptValue* cursor = values;
    if (id == KeyUsedDeviceGuid) {
        ReadGuid(app.usedController, &cursor);
        return 0;
    }
    const int32_t value = NextNumber(&cursor);
    switch (id) {
    case KeyFlags:
        app.flags = static_cast<uint32_t>(value);
        break;
    case KeyWindowDuration:
        TakeInRange(app.params[StatisticsWindow].value, value, value >= ShortestWindow && value <= LongestWindow,
                    "WINDOW_DURATION", "outside 1..3000");
        break;
    case KeyDeviceComPort:
        app.boardComPort = static_cast<uint8_t>(value);
        break;
    case KeySmComPort:
        app.driveComPort = static_cast<uint8_t>(value);
        break;
    case KeyResetDelay:
        app.resetDelay = value;
        break;
    case KeyTorqueBandwidth:
        TakeInRange(app.params[TorqueBandwidth].value, value, value >= 0 && value <= HighestBandwidthIndex,
                    "TORQUE_BW", "outside 0..11");
        break;
    case KeyGameProfileId:
        TakeInRange(app.currentProfile, value, value >= 0, "GAME_PROFILE_ID", "negative");
        break;
    default:
        break;
    }
    return 0;
}

} // namespace

void LoadSettings(AppContext& app)
{
    ScriptTable* table = OpenScriptFile(FileName);
    if (!table) {
        app.settingsUnread = ScriptFileExists(FileName);
        if (app.settingsUnread) LogPrintf(0, "LoadSettings: %s could not be read, this run leaves it as it is", FileName);
        return;
    }
    g_reading = &app;
    ParseSection(table, Section, AppSettingsKeywords, ReadSettingsLine);
    g_reading = nullptr;
    RemoveResource(table);
}

bool SaveSettings(const AppContext& app)
{
    ScriptTable* table = app.settingsUnread ? nullptr : OpenScriptFileForWriting(FileName);
    if (!table) {
        LogPrintf(0, "SaveSettings: could not write %s", FileName);
        return false;
    }
    BeginSection(table, Section);
    AddNumberLine(table, KeyFlags, static_cast<int32_t>(app.flags));
    AddNumberLine(table, KeyWindowDuration, app.params[StatisticsWindow].value);
    AddNumberLine(table, KeyDeviceComPort, app.boardComPort);
    AddNumberLine(table, KeySmComPort, app.driveComPort);
    AddNumberLine(table, KeyResetDelay, app.resetDelay);
    AddNumberLine(table, KeyTorqueBandwidth, app.params[TorqueBandwidth].value);
    AddNumberLine(table, KeyGameProfileId, app.currentProfile);
    ScriptLine* guid = AddLine(table, AppSettingsKeywords, KeyUsedDeviceGuid);
    AddNumber(guid, static_cast<int32_t>(GetLittleEndian(app.usedController, 4)));
    AddNumber(guid, static_cast<int32_t>(GetLittleEndian(app.usedController + 4, 2)));
    AddNumber(guid, static_cast<int32_t>(GetLittleEndian(app.usedController + 6, 2)));
    for (int i = 0; i < 8; ++i) AddNumber(guid, app.usedController[8 + i]);
    const bool written = WriteSection(table);
    if (!written) LogPrintf(0, "SaveSettings: could not write %s", FileName);
    RemoveResource(table);
    return written;
}
