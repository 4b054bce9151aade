#include "profiles/ProfileFile.h"

#include "core/AppContext.h"
#include "exec/Log.h"
#include "exec/ScriptFile.h"
#include "exec/ScriptKeywords.h"
#include "profiles/ProfileFields.h"

#include <cctype>
#include <cstdio>
#include <cstring>

namespace {

const char FileName[] = "GameProfiles.ini";
const char Section[] = "GameProfiles";
constexpr uint16_t ProfileId = 0;

// The numbers of a PROFILE line, as fields of the record: flags, max angle,
// the eight game values, the four user values, filter.
constexpr int FileFieldOrder[] = {9, 0, 1, 2, 3, 4, 5, 6, 7, 8, 11, 12, 13, 14, 10};

// The list being read and where its faults go; the reader's callback has
// no context of its own.
ProfileList* g_reading = nullptr;
std::vector<ProfileFault>* g_faults = nullptr;

void Fault(const char* profile, const std::string& what, bool field = false)
{
    if (g_faults) g_faults->push_back({profile, what, field});
}

void RangeFault(const char* profile, int field, int32_t number)
{
    const ProfileField& f = ProfileFields[field];
    char what[96];
    std::snprintf(what, sizeof what, "%s %ld is outside %ld..%ld", f.name, static_cast<long>(number),
                  static_cast<long>(f.minimum), static_cast<long>(f.maximum));
    Fault(profile, what, true);
}

// A value as numbers are written: decimal with an optional sign, or
// hexadecimal after 0x. The reader takes other text too (as hexadecimal),
// which no one who wrote it meant as that number.
bool IsNumberText(const char* text)
{
    const bool hex = text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const char* digits = hex ? text + 2 : text + (text[0] == '-' || text[0] == '+');
    if (*digits == '\0') return false;
    for (; *digits; ++digits)
        if (!(hex ? std::isxdigit(static_cast<unsigned char>(*digits)) : std::isdigit(static_cast<unsigned char>(*digits))))
            return false;
    return true;
}

int ReadProfileLine(uint16_t id, ScriptValue* values)
{
    if (id != ProfileId || !g_reading) return 0;
    ScriptValue* cursor = values;
    const char* name = NextValueText(&cursor);
    if (!cursor) Fault(name, "the name or the process name is missing");
    const char* processName = NextValueText(&cursor);
    if (std::strlen(name) > ProfileTextMax || std::strlen(processName) > ProfileTextMax)
        Fault(name, "a text is longer than 63 characters");
    GameProfile* profile = g_reading->Append(name, processName);
    if (!profile) {
        LogPrintf(0, "GameProfiles: profile %s is in the file twice, the later line is skipped", name);
        Fault(name, "a profile of this name comes before it");
        return 0;
    }
    for (int field : FileFieldOrder) {
        const ScriptValue* value = cursor;
        if (value && value->text && value->text[0] != '\0') {
            const int32_t number = NextValueAsInt(&cursor);
            if (!IsNumberText(value->text))
                Fault(profile->name, std::string(ProfileFields[field].name) + " " + value->text + " is not a number", true);
            else if (!FieldInRange(field, number))
                RangeFault(profile->name, field, number);
            // Checked whole: cut to its field first, a gain of 300 would be
            // read as 44.
            SetFieldChecked(*profile, field, number);
        } else {
            if (cursor) cursor = cursor->next;
            LogPrintf(0, "Profile %s: %s is missing, taking %ld", profile->name, ProfileFields[field].name,
                      static_cast<long>(FieldDefault(field)));
            Fault(profile->name, std::string(ProfileFields[field].name) + " is missing", true);
            SetFieldValue(*profile, field, FieldDefault(field));
        }
    }
    return 0;
}

// Reads the table's profiles and removes it; false without a table.
bool ReadTable(ProfileList& list, ScriptTable* table, std::vector<ProfileFault>* faults)
{
    if (!table) return false;
    g_reading = &list;
    g_faults = faults;
    ParseSection(table, Section, ProfileKeywords, ReadProfileLine);
    g_reading = nullptr;
    g_faults = nullptr;
    RemoveResource(table);
    return true;
}

// The section with one PROFILE line per profile, in the list's order.
void AddProfileLines(ScriptTable* table, const ProfileList& list)
{
    BeginSection(table, Section);
    for (int i = 0; i < list.Count(); ++i) {
        const GameProfile& p = *list.At(i);
        ScriptLine* line = AddLine(table, ProfileKeywords, ProfileId);
        AddValue(line, p.name);
        AddValue(line, p.processName);
        for (int field : FileFieldOrder) AddNumber(line, FieldValue(p, field));
    }
}

} // namespace

bool ReadProfileFile(ProfileList& list, const char* path, std::vector<ProfileFault>* faults)
{
    return ReadTable(list, OpenScriptFile(path, ModeAsNamed), faults);
}

bool ReadProfileText(ProfileList& list, const std::string& text, std::vector<ProfileFault>* faults)
{
    return ReadTable(list, OpenScriptText(Section, text.data(), text.size()), faults);
}

bool WriteProfileFile(const ProfileList& list, const char* path)
{
    ScriptTable* table = OpenScriptFileForWriting(path, ModeAsNamed);
    if (!table) return false;
    AddProfileLines(table, list);
    const bool written = WriteSection(table);
    RemoveResource(table);
    return written;
}

std::string ProfileText(const ProfileList& list)
{
    ScriptTable* table = OpenScriptText(Section, "", 0);
    if (!table) return {};
    AddProfileLines(table, list);
    std::string text(SectionText(table, nullptr), '\0');
    SectionText(table, text.data());
    RemoveResource(table);
    return text;
}

void LoadProfiles(AppContext& app)
{
    if (ReadProfileFile(app.profiles, FileName)) return;
    app.profilesUnread = ScriptFileExists(FileName);
    if (app.profilesUnread) LogPrintf(0, "GameProfiles: %s could not be read, this run leaves it as it is", FileName);
}

bool SaveProfiles(AppContext& app)
{
    const bool written = !app.profilesUnread && WriteProfileFile(app.profiles, FileName);
    if (!written) LogPrintf(0, "GameProfiles: could not write %s", FileName);
    return written;
}
