#pragma once

#include <cstddef>
#include <cstdint>

// What the update server's online script says; made fresh for each check.
struct ServerInfo {
    char address[64] = "192.168.0.250"; // read, not used by the check
    int32_t port = 4207;                // read, not used by the check
    uint32_t toolVersion = 0;           // a << 24 | b << 16 | c << 8 | d
    uint32_t firmwareVersion = 0;       // packed the same way
    char toolLocation[128] = "";        // prefix, language code, "/", file
    char firmwareHost[128] = "";
    char firmwareFile[128] = "";
};

// The script of the server list chosen for the application name: "Vantor"
// and names not in the table take list 0.
int ServerListIndex(const char* applicationName);

// The host of the update server: VANTOR_UPDATE_HOST of the environment when
// set, else the one this program was built with ("host" or "host:port").
const char* UpdateServerHost();

// Reads the sections "SERVER" and "UPDATE" of an online script into info;
// false when the text is no script table.
bool ParseOnlineScript(const char* name, const char* text, std::size_t length, ServerInfo& info);

// Fetches the script of the list and reads it; false (and a log line when
// nothing came) on failure.
bool ReadOnlineScript(int listIndex, ServerInfo& info);
