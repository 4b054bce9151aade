#include "platform/Canvas.h"

#include "platform/SeamSlot.h"

namespace {
SeamSlot<Canvas> g_slot;
}

Canvas& ActiveCanvas() { return g_slot.Or(SystemCanvas()); }

Canvas* UseCanvas(Canvas* seam) { return g_slot.Replace(seam); }
