#pragma once

#include <string>

// The folder of the outside programs: "Tools" of the working directory when
// it holds the file, else "Tools" beside the program, so that the program
// works wherever it is started from. No separator at the end.
std::string ToolsFolder(const std::string& file);
