#include "FrameLog.h"

void FrameLog::WriteFrame(double ms, const Frame& frame)
{
    std::FILE* file = lines_.Begin(ms);
    if (!file) return;
    std::fprintf(file, "\"kind\":\"%s\",", FrameKindName(frame.kind));
    lines_.Bytes(frame.bytes);
    if (frame.kind == Frame::Read || frame.kind == Frame::Write) {
        std::fprintf(file, ",\"number\":%u,\"width\":%u", static_cast<unsigned>(frame.number),
                     static_cast<unsigned>(frame.width));
    }
    if (frame.kind == Frame::Write) std::fprintf(file, ",\"value\":%d", frame.value);
    lines_.End();
}
