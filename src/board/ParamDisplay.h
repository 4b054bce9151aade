#pragma once

#include "core/ParamControl.h"

#include <cstddef>
#include <cstdint>

struct AppContext;

// Binding and showing of the parameter records through the active dialog
// controls (ActiveControls).

// Stores every field (the value is kept). With a dialog and a trackbar id,
// looks the trackbar up and gives it its range and a tick at every step
// strictly inside the range; then shows the value when a dialog is set.
void BindControl(ParamControl& record, NativeHandle dialog, int32_t trackbarId, int32_t labelId, uint8_t number,
                 uint8_t widthCode, int32_t minimum, int32_t maximum, int32_t tickStep, uint8_t displayKind,
                 uint8_t unit);

// Binds a record of the application's set with its definition's fields
// and control ids, on the dialog (null: no controls at present).
void BindFromSet(AppContext& app, int index, NativeHandle dialog);

// Moves the record's controls to its value: the combo item of that number
// for a combo box, else the trackbar position and the label text.
void ShowValue(const ParamControl& record);

// Writes the label text of the value (kinds 4, 5 and 6 leave it alone).
void FormatValue(const ParamControl& record);

// The label text of a value, as FormatValue writes it; false for the kinds
// that have no text. The text is cut to fit the buffer.
bool FormatValueText(uint8_t displayKind, int32_t value, uint8_t unit, char* text, std::size_t size);

// The record whose trackbar is this window (records 0..28), or null.
ParamControl* FindParamControl(AppContext& app, NativeHandle trackbar);
