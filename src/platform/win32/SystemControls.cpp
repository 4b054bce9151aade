#include "platform/Controls.h"

#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>

namespace {

HWND Dialog(NativeHandle dialog) { return static_cast<HWND>(dialog); }

LRESULT Send(NativeHandle dialog, int id, UINT message, WPARAM w, LPARAM l)
{
    return SendDlgItemMessageA(Dialog(dialog), id, message, w, l);
}

// The dialog's controls, reached through its window.
class DialogControls final : public Controls {
public:
    void SetText(NativeHandle dialog, int id, const char* text) override { SetDlgItemTextA(Dialog(dialog), id, text); }

    std::size_t Text(NativeHandle dialog, int id, char* buffer, std::size_t size) override
    {
        if (size == 0) return 0;
        const int cap = size > 0x7fffffff ? 0x7fffffff : static_cast<int>(size);
        return GetDlgItemTextA(Dialog(dialog), id, buffer, cap);
    }

    NativeHandle Find(NativeHandle dialog, int id) override { return GetDlgItem(Dialog(dialog), id); }

    void SetTrackbarRange(NativeHandle dialog, int id, int minimum, int maximum) override
    {
        Send(dialog, id, TBM_SETRANGE, FALSE,
             MAKELPARAM(static_cast<WORD>(minimum & 0xffff), static_cast<WORD>(maximum & 0xffff)));
    }

    void AddTrackbarTick(NativeHandle dialog, int id, int position) override
    {
        Send(dialog, id, TBM_SETTIC, 0, position);
    }

    void SetTrackbarPosition(NativeHandle dialog, int id, int position) override
    {
        Send(dialog, id, TBM_SETPOS, TRUE, position);
    }

    int TrackbarPosition(NativeHandle dialog, int id) override
    {
        return static_cast<int>(Send(dialog, id, TBM_GETPOS, 0, 0));
    }

    void ResetCombo(NativeHandle dialog, int id) override { Send(dialog, id, CB_RESETCONTENT, 0, 0); }

    void AddComboItem(NativeHandle dialog, int id, const char* text, intptr_t data) override
    {
        const LRESULT index = Send(dialog, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
        if (index >= 0) Send(dialog, id, CB_SETITEMDATA, static_cast<WPARAM>(index), data);
    }

    void SelectComboItem(NativeHandle dialog, int id, int index) override
    {
        Send(dialog, id, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    }

    int ComboSelection(NativeHandle dialog, int id) override
    {
        return static_cast<int>(Send(dialog, id, CB_GETCURSEL, 0, 0));
    }

    intptr_t ComboItemData(NativeHandle dialog, int id, int index) override
    {
        return Send(dialog, id, CB_GETITEMDATA, static_cast<WPARAM>(index), 0);
    }

    void SetChecked(NativeHandle dialog, int id, bool checked) override
    {
        CheckDlgButton(Dialog(dialog), id, checked ? BST_CHECKED : BST_UNCHECKED);
    }

    bool IsChecked(NativeHandle dialog, int id) override
    {
        return IsDlgButtonChecked(Dialog(dialog), id) == BST_CHECKED;
    }

    void Enable(NativeHandle dialog, int id, bool enabled) override
    {
        EnableWindow(GetDlgItem(Dialog(dialog), id), enabled ? TRUE : FALSE);
    }

    bool IsEnabled(NativeHandle dialog, int id) override
    {
        return IsWindowEnabled(GetDlgItem(Dialog(dialog), id)) != FALSE;
    }

    int ShowMessage(NativeHandle owner, const char* text, const char* caption, unsigned style) override
    {
        return MessageBoxA(static_cast<HWND>(owner), text, caption, style);
    }

    bool ChooseFile(NativeHandle owner, bool save, const char* title, const char* filter, const char* extension,
                    char* path, std::size_t size) override
    {
        OPENFILENAMEA dialog{};
        dialog.lStructSize = sizeof dialog;
        dialog.hwndOwner = static_cast<HWND>(owner);
        dialog.lpstrFilter = filter;
        dialog.lpstrFile = path;
        dialog.nMaxFile = size > 0xffff ? 0xffff : static_cast<DWORD>(size);
        dialog.lpstrTitle = title;
        dialog.lpstrDefExt = extension;
        // The program's own files are named relative to the working folder,
        // which the dialog would otherwise leave in the folder chosen.
        dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST |
                       (save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST);
        return (save ? GetSaveFileNameA(&dialog) : GetOpenFileNameA(&dialog)) != FALSE;
    }
};

} // namespace

Controls& SystemControls()
{
    static DialogControls controls;
    return controls;
}
