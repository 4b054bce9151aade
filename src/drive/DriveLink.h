#pragma once

#include <cstdint>

struct AppContext;

// The program's use of the servo drive, with the "dev" switch: the bus on
// the drive's COM port (SM_COM_PORT), its version and torque bandwidth,
// and the parameters the pages write. Without a bus every write is left
// out and every read gives status 8.

// Drive parameters.
constexpr uint16_t DriveVersionParam = 3;
constexpr uint16_t TorqueBandwidthParam = 490;
constexpr uint16_t MotorCurrentParam = 901;
constexpr uint16_t DriveSettingParam = 565;
constexpr uint16_t DriveControlParam = 554;
constexpr uint16_t ClearFaultsParam = 2533;

// Values of the drive control parameter.
constexpr int32_t DriveControlApply = 1;
constexpr int32_t DriveControlRestart = 2;

// (Re)opens the bus on "COM<SM_COM_PORT>", reads the drive's version and
// its torque bandwidth into TORQUE_BW (kept, with a log line, when that
// read fails), and logs each step. A drive that does not answer leaves no
// bus open.
void ConfigureDrive(AppContext& app);

// A drive that stopped answering (the adapter unplugged, the drive off) is
// let go by the statistics; while the drive's port is set and no bus is
// open, this tries the port again twice a second (no log line for a try
// that fails). True when the drive was found: its bandwidth is then the
// drive's, or TORQUE_BW went to it when it had not taken that before.
bool LookForDriveAgain(AppContext& app, uint64_t now);

// TORQUE_BW to the drive; one the drive does not take, or that waits while
// the drive does not answer, is sent when it answers again, and is what a
// drive found again gets.
void SendDriveBandwidth(AppContext& app);

uint32_t WriteDriveParameter(AppContext& app, uint16_t parameter, int32_t value);
uint32_t ReadDriveParameter(AppContext& app, uint16_t parameter, int32_t& value);
// Parameter 554; nothing without a bus. The write's status (8 without a bus).
uint32_t SetDriveControl(AppContext& app, int32_t value);
// 3 to parameter 2533; nothing without a bus. The write's status (8 without a bus).
uint32_t ClearDriveFaults(AppContext& app);

// One log line at level 0: "Ok" for status 1, else the text, the status in
// hexadecimal and a word for each error bit.
void LogDriveStatus(const char* text, uint32_t status);
