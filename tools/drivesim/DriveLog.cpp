#include "DriveLog.h"

void DriveLog::WriteRequest(double ms, const DriveRequest& request)
{
    std::FILE* file = lines_.Begin(ms);
    if (!file) return;
    if (request.error) {
        std::fprintf(file, "\"error\":\"%s\",", request.error);
        lines_.Bytes(request.bytes);
        lines_.End();
        return;
    }
    std::fprintf(file, "\"node\":%u,", static_cast<unsigned>(request.bytes[2]));
    lines_.Bytes(request.bytes);
    std::fputs(",\"subpackets\":[", file);
    for (std::size_t i = 0; i < request.subpackets.size(); ++i) {
        std::fprintf(file, i ? ",[%d,%d]" : "[%d,%d]", request.subpackets[i].first, request.subpackets[i].second);
    }
    std::fputc(']', file);
    if (request.writeParam >= 0) {
        std::fprintf(file, ",\"write\":{\"param\":%d,\"value\":%d}", request.writeParam, request.writeValue);
    }
    if (request.readParam >= 0) std::fprintf(file, ",\"read\":%d,\"value\":%d", request.readParam, request.readValue);
    lines_.End();
}
