#pragma once

#include "platform/Controls.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <utility>
#include <vector>

// Controls held in memory: every control that is written to comes into
// being with its first write (an unknown id reads as empty). Each write is
// also noted in a journal, one line "<id> <operation> <argument>", so a test
// can tell "left unchanged" from "written with the same text".
class RecordingControls final : public Controls {
public:
    struct ComboItem { std::string text; intptr_t data = 0; };
    struct Control {
        std::string text;
        bool hasRange = false;
        int rangeMinimum = 0, rangeMaximum = 0;
        std::vector<int> ticks;
        int position = 0;
        std::vector<ComboItem> items;
        int selection = -1;
        bool checked = false, enabled = true;
    };
    struct Message { NativeHandle owner = nullptr; std::string text, caption; unsigned style = 0; };

    void SetText(NativeHandle dialog, int id, const char* text) override { At(dialog, id, "text", text).text = text; }
    std::size_t Text(NativeHandle dialog, int id, char* buffer, std::size_t size) override
    {
        if (size == 0) return 0;
        const std::string text = TextOf(dialog, id);
        const std::size_t n = std::min(text.size(), size - 1);
        std::memcpy(buffer, text.data(), n);
        buffer[n] = '\0';
        return n;
    }
    // The map's nodes stay put, so a control's address serves as its window.
    NativeHandle Find(NativeHandle dialog, int id) override { return dialog && id ? &controls_[{dialog, id}] : nullptr; }
    void SetTrackbarRange(NativeHandle dialog, int id, int minimum, int maximum) override
    {
        const int low = static_cast<int16_t>(minimum), high = static_cast<int16_t>(maximum);
        Control& c = At(dialog, id, "range", std::to_string(low) + ".." + std::to_string(high));
        c.hasRange = true, c.rangeMinimum = low, c.rangeMaximum = high;
    }
    void AddTrackbarTick(NativeHandle dialog, int id, int position) override
    {
        At(dialog, id, "tick", std::to_string(position)).ticks.push_back(position);
    }
    void SetTrackbarPosition(NativeHandle dialog, int id, int position) override
    {
        At(dialog, id, "position", std::to_string(position)).position = position;
    }
    int TrackbarPosition(NativeHandle dialog, int id) override { return Get(dialog, id) ? Get(dialog, id)->position : 0; }
    void ResetCombo(NativeHandle dialog, int id) override
    {
        Control& c = At(dialog, id, "reset", "");
        c.items.clear(), c.selection = -1;
    }
    void AddComboItem(NativeHandle dialog, int id, const char* text, intptr_t data) override
    {
        At(dialog, id, "add", text).items.push_back({text, data});
    }
    // As CB_SETCURSEL: an index outside the list clears the selection.
    void SelectComboItem(NativeHandle dialog, int id, int index) override
    {
        Control& c = At(dialog, id, "select", std::to_string(index));
        c.selection = index >= 0 && static_cast<std::size_t>(index) < c.items.size() ? index : -1;
    }
    int ComboSelection(NativeHandle dialog, int id) override { return Get(dialog, id) ? Get(dialog, id)->selection : -1; }
    intptr_t ComboItemData(NativeHandle dialog, int id, int index) override
    {
        const Control* c = Get(dialog, id);
        if (!c || index < 0 || static_cast<std::size_t>(index) >= c->items.size()) return -1;
        return c->items[static_cast<std::size_t>(index)].data;
    }
    void SetChecked(NativeHandle dialog, int id, bool on) override { At(dialog, id, "check", on ? "1" : "0").checked = on; }
    bool IsChecked(NativeHandle dialog, int id) override { return Get(dialog, id) && Get(dialog, id)->checked; }
    void Enable(NativeHandle dialog, int id, bool on) override { At(dialog, id, "enable", on ? "1" : "0").enabled = on; }
    bool IsEnabled(NativeHandle dialog, int id) override { return !Get(dialog, id) || Get(dialog, id)->enabled; }
    int ShowMessage(NativeHandle owner, const char* text, const char* caption, unsigned style) override
    {
        messages_.push_back({owner, text, caption, style});
        return answer_;
    }

    // The file chosen next (the dialog starts at its name when it is one
    // of the program's); none: the user cancels.
    bool ChooseFile(NativeHandle, bool save, const char* title, const char*, const char* extension, char* path,
                    std::size_t size) override
    {
        fileDialogs_.push_back(std::string(save ? "save " : "open ") + title + " " + path + " ." + extension);
        if (chosen_.empty() || chosen_.front().size() >= size) return false;
        chosen_.front().copy(path, size - 1);
        path[chosen_.front().size()] = '\0';
        chosen_.erase(chosen_.begin());
        return true;
    }
    void ChooseFiles(std::vector<std::string> paths) { chosen_ = std::move(paths); }
    // "open|save TITLE NAME .EXT" of each file dialog shown.
    const std::vector<std::string>& FileDialogs() const { return fileDialogs_; }

    // The control as it stands, or null when nothing was written to it.
    const Control* Get(NativeHandle dialog, int id) const
    {
        const auto it = controls_.find({dialog, id});
        return it == controls_.end() ? nullptr : &it->second;
    }
    // Its text, empty when nothing was written to it.
    std::string TextOf(NativeHandle dialog, int id) const { return Get(dialog, id) ? Get(dialog, id)->text : std::string(); }
    // The texts of its combo items in order.
    std::vector<std::string> ComboTexts(NativeHandle dialog, int id) const
    {
        std::vector<std::string> texts;
        if (const Control* c = Get(dialog, id))
            for (const ComboItem& item : c->items) texts.push_back(item.text);
        return texts;
    }

    const std::vector<std::string>& Journal() const { return journal_; }
    const std::vector<Message>& Messages() const { return messages_; }
    // The answer ShowMessage gives (IDOK = 1 unless set).
    void SetMessageAnswer(int answer) { answer_ = answer; }
    void Clear() { controls_.clear(), journal_.clear(), messages_.clear(); }

private:
    // The control, after noting the write in the journal.
    Control& At(NativeHandle dialog, int id, const char* operation, const std::string& argument)
    {
        journal_.push_back(std::to_string(id) + " " + operation + (argument.empty() ? "" : " " + argument));
        return controls_[{dialog, id}];
    }

    std::map<std::pair<NativeHandle, int>, Control> controls_;
    std::vector<std::string> journal_;
    std::vector<Message> messages_;
    std::vector<std::string> chosen_, fileDialogs_;
    int answer_ = 1;
};
