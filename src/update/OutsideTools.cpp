#include "update/OutsideTools.h"

#include "platform/ChildProcess.h"

namespace {

std::string g_placed[3];

} // namespace

std::string ToolsFolder(const std::string& file)
{
    const std::string here = "Tools";
    if (FileExists(here + PathSeparator() + file)) return here;
    return ProgramFolder() + here;
}

std::string OutsideToolPath(OutsideTool tool)
{
    const std::string& placed = g_placed[static_cast<int>(tool)];
    if (!placed.empty()) return placed;
    const std::string separator(1, PathSeparator());
    if (tool == OutsideTool::PortLister) {
        const std::string name = ProgramFileName("listComPorts");
        return ToolsFolder(name) + separator + name;
    }
    const std::string tools = ToolsFolder("avrdude.conf") + separator;
    return tool == OutsideTool::Programmer ? tools + "avrdude" : tools + "avrdude.conf";
}

void PlaceOutsideTool(OutsideTool tool, const std::string& path) { g_placed[static_cast<int>(tool)] = path; }
