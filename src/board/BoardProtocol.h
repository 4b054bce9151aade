#pragma once

#include "core/ParamControl.h"

#include <cstdint>

struct AppContext;

// The board's byte protocol over the application's board port. Reads are
// 'p', number, width and come back little-endian; writes are 'P', number,
// width and the value most significant byte first, with no reply. Every
// read is followed by a 5 ms pause and every write by a 20 ms pause.

// Reads count bytes, each of which must come within 100 ms. Two and four
// bytes are taken little-endian, other counts in arrival order. False
// (value untouched) on a time-out.
bool ReadReply(AppContext& app, uint32_t count, int32_t& value);

// Reads a parameter and sign-extends it from its width. Stale bytes still
// waiting from an earlier answer are dropped before the request. When the
// board does not answer in time, the result is the fallback (the value held
// so far) and the reply is lost: every later read gives its fallback without
// asking, until the board is identified again.
int32_t ReadParam(AppContext& app, uint8_t number, uint8_t width, int32_t fallback);

// Reads the record's parameter into its value and shows it.
void RefreshParam(AppContext& app, ParamControl& record);

// The whole set: 20 settings, the advanced four, then the pin map.
// paramsRead tells whether every reply came in time.
void ReadAllParams(AppContext& app);

// Button and output pins, axis sources with the linearity curves, and the
// external gain source.
void ReadPinMap(AppContext& app);

// Waits for the link to be idle, then writes the record's value; records
// that are not board parameters are never sent.
void SendParam(AppContext& app, const ParamControl& record);

// Writes a parameter without waiting for the link.
void SendRaw(AppContext& app, uint8_t number, uint8_t width, int32_t value);

// Writes the 14 values a game profile holds, while a wheel is found or ready.
void SendProfile(AppContext& app);

// 'D', then the advanced settings and the pin map read back 400 ms later.
void ResetBoardDefaults(AppContext& app);

// Takes the trackbar's position as the value, shows and sends it.
void TrackbarChanged(AppContext& app, ParamControl& record);

// Waits up to 500 ms for the link-busy flag to clear; false when it did not.
bool WaitLinkIdle(AppContext& app);
