#include "platform/Canvas.h"

namespace {
Canvas* g_canvas = nullptr;
}

Canvas& ActiveCanvas() { return g_canvas ? *g_canvas : SystemCanvas(); }

Canvas* UseCanvas(Canvas* canvas)
{
    Canvas* previous = g_canvas;
    g_canvas = canvas;
    return previous;
}
