#include "update/OnlineScript.h"

#include "exec/Language.h"
#include "exec/Log.h"
#include "exec/Memory.h"
#include "exec/Resource.h"
#include "exec/ScriptKeywords.h"
#include "exec/ScriptTable.h"
#include "platform/Clock.h"
#include "update/HttpClient.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#ifndef VANTOR_UPDATE_HOST
#error "VANTOR_UPDATE_HOST names the update server host of the build"
#endif

namespace {

struct ServerList {
    const char* applicationName;
    int index;
};
constexpr ServerList ServerLists[] = {{"Vantor", 0}};
constexpr const char* ScriptFiles[] = {"vt_servers.ini", "beta_servers.ini", "servers.ini"};
constexpr std::size_t EnvironmentHostMax = 255;

enum ServerKey : uint16_t { KeyAddress, KeyPort, KeyVersion, KeyUpdate, KeyFirmwareVersion, KeyFirmwareUpdate };

uint32_t PackedVersion(ScriptValue* values)
{
    uint32_t packed = 0;
    for (int shift = 24; shift >= 0; shift -= 8) packed |= static_cast<uint32_t>(NextValueAsInt(&values)) << shift;
    return packed;
}

template <std::size_t N>
void CopyText(char (&to)[N], const char* text)
{
    std::snprintf(to, N, "%s", text);
}

int ReadServerLine(uint16_t id, ScriptValue* values)
{
    if (!values) return 0;
    auto& info = *reinterpret_cast<ServerInfo*>(values->user[0]);
    switch (id) {
    case KeyAddress:
        CopyText(info.address, NextValueText(&values));
        break;
    case KeyPort:
        info.port = NextValueAsInt(&values);
        break;
    case KeyVersion:
        info.toolVersion = PackedVersion(values);
        break;
    case KeyFirmwareVersion:
        info.firmwareVersion = PackedVersion(values);
        break;
    case KeyUpdate: {
        for (int i = 0; i < 4; ++i) NextValueText(&values);
        const char* prefix = NextValueText(&values);
        const char* file = NextValueText(&values);
        const ExecLanguage* language = LanguageOfIndex(Locale().language);
        std::snprintf(info.toolLocation, sizeof info.toolLocation, "%s%ld/%s", prefix,
                      static_cast<long>(language ? language->code : 0), file);
        break;
    }
    case KeyFirmwareUpdate:
        for (int i = 0; i < 4; ++i) NextValueText(&values);
        CopyText(info.firmwareHost, NextValueText(&values));
        CopyText(info.firmwareFile, NextValueText(&values));
        break;
    default:
        break;
    }
    return 0;
}

} // namespace

int ServerListIndex(const char* applicationName)
{
    for (const ServerList& list : ServerLists)
        if (std::strcmp(list.applicationName, applicationName) == 0) return list.index;
    return 0;
}

const char* UpdateServerHost()
{
    const char* host = std::getenv("VANTOR_UPDATE_HOST");
    if (host && *host && std::strlen(host) <= EnvironmentHostMax) return host;
    return VANTOR_UPDATE_HOST;
}

bool ParseOnlineScript(const char* name, const char* text, std::size_t length, ServerInfo& info)
{
    ScriptTable* table = OpenScriptText(name, text, length);
    if (!table) return false;
    table->user[0] = reinterpret_cast<uintptr_t>(&info);
    ParseSection(table, "SERVER", ServerKeywords, ReadServerLine);
    ParseSection(table, "UPDATE", ServerKeywords, ReadServerLine);
    RemoveResource(table);
    return true;
}

bool ReadOnlineScript(int listIndex, ServerInfo& info)
{
    const char* file = ScriptFiles[listIndex >= 0 && listIndex < 3 ? listIndex : 0];
    Clock& clock = ActiveClock();
    const uint64_t start = clock.Milliseconds();
    std::size_t length = 0;
    char* text = DownloadText(UpdateServerHost(), file, length);
    if (!text) {
        LogPrintf(0, "Could not read Online script");
        return false;
    }
    LogPrintf(3, "Got Online script in %lu ms ", static_cast<unsigned long>(clock.Milliseconds() - start));
    const bool read = ParseOnlineScript(file, text, length, info);
    FreeMem(text);
    return read;
}
