#pragma once

// Shows the runtime's modal assertion box (Retry / Cancel, error icon, no
// owner). Returns true when the user chose Retry. Where the system has no
// message boxes the text goes to the standard error stream and the answer
// is Cancel.
bool ShowAssertDialog(const char* title, const char* text);
