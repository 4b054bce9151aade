#include "platform/GameInput.h"

namespace {
GameInput* g_input = nullptr;
}

GameInput& ActiveGameInput() { return g_input ? *g_input : SystemGameInput(); }

GameInput* UseGameInput(GameInput* input)
{
    GameInput* previous = g_input;
    g_input = input;
    return previous;
}
