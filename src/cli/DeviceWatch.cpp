#include "cli/DeviceWatch.h"

#include <filesystem>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

// The name without its last digits.
std::string Stem(const std::string& name) { return name.substr(0, name.find_last_not_of("0123456789") + 1); }

} // namespace

DeviceWatch::DeviceWatch(const std::string& device)
{
    std::error_code error;
    const fs::path given(device), target = fs::canonical(given, error);
    for (const fs::path& path : {given, target}) {
        if (path.empty()) continue;
        Place place{path.parent_path().empty() ? "." : path.parent_path().string(), Stem(path.filename().string()), {}, {}};
        if (!places_.empty() && place.folder == places_[0].folder && place.stem == places_[0].stem) continue;
        place.before = Devices(place);
        places_.push_back(place);
    }
}

std::map<std::string, std::string> DeviceWatch::Devices(const Place& place)
{
    std::map<std::string, std::string> devices;
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(place.folder, error)) {
        const std::string name = entry.path().filename().string();
        if (name.size() == place.stem.size() || Stem(name) != place.stem) continue;
        // What the name stands for: the device a link leads to, and the
        // file itself, which a device made anew is not.
        struct stat facts{};
        std::error_code unresolved;
        const fs::path device = fs::canonical(entry.path(), unresolved);
        if (unresolved || stat(device.c_str(), &facts) != 0 || !S_ISCHR(facts.st_mode)) continue;
        devices[name] = device.string() + "#" + std::to_string(facts.st_ino);
    }
    return devices;
}

void DeviceWatch::Look()
{
    for (Place& place : places_) {
        const auto now = Devices(place);
        for (const auto& [name, what] : place.before)
            if (now.count(name) == 0) place.gone[name] = true;
    }
}

std::vector<std::string> DeviceWatch::Appeared(const Place& place)
{
    std::vector<std::string> appeared;
    for (const auto& [name, what] : Devices(place)) {
        const auto before = place.before.find(name);
        if (before == place.before.end() || before->second != what || place.gone.count(name) != 0)
            appeared.push_back((fs::path(place.folder) / name).string());
    }
    return appeared;
}

std::vector<std::string> DeviceWatch::Appeared() const
{
    for (const Place& place : places_)
        if (std::vector<std::string> found = Appeared(place); !found.empty()) return found;
    return {};
}
