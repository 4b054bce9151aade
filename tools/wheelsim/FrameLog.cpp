#include "FrameLog.h"

namespace {

void WriteBytes(std::FILE* file, const std::vector<uint8_t>& bytes)
{
    std::fputs("\"bytes\":[", file);
    for (std::size_t i = 0; i < bytes.size(); ++i) std::fprintf(file, i ? ",%u" : "%u", static_cast<unsigned>(bytes[i]));
    std::fputc(']', file);
}

} // namespace

FrameLog::~FrameLog()
{
    if (file_) std::fclose(file_);
}

bool FrameLog::Open(const std::string& path)
{
    file_ = std::fopen(path.c_str(), "w");
    return file_ != nullptr;
}

void FrameLog::WriteFrame(double ms, const Frame& frame)
{
    if (!file_) return;
    std::fprintf(file_, "{\"t_ms\":%.3f,\"kind\":\"%s\",", ms, FrameKindName(frame.kind));
    WriteBytes(file_, frame.bytes);
    if (frame.kind == Frame::Read || frame.kind == Frame::Write) {
        std::fprintf(file_, ",\"number\":%u,\"width\":%u", static_cast<unsigned>(frame.number),
                     static_cast<unsigned>(frame.width));
    }
    if (frame.kind == Frame::Write) std::fprintf(file_, ",\"value\":%d", frame.value);
    std::fputs("}\n", file_);
    std::fflush(file_);
}

void FrameLog::WriteEvent(double ms, const char* event, const std::vector<uint8_t>& bytes)
{
    if (!file_) return;
    std::fprintf(file_, "{\"t_ms\":%.3f,\"event\":\"%s\",", ms, event);
    WriteBytes(file_, bytes);
    std::fputs("}\n", file_);
    std::fflush(file_);
}
