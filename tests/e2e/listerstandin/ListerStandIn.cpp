// Stands in for Tools\listComPorts.exe in the end-to-end tests: prints the
// file listing.txt that lies beside it, as the lister prints its ports.
// Wine shows no USB ids of the simulators' ports, so the tests write the
// listing with the ids they need.
#include <windows.h>

#include <cstdio>
#include <string>

int main()
{
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    std::string listing(path, length);
    listing = listing.substr(0, listing.find_last_of("\\/") + 1) + "listing.txt";
    std::FILE* file = std::fopen(listing.c_str(), "rb");
    if (!file) return 1;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;) std::fwrite(buffer, 1, n, stdout);
    std::fclose(file);
    return 0;
}
