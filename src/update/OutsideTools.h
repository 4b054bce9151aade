#pragma once

#include <string>

// The folder of the outside programs: "Tools" of the working directory when
// it holds the file, else "Tools" beside the program, so that the program
// works wherever it is started from. No separator at the end.
std::string ToolsFolder(const std::string& file);

// The outside programs and the programmer's configuration file.
enum class OutsideTool { PortLister, Programmer, ProgrammerConfig };

// Where a tool is: the path the program placed it at, else in the Tools
// folder: the lister by its program file name, avrdude and avrdude.conf
// both in the folder that holds avrdude.conf.
std::string OutsideToolPath(OutsideTool tool);

// A program that keeps a tool elsewhere (a system's own avrdude) names it.
void PlaceOutsideTool(OutsideTool tool, const std::string& path);
