#include "controller/Tick.h"

// The periodic jobs (board connection step, drive statistics, game
// detection, trace frames, controller poll) join the tick with the parts
// that own them.
int Tick(AppContext&) { return 0; }
