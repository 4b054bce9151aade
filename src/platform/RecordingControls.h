#pragma once

#include "platform/Controls.h"

#include <map>
#include <string>
#include <utility>
#include <vector>

// Controls held in memory: every control that is written to comes into
// being with its first write (an unknown id reads as empty). Each write is
// also noted in a journal, so a test can tell "left unchanged" from
// "written with the same text".
class RecordingControls final : public Controls {
public:
    struct ComboItem {
        std::string text;
        intptr_t data = 0;
    };
    struct Control {
        std::string text;
        bool hasRange = false;
        int rangeMinimum = 0;
        int rangeMaximum = 0;
        std::vector<int> ticks;
        int position = 0;
        std::vector<ComboItem> items;
        int selection = -1;
        bool checked = false;
        bool enabled = true;
    };
    struct Message {
        NativeHandle owner = nullptr;
        std::string text;
        std::string caption;
        unsigned style = 0;
    };

    void SetText(NativeHandle dialog, int id, const char* text) override;
    std::size_t Text(NativeHandle dialog, int id, char* buffer, std::size_t size) override;
    NativeHandle Find(NativeHandle dialog, int id) override;
    void SetTrackbarRange(NativeHandle dialog, int id, int minimum, int maximum) override;
    void AddTrackbarTick(NativeHandle dialog, int id, int position) override;
    void SetTrackbarPosition(NativeHandle dialog, int id, int position) override;
    int TrackbarPosition(NativeHandle dialog, int id) override;
    void ResetCombo(NativeHandle dialog, int id) override;
    void AddComboItem(NativeHandle dialog, int id, const char* text, intptr_t data) override;
    void SelectComboItem(NativeHandle dialog, int id, int index) override;
    int ComboSelection(NativeHandle dialog, int id) override;
    intptr_t ComboItemData(NativeHandle dialog, int id, int index) override;
    void SetChecked(NativeHandle dialog, int id, bool checked) override;
    bool IsChecked(NativeHandle dialog, int id) override;
    void Enable(NativeHandle dialog, int id, bool enabled) override;
    bool IsEnabled(NativeHandle dialog, int id) override;
    int ShowMessage(NativeHandle owner, const char* text, const char* caption, unsigned style) override;

    // The control as it stands, or null when nothing was written to it.
    const Control* Get(NativeHandle dialog, int id) const;
    // Its text, empty when nothing was written to it.
    std::string TextOf(NativeHandle dialog, int id) const;
    // The texts of its combo items in order.
    std::vector<std::string> ComboTexts(NativeHandle dialog, int id) const;

    // One line per write: "<id> <operation> <argument>".
    const std::vector<std::string>& Journal() const { return journal_; }
    const std::vector<Message>& Messages() const { return messages_; }
    // The answer ShowMessage gives (IDOK = 1 unless set).
    void SetMessageAnswer(int answer) { answer_ = answer; }
    void Clear();

private:
    Control& At(NativeHandle dialog, int id);
    void Note(int id, const char* operation, const std::string& argument);

    std::map<std::pair<NativeHandle, int>, Control> controls_;
    std::vector<std::string> journal_;
    std::vector<Message> messages_;
    int answer_ = 1;
};
