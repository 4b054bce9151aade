// uidriver: finds the program's windows and acts on them as a user would.
// One command per run; results go to standard output, failures to standard
// error with exit code 1.
//
//   find TITLE-PREFIX [TIMEOUT-MS]        hwnd of a visible top-level window
//   find-box TEXT [TIMEOUT-MS]            hwnd of a message box or dialog showing TEXT
//   gone HWND [TIMEOUT-MS]                waits until the window no longer exists
//   title HWND                            the window's title
//   text HWND ID                          text of the control ID anywhere below HWND
//   exists HWND ID                        "1" when control ID exists below HWND, else "0"
//   enabled HWND ID                       "1" when control ID is enabled
//   set-text HWND ID TEXT                 types TEXT into an edit control (replacing its text)
//   checked HWND ID                       check state of a check box
//   trackbar HWND ID POS                  moves a trackbar and sends the scroll messages of a drag
//   trackpos HWND ID                      a trackbar's position, range and ticks
//   click HWND ID                         clicks a button (returns once handled)
//   post-click HWND ID                    clicks a button without waiting (for buttons opening boxes)
//   combo HWND ID INDEX                   chooses a combo entry as a user does
//   combo-items HWND ID                   the combo's entries: index, text, item data, "*" if selected
//   drop HWND ID                          clicks a drop-down list open; fails when it does not open
//   dropped HWND ID                       "1" while the combo's list is open
//   answer TEXT BUTTON-ID [TIMEOUT-MS]    answers the box showing TEXT with a button
//   key HWND VK                           presses and releases a key in the window's focus
//   focus HWND                            id and class of the window with the keyboard focus
//   command HWND ID                       posts WM_COMMAND ID to the window
//   close HWND                            posts WM_CLOSE
//   minimize HWND / restore HWND          minimises / restores the window
//   visible HWND                          "1" when the window is visible
//   size HWND                             window and client sizes: "W H CW CH"
//   wait-exit HWND [TIMEOUT-MS]           waits for the window's process to end, prints its exit code
//   command-exit HWND ID [TIMEOUT-MS]     posts WM_COMMAND ID, waits for the process to end, prints its exit code
//   children HWND                         lists the controls below HWND: id class "text"
//   find-class CLASS [TIMEOUT-MS]         hwnd of a top-level window of that class (hidden ones too)
//   post-registered HWND NAME WPARAM LPARAM  posts the window message registered under NAME
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

int Fail(const char* what)
{
    std::fprintf(stderr, "uidriver: %s\n", what);
    return 1;
}

HWND ParseWindow(const char* text) { return reinterpret_cast<HWND>(std::strtoull(text, nullptr, 16)); }

void PrintWindow(HWND window) { std::printf("%llx\n", static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(window))); }

std::string WindowText(HWND window)
{
    char text[1024] = {};
    DWORD_PTR unused = 0;
    // Through WM_GETTEXT so that controls of another process answer too.
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000, &unused);
    return text;
}

std::string ClassName(HWND window)
{
    char name[128] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

// Polls until found() gives a window or the time is up.
template <typename Finder>
HWND WaitFor(Finder found, DWORD timeoutMs)
{
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    for (;;) {
        if (HWND window = found()) return window;
        if (GetTickCount64() >= end) return nullptr;
        Sleep(50);
    }
}

struct ControlSearch {
    int id;
    HWND found;
};

BOOL CALLBACK MatchControl(HWND window, LPARAM param)
{
    auto* search = reinterpret_cast<ControlSearch*>(param);
    if (GetDlgCtrlID(window) == search->id) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND Control(HWND parent, const char* id)
{
    ControlSearch search{std::atoi(id), nullptr};
    EnumChildWindows(parent, MatchControl, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

struct TitleSearch {
    const char* prefix;
    HWND found;
};

BOOL CALLBACK MatchTitle(HWND window, LPARAM param)
{
    auto* search = reinterpret_cast<TitleSearch*>(param);
    if (!IsWindowVisible(window)) return TRUE;
    char title[512] = {};
    GetWindowTextA(window, title, sizeof title);
    if (std::strncmp(title, search->prefix, std::strlen(search->prefix)) == 0) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

struct TextSearch {
    const char* text;
    bool hit;
};

BOOL CALLBACK ChildShowsText(HWND window, LPARAM param)
{
    auto* search = reinterpret_cast<TextSearch*>(param);
    if (WindowText(window).find(search->text) != std::string::npos) {
        search->hit = true;
        return FALSE;
    }
    return TRUE;
}

struct BoxSearch {
    const char* text;
    HWND found;
};

BOOL CALLBACK MatchBox(HWND window, LPARAM param)
{
    auto* search = reinterpret_cast<BoxSearch*>(param);
    if (!IsWindowVisible(window)) return TRUE;
    TextSearch inner{search->text, false};
    EnumChildWindows(window, ChildShowsText, reinterpret_cast<LPARAM>(&inner));
    if (inner.hit) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND FindBox(const char* text)
{
    BoxSearch search{text, nullptr};
    EnumWindows(MatchBox, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

BOOL CALLBACK ListChild(HWND window, LPARAM)
{
    std::printf("%d %s \"%s\"%s\n", GetDlgCtrlID(window), ClassName(window).c_str(), WindowText(window).c_str(),
                IsWindowEnabled(window) ? "" : " disabled");
    return TRUE;
}

DWORD Timeout(int argc, char** argv, int index, DWORD fallback)
{
    return argc > index ? static_cast<DWORD>(std::atol(argv[index])) : fallback;
}

// The window that has the keyboard focus in the thread of the given window.
HWND FocusOf(HWND window)
{
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) && info.hwndFocus) return info.hwndFocus;
    return window;
}

int Run(int argc, char** argv)
{
    if (argc < 3) return Fail("usage: uidriver COMMAND ARGS...");
    const std::string command = argv[1];

    if (command == "find") {
        HWND window = WaitFor([&] {
            TitleSearch search{argv[2], nullptr};
            EnumWindows(MatchTitle, reinterpret_cast<LPARAM>(&search));
            return search.found;
        }, Timeout(argc, argv, 3, 10000));
        if (!window) return Fail("no such window");
        PrintWindow(window);
        return 0;
    }
    if (command == "find-box") {
        HWND box = WaitFor([&] { return FindBox(argv[2]); }, Timeout(argc, argv, 3, 10000));
        if (!box) return Fail("no such box");
        PrintWindow(box);
        return 0;
    }
    if (command == "find-class") {
        HWND window = WaitFor([&] { return FindWindowA(argv[2], nullptr); }, Timeout(argc, argv, 3, 10000));
        if (!window) return Fail("no window of that class");
        PrintWindow(window);
        return 0;
    }
    if (command == "answer") {
        if (argc < 4) return Fail("answer TEXT BUTTON-ID");
        HWND box = WaitFor([&] { return FindBox(argv[2]); }, Timeout(argc, argv, 4, 10000));
        if (!box) return Fail("no such box");
        std::printf("%s\n", WindowText(box).c_str());
        PostMessageA(box, WM_COMMAND, MAKEWPARAM(std::atoi(argv[3]), BN_CLICKED), 0);
        return 0;
    }

    HWND window = ParseWindow(argv[2]);
    if (command == "gone") {
        const ULONGLONG end = GetTickCount64() + Timeout(argc, argv, 3, 10000);
        while (IsWindow(window)) {
            if (GetTickCount64() >= end) return Fail("window still there");
            Sleep(50);
        }
        return 0;
    }
    if (!IsWindow(window)) return Fail("not a window");

    if (command == "title") {
        std::printf("%s\n", WindowText(window).c_str());
    } else if (command == "children") {
        EnumChildWindows(window, ListChild, 0);
    } else if (command == "close") {
        PostMessageA(window, WM_CLOSE, 0, 0);
    } else if (command == "minimize") {
        PostMessageA(window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    } else if (command == "restore") {
        PostMessageA(window, WM_SYSCOMMAND, SC_RESTORE, 0);
    } else if (command == "visible") {
        std::printf("%d\n", IsWindowVisible(window) ? 1 : 0);
    } else if (command == "size") {
        RECT outer{}, client{};
        GetWindowRect(window, &outer);
        GetClientRect(window, &client);
        std::printf("%ld %ld %ld %ld\n", outer.right - outer.left, outer.bottom - outer.top, client.right, client.bottom);
    } else if (command == "key") {
        if (argc < 4) return Fail("key HWND VK");
        const WPARAM key = static_cast<WPARAM>(std::strtoul(argv[3], nullptr, 0));
        HWND target = FocusOf(window);
        PostMessageA(target, WM_KEYDOWN, key, 1);
        PostMessageA(target, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001u));
    } else if (command == "focus") {
        HWND focus = FocusOf(window);
        std::printf("%d %s\n", GetDlgCtrlID(focus), ClassName(focus).c_str());
    } else if (command == "post-registered") {
        if (argc < 6) return Fail("post-registered HWND NAME WPARAM LPARAM");
        const UINT message = RegisterWindowMessageA(argv[3]);
        PostMessageA(window, message, static_cast<WPARAM>(std::strtoul(argv[4], nullptr, 0)),
                     static_cast<LPARAM>(std::strtol(argv[5], nullptr, 0)));
    } else if (command == "command") {
        if (argc < 4) return Fail("command HWND ID");
        PostMessageA(window, WM_COMMAND, static_cast<WPARAM>(std::atoi(argv[3])), 0);
    } else if (command == "wait-exit" || command == "command-exit") {
        DWORD processId = 0;
        GetWindowThreadProcessId(window, &processId);
        HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
        if (!process) return Fail("cannot open the process");
        int timeoutIndex = 3;
        if (command == "command-exit") {
            if (argc < 4) return Fail("command-exit HWND ID");
            PostMessageA(window, WM_COMMAND, static_cast<WPARAM>(std::atoi(argv[3])), 0);
            timeoutIndex = 4;
        }
        const DWORD waited = WaitForSingleObject(process, Timeout(argc, argv, timeoutIndex, 10000));
        DWORD code = 0;
        GetExitCodeProcess(process, &code);
        CloseHandle(process);
        if (waited != WAIT_OBJECT_0) return Fail("process still running");
        std::printf("%lu\n", code);
    } else {
        if (argc < 4) return Fail("missing control id");
        HWND control = Control(window, argv[3]);
        if (command == "exists") {
            std::printf("%d\n", control ? 1 : 0);
            return 0;
        }
        if (!control) return Fail("no such control");
        HWND parent = GetParent(control);
        const WORD id = static_cast<WORD>(std::atoi(argv[3]));
        DWORD_PTR result = 0;
        if (command == "text") {
            std::printf("%s\n", WindowText(control).c_str());
        } else if (command == "set-text") {
            if (argc < 5) return Fail("set-text HWND ID TEXT");
            SendMessageTimeoutA(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[4]), SMTO_NORMAL, 10000, &result);
        } else if (command == "enabled") {
            std::printf("%d\n", IsWindowEnabled(control) ? 1 : 0);
        } else if (command == "checked") {
            std::printf("%lld\n", static_cast<long long>(SendMessageA(control, BM_GETCHECK, 0, 0)));
        } else if (command == "click") {
            SendMessageTimeoutA(control, BM_CLICK, 0, 0, SMTO_NORMAL, 10000, &result);
        } else if (command == "post-click") {
            PostMessageA(control, BM_CLICK, 0, 0);
        } else if (command == "trackbar") {
            if (argc < 5) return Fail("trackbar HWND ID POS");
            const int position = std::atoi(argv[4]);
            // What a drag sends: the thumb moves, then the scroll notifications.
            SendMessageA(control, TBM_SETPOS, TRUE, position);
            SendMessageTimeoutA(parent, WM_HSCROLL, MAKEWPARAM(TB_THUMBTRACK, position),
                                reinterpret_cast<LPARAM>(control), SMTO_NORMAL, 10000, &result);
            SendMessageTimeoutA(parent, WM_HSCROLL, MAKEWPARAM(TB_ENDTRACK, 0), reinterpret_cast<LPARAM>(control),
                                SMTO_NORMAL, 10000, &result);
        } else if (command == "trackpos") {
            std::printf("%lld %lld %lld %lld\n", static_cast<long long>(SendMessageA(control, TBM_GETPOS, 0, 0)),
                        static_cast<long long>(SendMessageA(control, TBM_GETRANGEMIN, 0, 0)),
                        static_cast<long long>(SendMessageA(control, TBM_GETRANGEMAX, 0, 0)),
                        static_cast<long long>(SendMessageA(control, TBM_GETNUMTICS, 0, 0)));
        } else if (command == "combo") {
            if (argc < 5) return Fail("combo HWND ID INDEX");
            SendMessageA(control, CB_SETCURSEL, static_cast<WPARAM>(std::atoi(argv[4])), 0);
            SendMessageTimeoutA(parent, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(control),
                                SMTO_NORMAL, 10000, &result);
        } else if (command == "drop") {
            RECT box{};
            GetClientRect(control, &box);
            const LPARAM middle = MAKELPARAM(box.right / 2, box.bottom / 2);
            PostMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, middle);
            PostMessageA(control, WM_LBUTTONUP, 0, middle);
            const bool open = WaitFor([&] {
                return SendMessageA(control, CB_GETDROPPEDSTATE, 0, 0) ? control : nullptr;
            }, 10000) != nullptr;
            if (!open) return Fail("the list did not open");
        } else if (command == "dropped") {
            std::printf("%d\n", SendMessageA(control, CB_GETDROPPEDSTATE, 0, 0) ? 1 : 0);
        } else if (command == "combo-items") {
            const LRESULT count = SendMessageA(control, CB_GETCOUNT, 0, 0);
            const LRESULT selected = SendMessageA(control, CB_GETCURSEL, 0, 0);
            for (LRESULT i = 0; i < count; ++i) {
                // Through the wide message: Wine hands another process's
                // item text over in UTF-16 whichever form is asked for.
                wchar_t wide[256] = {};
                char text[256] = {};
                if (SendMessageW(control, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0) < 256) {
                    SendMessageW(control, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(wide));
                }
                WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr);
                const LRESULT data = SendMessageA(control, CB_GETITEMDATA, static_cast<WPARAM>(i), 0);
                std::printf("%lld\t%s\t%lld%s\n", static_cast<long long>(i), text, static_cast<long long>(data),
                            i == selected ? "\t*" : "");
            }
        } else {
            return Fail("unknown command");
        }
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    const int code = Run(argc, argv);
    std::fflush(stdout);
    return code;
}
