#include "platform/Controls.h"

#include "platform/SeamSlot.h"

namespace {
SeamSlot<Controls> g_slot;
}

Controls& ActiveControls() { return g_slot.Or(SystemControls()); }

Controls* UseControls(Controls* seam) { return g_slot.Replace(seam); }
