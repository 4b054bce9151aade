#pragma once

#include <map>
#include <string>
#include <vector>

// The serial devices beside a board's device, watched across the board's
// reset into its boot loader, for a board named by its device rather than
// by a COM port: the boot loader shows up as a device that was not there
// before, or as the board's own name once it went away and came back (as
// /dev/ttyACM0 does). Beside means in the same folder with a name of the
// same stem (ttyACM for ttyACM0, com for com1, numbers for a pty); a link
// is watched in its own folder and, where nothing shows up there, in the
// folder of the device it leads to.
class DeviceWatch {
public:
    explicit DeviceWatch(const std::string& device);
    // Looks again; called while the reset is waited for.
    void Look();
    // The devices that showed up since the watch began, in name order.
    std::vector<std::string> Appeared() const;

private:
    struct Place {
        std::string folder, stem;
        std::map<std::string, std::string> before; // name -> what it was
        std::map<std::string, bool> gone;          // the names that went away meanwhile
    };
    static std::map<std::string, std::string> Devices(const Place& place);
    static std::vector<std::string> Appeared(const Place& place);
    std::vector<Place> places_;
};
