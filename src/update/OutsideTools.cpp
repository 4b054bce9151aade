#include "update/OutsideTools.h"

#include "platform/ChildProcess.h"

std::string ToolsFolder(const std::string& file)
{
    const std::string here = "Tools";
    if (FileExists(here + PathSeparator() + file)) return here;
    return ProgramFolder() + here;
}
