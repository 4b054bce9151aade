#include "core/ForceTrace.h"

void ForceTrace::Add(uint64_t now, Kind kind, int16_t value)
{
    entries_.push_back({now, kind, value});
    while (now - entries_.front().time > SpanMs) entries_.pop_front();
}
