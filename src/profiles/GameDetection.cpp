#include "profiles/GameDetection.h"

// Game detection comes with the game profiles; until then no game is seen.
void DetectGame(AppContext&) {}
