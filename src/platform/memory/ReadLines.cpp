#include "platform/ChildProcess.h"

void ReadLines(std::FILE* file, std::vector<std::string>& lines)
{
    std::string line;
    for (int c; (c = std::fgetc(file)) != EOF;) {
        if (c == '\n') {
            lines.push_back(line);
            line.clear();
        } else {
            line += static_cast<char>(c);
        }
    }
    if (!line.empty()) lines.push_back(line);
}
