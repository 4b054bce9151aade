#pragma once

// One line in padsim.log of the working folder, started anew when the DLL
// is loaded; every line reaches the file at once.
void PadLog(const char* format, ...) __attribute__((format(printf, 1, 2)));

// "0" for S_OK, else the HRESULT in hexadecimal, such as "0x8007001e".
const char* ResultText(long result);
