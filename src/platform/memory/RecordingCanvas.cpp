#include "platform/RecordingCanvas.h"

#include <cstdio>
#include <initializer_list>

namespace {

std::string Color(CanvasColor color)
{
    char text[8];
    std::snprintf(text, sizeof text, "%02x%02x%02x", static_cast<unsigned>(color & 0xff),
                  static_cast<unsigned>((color >> 8) & 0xff), static_cast<unsigned>((color >> 16) & 0xff));
    return text;
}

std::string Box(const CanvasRect& r)
{
    char text[64];
    std::snprintf(text, sizeof text, "%d %d %d %d", r.left, r.top, r.right, r.bottom);
    return text;
}

// Built by appending: the optimiser reads chains of + on short literals as
// overlapping copies and warns.
std::string Line(std::initializer_list<std::string> parts)
{
    std::string line;
    for (const std::string& part : parts) line.append(part);
    return line;
}

} // namespace

bool RecordingCanvas::Begin(NativeHandle window, const CanvasRect& area)
{
    if (!window) return false;
    window_ = window;
    operations_.push_back(Line({"begin ", Box(area)}));
    return true;
}

void RecordingCanvas::End() { operations_.push_back("end"); }

void RecordingCanvas::UsePen(int width, CanvasColor color)
{
    operations_.push_back(Line({"pen ", std::to_string(width), " ", Color(color)}));
}

void RecordingCanvas::UseBrush(CanvasColor color) { operations_.push_back(Line({"brush ", Color(color)})); }

void RecordingCanvas::Polygon(const CanvasPoint* points, int count)
{
    std::string line = "polygon";
    for (int i = 0; i < count; ++i) line.append(Line({" ", std::to_string(points[i].x), ",", std::to_string(points[i].y)}));
    operations_.push_back(line);
}

void RecordingCanvas::Rectangle(const CanvasRect& rect) { operations_.push_back(Line({"rect ", Box(rect)})); }

void RecordingCanvas::Fill(const CanvasRect& rect, CanvasColor color)
{
    operations_.push_back(Line({"fill ", Box(rect), " ", Color(color)}));
}

void RecordingCanvas::SetTextColors(CanvasColor text, CanvasColor background)
{
    operations_.push_back(Line({"colors ", Color(text), " ", Color(background)}));
}

void RecordingCanvas::Text(const char* text, const CanvasRect& rect)
{
    operations_.push_back(Line({"text \"", text, "\" ", Box(rect)}));
}
