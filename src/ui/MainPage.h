#pragma once

#include "core/AppContext.h"

// The main settings page (dialog 157): every force-feedback setting of the
// board, the wheel status, the options, the profile selector and the two
// device selectors. The rules are written against the active Controls.

// Start-up of the page, right after its dialog exists: binds the board
// parameters to their controls, finds and identifies the board, reads its
// settings and fills the device and profile lists.
void InitMainPage(AppContext& app, NativeHandle page);

// The command handler of both pages: true when it handled the id. Command
// busy is set while it runs. Ids 1 and 2 (ending the page) belong to the
// page's dialog procedure.
bool PageCommand(AppContext& app, int id, NativeHandle page);

// A command of either page with its notification code. The combo boxes
// act on a new selection only, and opening the "Wheel Com Port" list fills
// it anew; every other control goes to PageCommand.
bool PageNotified(AppContext& app, int id, int code, NativeHandle page);

// A scroll notification of a trackbar on either page: its value is shown,
// sent to the board and copied into the selected profile.
void PageTrackbarScrolled(AppContext& app, NativeHandle trackbar);
