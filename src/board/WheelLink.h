#pragma once

#include "platform/NativeHandle.h"

#include <cstdint>

struct AppContext;

// Finding the board, following its connection and calibration state, and
// the board commands that are not parameter reads or writes.

// Controls of the main page written here.
constexpr int StatusTextId = 2088;
constexpr int FirmwareVersionId = 2077;
constexpr int WheelComPortComboId = 1041;

// Identification: the probe and the board's answer.
constexpr char WheelProbe[] = "areyou?";
constexpr char WheelAnswer[] = "IamHereNow";

// Opens COM <port> at 115200 baud (state 1) and sends the probe; true when
// the answer came within 500 ms (state 2, the port becomes the board's).
// The port is closed again when no answer came.
bool IdentifyWheel(AppContext& app, uint8_t port);

// IdentifyWheel, then on an answer the whole parameter set read and the
// link state shown; true when the board answered.
bool ConnectWheel(AppContext& app, uint8_t port);

// "---" in the External Gain label: no value of the board to show.
void ShowNoExternalGain(AppContext& app);

// One periodic step: connects the board while it is not found or a reply
// was lost (a board found goes to the wheelFound hook), asks for the
// calibration phase and once for the firmware version, and shows the
// status. Three status requests in a row without a reply close the port:
// "Disconnected", and the board is looked for again every step. Nothing while command busy is set; no traffic while the board's
// debug level is not 0 or the main window is minimised to the tray.
void PollWheel(AppContext& app, bool minimisedToTray);

// "None" (data 0), then "COM<n>" (data n) for every port 1..126 that can
// be opened now, and the current port when this program holds it open;
// selects the entry of the current port, else "None".
void FillComPortList(NativeHandle dialog, int comboId, uint8_t current, bool currentHeld = false);

// The port number of the list's selected entry (0 for "None"); -1 when
// nothing usable is selected.
int ChosenComPort(NativeHandle dialog, int comboId);

// A new choice of board COM port, when it differs from the stored one: the
// old port is closed ("Disconnected"), the new one stored and, unless it is
// 0 ("None"), connected; a board found there goes to the wheelFound hook.
void SelectBoardPort(AppContext& app, uint8_t port);

// 'r': the board runs its calibration. Sent in any link state.
void Calibrate(AppContext& app);

// 'c' while the wheel is ready, then the centre offset read back 100 ms later.
void CenterWheel(AppContext& app);

// Restarts the board into its boot loader by opening its port at 1200 baud
// and closing it at once; true when the port opened.
bool ResetBoard(AppContext& app);
