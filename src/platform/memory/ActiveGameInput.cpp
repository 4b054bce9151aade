#include "platform/GameInput.h"

#include "platform/SeamSlot.h"

namespace {
SeamSlot<GameInput> g_slot;
}

GameInput& ActiveGameInput() { return g_slot.Or(SystemGameInput()); }

GameInput* UseGameInput(GameInput* seam) { return g_slot.Replace(seam); }
