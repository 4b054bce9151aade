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

void FrameLog::WriteCommand(double ms, const Avr109Command& command)
{
    std::FILE* file = lines_.Begin(ms);
    if (!file) return;
    std::fputs("\"kind\":\"avr109\",", file);
    lines_.Text("command", std::string(1, static_cast<char>(command.code)));
    if (command.memory) {
        std::fputc(',', file);
        lines_.Text("memory", std::string(1, command.memory));
    }
    if (command.addressed) std::fprintf(file, ",\"address\":%u,\"bytes\":%zu", command.address, command.bytes);
    if (command.refused) std::fprintf(file, ",\"refused\":%zu", command.refused);
    lines_.End();
}
