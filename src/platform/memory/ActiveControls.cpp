#include "platform/Controls.h"

namespace {
Controls* g_controls = nullptr;
}

Controls& ActiveControls() { return g_controls ? *g_controls : SystemControls(); }

Controls* UseControls(Controls* controls)
{
    Controls* previous = g_controls;
    g_controls = controls;
    return previous;
}
