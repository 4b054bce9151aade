#pragma once

struct AppContext;

// With game detection on, selects the profile whose process name is the
// executable of a running process (byte for byte), as if the user had
// picked it; the last match of the snapshot wins.
void DetectGame(AppContext& app);
