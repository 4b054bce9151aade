#include "platform/RecordingControls.h"

#include <cstring>

void RecordingControls::SetText(NativeHandle dialog, int id, const char* text)
{
    At(dialog, id).text = text;
    Note(id, "text", text);
}

std::size_t RecordingControls::Text(NativeHandle dialog, int id, char* buffer, std::size_t size)
{
    if (size == 0) return 0;
    const std::string text = TextOf(dialog, id);
    const std::size_t n = text.size() < size - 1 ? text.size() : size - 1;
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
    return n;
}

NativeHandle RecordingControls::Find(NativeHandle dialog, int id)
{
    if (!dialog || id == 0) return nullptr;
    // The map's nodes stay put, so a control's address serves as its window.
    return &At(dialog, id);
}

void RecordingControls::SetTrackbarRange(NativeHandle dialog, int id, int minimum, int maximum)
{
    Control& c = At(dialog, id);
    c.hasRange = true;
    c.rangeMinimum = static_cast<int16_t>(minimum);
    c.rangeMaximum = static_cast<int16_t>(maximum);
    Note(id, "range", std::to_string(c.rangeMinimum) + ".." + std::to_string(c.rangeMaximum));
}

void RecordingControls::AddTrackbarTick(NativeHandle dialog, int id, int position)
{
    At(dialog, id).ticks.push_back(position);
    Note(id, "tick", std::to_string(position));
}

void RecordingControls::SetTrackbarPosition(NativeHandle dialog, int id, int position)
{
    At(dialog, id).position = position;
    Note(id, "position", std::to_string(position));
}

int RecordingControls::TrackbarPosition(NativeHandle dialog, int id)
{
    const Control* c = Get(dialog, id);
    return c ? c->position : 0;
}

void RecordingControls::ResetCombo(NativeHandle dialog, int id)
{
    Control& c = At(dialog, id);
    c.items.clear();
    c.selection = -1;
    Note(id, "reset", "");
}

void RecordingControls::AddComboItem(NativeHandle dialog, int id, const char* text, intptr_t data)
{
    At(dialog, id).items.push_back({text, data});
    Note(id, "add", text);
}

void RecordingControls::SelectComboItem(NativeHandle dialog, int id, int index)
{
    Control& c = At(dialog, id);
    // As CB_SETCURSEL: an index outside the list clears the selection.
    c.selection = index >= 0 && static_cast<std::size_t>(index) < c.items.size() ? index : -1;
    Note(id, "select", std::to_string(index));
}

int RecordingControls::ComboSelection(NativeHandle dialog, int id)
{
    const Control* c = Get(dialog, id);
    return c ? c->selection : -1;
}

intptr_t RecordingControls::ComboItemData(NativeHandle dialog, int id, int index)
{
    const Control* c = Get(dialog, id);
    if (!c || index < 0 || static_cast<std::size_t>(index) >= c->items.size()) return -1;
    return c->items[static_cast<std::size_t>(index)].data;
}

void RecordingControls::SetChecked(NativeHandle dialog, int id, bool checked)
{
    At(dialog, id).checked = checked;
    Note(id, "check", checked ? "1" : "0");
}

bool RecordingControls::IsChecked(NativeHandle dialog, int id)
{
    const Control* c = Get(dialog, id);
    return c && c->checked;
}

void RecordingControls::Enable(NativeHandle dialog, int id, bool enabled)
{
    At(dialog, id).enabled = enabled;
    Note(id, "enable", enabled ? "1" : "0");
}

bool RecordingControls::IsEnabled(NativeHandle dialog, int id)
{
    const Control* c = Get(dialog, id);
    return !c || c->enabled;
}

int RecordingControls::ShowMessage(NativeHandle owner, const char* text, const char* caption, unsigned style)
{
    messages_.push_back({owner, text, caption, style});
    return answer_;
}

const RecordingControls::Control* RecordingControls::Get(NativeHandle dialog, int id) const
{
    const auto it = controls_.find({dialog, id});
    return it == controls_.end() ? nullptr : &it->second;
}

std::string RecordingControls::TextOf(NativeHandle dialog, int id) const
{
    const Control* c = Get(dialog, id);
    return c ? c->text : std::string();
}

std::vector<std::string> RecordingControls::ComboTexts(NativeHandle dialog, int id) const
{
    std::vector<std::string> texts;
    if (const Control* c = Get(dialog, id)) {
        for (const ComboItem& item : c->items) texts.push_back(item.text);
    }
    return texts;
}

void RecordingControls::Clear()
{
    controls_.clear();
    journal_.clear();
    messages_.clear();
}

RecordingControls::Control& RecordingControls::At(NativeHandle dialog, int id) { return controls_[{dialog, id}]; }

void RecordingControls::Note(int id, const char* operation, const std::string& argument)
{
    journal_.push_back(std::to_string(id) + " " + operation + (argument.empty() ? "" : " " + argument));
}
