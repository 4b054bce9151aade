#include "exec/ScriptKeywords.h"

const ScriptKeyword AppSettingsKeywords[] = {
    {"FLAGS", 0, 1},      {"WINDOW_DURATION", 1, 1}, {"DEVICE_COM_PORT", 2, 1}, {"SM_COM_PORT", 3, 1},
    {"RESET_DELAY", 4, 1}, {"TORQUE_BW", 5, 1},      {"GAME_PROFILE_ID", 7, 1}, {"USED_DEVICE_GUID", 6, 11},
    {nullptr, 0, 0}};

const ScriptKeyword ServerKeywords[] = {{"ADRESS", 0, 1},     {"PORT", 1, 1},      {"VERSION", 2, 4},
                                        {"UPDATE", 3, 6},     {"FW_VERSION", 4, 4}, {"FW_UPDATE", 5, 6},
                                        {nullptr, 0, 0}};

const ScriptKeyword LanguageKeywords[] = {{"LANG", 0, 6}, {nullptr, 0, 0}};

const ScriptKeyword ProfileKeywords[] = {{"PROFILE", 0, ScriptAllValues}, {nullptr, 0, 0}};
