#include "exec/Log.h"

#include "exec/ExecConfig.h"
#include "platform/AssertDialog.h"
#include "platform/DebugOutput.h"
#include "platform/LocalTime.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {

constexpr std::size_t LogDirectoryMax = 255;
constexpr const char* LogFileName = "Log.txt";
constexpr const char* DebugBanner = "------------- Lumen Message ------------- ";
constexpr const char* MonthNames[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

constexpr std::size_t LogPathMax = LogDirectoryMax + 16;

struct LogSettings {
    char directory[LogDirectoryMax + 1] = {};
    unsigned mode = LogModeOff;
    int threshold = 0;
    bool assertBoxes = true;
};

LogSettings g_log;
// The shared buffer is a block of the main pool while the runtime is up;
// before (the fatal start-up message) and after, this fixed one stands in.
char g_fixedFormatTemp[FormatTempSize];
char* g_formatTemp = g_fixedFormatTemp;

// Writes text as a text-mode stream would: every '\n' becomes CR LF, so the
// file has the same bytes on every system.
void WriteText(std::FILE* file, const char* text)
{
    for (const char* p = text; *p; ++p) {
        if (*p == '\n') std::fputc('\r', file);
        std::fputc(*p, file);
    }
}

// Each writer builds the path in a buffer of its own: any thread may log.
void BuildPath(char (&path)[LogPathMax])
{
    std::snprintf(path, sizeof path, "%s%s", g_log.directory, LogFileName);
}

} // namespace


void LogWrite(const char* text)
{
    DebugOutput(DebugBanner);
    DebugOutput(text);
    DebugOutput("\n");

    char path[LogPathMax];
    BuildPath(path);
    std::FILE* file = std::fopen(path, "ab");
    if (!file) return; // the line is lost; the debugger output has it
    WriteText(file, text);
    WriteText(file, "\n");
    std::fclose(file);
}

void LogInit(const ExecConfig& config)
{
    // The directory is cut to its 255 characters.
    std::size_t n = strnlen(config.logDirectory, sizeof config.logDirectory);
    if (n > LogDirectoryMax) n = LogDirectoryMax;
    std::memcpy(g_log.directory, config.logDirectory, n);
    g_log.directory[n] = '\0';
    g_log.mode = config.logMode;

    if (g_log.mode == LogModeNew) {
        char path[LogPathMax];
        BuildPath(path);
        if (std::FILE* file = std::fopen(path, "wb")) {
            WriteText(file, "Log Create\n");
            std::fclose(file);
        }
    }
    if (g_log.mode != LogModeOff) {
        const LocalTime t = ReadLocalTime();
        const char* month = (t.month >= 1 && t.month <= 12) ? MonthNames[t.month - 1] : "???";
        char line[96];
        std::snprintf(line, sizeof line, "Exec Log Init %d %s %d at %02d:%02d:%02d", t.day, month,
                      t.year, t.hour, t.minute, t.second);
        LogWrite(line);
    }
}

void LogSwitchOn()
{
    g_log.directory[0] = '\0';
    g_log.mode = LogModeAppend;
}

void SetLogThreshold(int threshold) { g_log.threshold = threshold; }

int LogPrintf(int level, const char* format, ...)
{
    if (g_log.mode == LogModeOff) return 0;
    if (level > g_log.threshold) return 0;

    char line[LogLineMax + 1];
    va_list args;
    va_start(args, format);
    const int wanted = std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    if (wanted < 0) return 0;

    LogWrite(line);
    return static_cast<int>(std::strlen(line));
}

char* FormatTempBuffer() { return g_formatTemp; }

void UseFormatTempBlock(char* block) { g_formatTemp = block ? block : g_fixedFormatTemp; }

char* FormatTemp(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    std::vsnprintf(g_formatTemp, FormatTempSize, format, args);
    va_end(args);
    return g_formatTemp;
}

void ShowAssertBoxes(bool shown) { g_log.assertBoxes = shown; }

bool AssertBox(const char* source, int line, const char* condition, const char* message)
{
    if (!g_log.assertBoxes) return false;
    char text[1024];
    std::snprintf(text, sizeof text,
                  "Lumen Assert Box\n_________________________________________________\n\n\n"
                  "Cond : %s\nMessage : %s\n\nIn file : %s, at line : %i",
                  condition, message, source, line);
    const bool retry = ShowAssertDialog("Lumen assert !", text);
    return retry && DebuggerAttached();
}

void ExecFailure(const char* source, int line, const char* message)
{
    if (AssertBox(source, line, "FALSE", message)) BreakIntoDebugger();
    LogPrintf(0, "%s", message);
}
