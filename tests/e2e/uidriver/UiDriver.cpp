// uidriver: finds the program's windows and acts on them as a user would.
// One command per run; results go to standard output, failures to standard
// error with exit code 1. TIMEOUT-MS is optional (10 s). "uidriver serve" runs
// the commands of standard input instead, one a line with its words tab apart;
// each one's output, failure included, ends with a line of \x04 and its exit code.
//   find TITLE-PREFIX | find-box TEXT | find-class CLASS [TIMEOUT-MS]: the hwnd of a visible top-level window
//     with the title, of one with a control showing the text, of one of the class (hidden ones too)
//   answer TEXT BUTTON-ID [TIMEOUT-MS]: answers the box showing TEXT;  gone HWND [TIMEOUT-MS]: waits until it goes
//   title | children | close | minimize | visible | size | origin | focus HWND: the title; the controls (id class
//     "text" [disabled]); WM_CLOSE; minimises; 1 when visible; "W H CW CH"; "X Y" of the client area's top left
//     corner on the screen; id and class of the keyboard focus
//   layout HWND: each visible control of the dialogs below it: id, kind (group, check, button, text, other),
//     its rectangle in the window's client area, the width and height its text takes in the dialog font
//     ("MS Shell Dlg" 8 at the screen's DPI) and the text, tab apart; first the client area on the screen
//   key HWND VK;  alt HWND LETTER: Alt and the letter (a mnemonic) at the keyboard focus;  command HWND ID;
//     command-exit HWND ID [TIMEOUT-MS] (prints the process's exit code)
//   post-registered HWND NAME WPARAM LPARAM: posts the window message registered under NAME
//   handles HWND: the handles and the windows (top-level and child) of the window's process
// and on the control ID anywhere below HWND:
//   exists | enabled | text | checked | trackpos | combo-items | dropped HWND ID: 1 or 0; 1 when it takes input; its
//     text; the check state; position, range and ticks; the entries (index, text, data, "*" if selected); 1 while
//     the list is open
//   page HWND ID: the hwnd of the control's parent, the page (child dialog) to address that page's ids through
//   click | post-click | drop HWND ID: clicks, returning once handled or at once; clicks the list open
//   set-text HWND ID TEXT;  trackbar HWND ID POS (with a drag's scroll messages);  combo HWND ID INDEX (as a user,
//     closing the list when it is open)
//   comctl6 HWND ID: 1 when the combo box is one of common controls 6 (it answers CB_GETMINVISIBLE), else 0
// and on files:  record FILE TEXT: appends the text as a line to the file (as the handler of a URL scheme);
//   file-version FILE: the version resource's file version numbers and its "FileVersion" text
#include <windows.h>
#include <commctrl.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// Where failures are told: standard error, standard output while serving.
std::FILE* g_failures = stderr;

int Fail(const char* what)
{
    std::fprintf(g_failures, "uidriver: %s\n", what);
    return 1;
}

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

// The first window below parent (the top-level windows when null) that matches.
template <typename Match>
HWND FirstWindow(HWND parent, Match match)
{
    struct Search {
        Match& match;
        HWND found;
    } search{match, nullptr};
    const WNDENUMPROC visit = [](HWND window, LPARAM param) -> BOOL {
        auto* s = reinterpret_cast<Search*>(param);
        if (!s->match(window)) return TRUE;
        s->found = window;
        return FALSE;
    };
    if (parent) EnumChildWindows(parent, visit, reinterpret_cast<LPARAM>(&search));
    else EnumWindows(visit, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// A visible top-level window with a control that shows the text.
HWND FindBox(const char* text)
{
    return FirstWindow(nullptr, [&](HWND window) {
        return IsWindowVisible(window) &&
               FirstWindow(window, [&](HWND child) { return WindowText(child).find(text) != std::string::npos; });
    });
}

// What the layout check tells apart: a group box holds controls, a check
// box's text stands beside its box, a push button's text is centred.
const char* ControlKind(HWND control)
{
    const std::string name = ClassName(control);
    const LONG style = GetWindowLongA(control, GWL_STYLE);
    if (name == "Button") {
        const LONG type = style & BS_TYPEMASK;
        if (type == BS_GROUPBOX) return "group";
        if (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON)
            return "check";
        return "button";
    }
    if (name == "Static" && (style & SS_TYPEMASK) <= SS_RIGHT) return "text";
    return "other";
}

void PrintLayout(HWND window)
{
    RECT client{};
    GetClientRect(window, &client);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
    std::printf("0\twindow\t%ld\t%ld\t%ld\t%ld\t0\t0\t\n", client.left, client.top, client.right, client.bottom);
    HDC dc = GetDC(nullptr);
    const int height = -MulDiv(8, GetDeviceCaps(dc, LOGPIXELSY), 72);
    HFONT font = CreateFontA(height, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "MS Shell Dlg");
    HGDIOBJ previous = SelectObject(dc, font);
    FirstWindow(window, [&](HWND control) {
        if (!IsWindowVisible(control) || ClassName(GetParent(control)) != "#32770" || ClassName(control) == "#32770")
            return false;
        RECT box{};
        GetWindowRect(control, &box);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&box), 2);
        std::string text = WindowText(control), shown;
        for (std::size_t i = 0; i < text.size(); ++i) // "&&" shows "&", "&x" underlines x
            if (text[i] != '&' || (i + 1 < text.size() && text[++i] == '&')) shown += text[i];
        SIZE extent{};
        GetTextExtentPoint32A(dc, shown.c_str(), static_cast<int>(shown.size()), &extent);
        for (char& c : shown) // one line a control
            if (c == '\t' || c == '\r' || c == '\n') c = ' ';
        std::printf("%d\t%s\t%ld\t%ld\t%ld\t%ld\t%ld\t%ld\t%s\n", GetDlgCtrlID(control), ControlKind(control), box.left,
                    box.top, box.right, box.bottom, shown.empty() ? 0L : extent.cx, extent.cy, shown.c_str());
        return false;
    });
    SelectObject(dc, previous);
    DeleteObject(font);
    ReleaseDC(nullptr, dc);
}

// The handles a process holds, from the system's list of every process's
// handles (Wine keeps them in its server and counts them there); -1 when
// the list cannot be had.
long HandleCount(DWORD processId)
{
    struct Entry {
        ULONG owner;
        BYTE type, flags;
        USHORT value;
        void* object;
        ULONG access;
    };
    struct List {
        ULONG count;
        Entry entries[1];
    };
    using Query = LONG(WINAPI*)(int, void*, ULONG, ULONG*);
    constexpr int SystemHandleInformation = 16;
    const auto query = reinterpret_cast<Query>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
    if (!query) return -1;
    for (ULONG size = 1 << 16; size <= (1u << 26); size *= 2) {
        std::string buffer(size, '\0');
        ULONG needed = 0;
        if (query(SystemHandleInformation, buffer.data(), size, &needed) < 0) continue;
        const auto* list = reinterpret_cast<const List*>(buffer.data());
        long count = 0;
        for (ULONG i = 0; i < list->count; ++i) count += list->entries[i].owner == processId;
        return count;
    }
    return -1;
}

// Polls until done() holds or the time is up.
template <typename Done>
bool WaitFor(Done done, DWORD timeoutMs)
{
    for (const ULONGLONG end = GetTickCount64() + timeoutMs;; Sleep(50)) {
        if (done()) return true;
        if (GetTickCount64() >= end) return false;
    }
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
    const auto number = [&](int index, long fallback = 0) {
        return argc > index ? std::strtol(argv[index], nullptr, 0) : fallback;
    };
    const auto timeout = [&](int index) { return static_cast<DWORD>(number(index, 10000)); };

    if (command == "record") {
        // The stand-in handler of a URL scheme: notes what it was handed.
        if (argc < 4) return Fail("record FILE TEXT");
        std::FILE* file = std::fopen(argv[2], "ab");
        if (!file) return Fail("cannot write the file");
        std::fprintf(file, "%s\n", argv[3]);
        std::fclose(file);
        return 0;
    }

    if (command == "file-version") {
        DWORD unused = 0;
        std::string block(GetFileVersionInfoSizeA(argv[2], &unused), '\0');
        VS_FIXEDFILEINFO* fixed = nullptr;
        char* text = nullptr;
        UINT length = 0;
        if (block.empty() || !GetFileVersionInfoA(argv[2], 0, static_cast<DWORD>(block.size()), block.data()) ||
            !VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length) ||
            !VerQueryValueA(block.data(), "\\StringFileInfo\\040904E4\\FileVersion", reinterpret_cast<void**>(&text), &length))
            return Fail("no version resource");
        std::printf("%d.%d.%d.%d %s\n", HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS),
                    HIWORD(fixed->dwFileVersionLS), LOWORD(fixed->dwFileVersionLS), text);
        return 0;
    }

    if (command == "find" || command == "find-box" || command == "find-class" || command == "answer") {
        if (command == "answer" && argc < 4) return Fail("answer TEXT BUTTON-ID");
        const auto find = [&]() -> HWND {
            if (command == "find-class") return FindWindowA(argv[2], nullptr);
            if (command != "find") return FindBox(argv[2]);
            return FirstWindow(nullptr, [&](HWND window) {
                char title[512] = {};
                GetWindowTextA(window, title, sizeof title);
                return IsWindowVisible(window) && std::strncmp(title, argv[2], std::strlen(argv[2])) == 0;
            });
        };
        HWND found = nullptr;
        if (!WaitFor([&] { return (found = find()) != nullptr; }, timeout(command == "answer" ? 4 : 3)))
            return Fail("no such window");
        if (command == "answer") {
            std::printf("%s\n", WindowText(found).c_str());
            PostMessageA(found, WM_COMMAND, MAKEWPARAM(number(3), BN_CLICKED), 0);
        } else {
            std::printf("%llx\n", static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(found)));
        }
        return 0;
    }

    HWND window = reinterpret_cast<HWND>(std::strtoull(argv[2], nullptr, 16));
    if (command == "gone") return WaitFor([&] { return !IsWindow(window); }, timeout(3)) ? 0 : Fail("window still there");
    if (!IsWindow(window)) return Fail("not a window");

    if (command == "title") {
        std::printf("%s\n", WindowText(window).c_str());
    } else if (command == "children") {
        FirstWindow(window, [](HWND child) { // lists them all: none matches
            std::printf("%d %s \"%s\"%s\n", GetDlgCtrlID(child), ClassName(child).c_str(), WindowText(child).c_str(),
                        IsWindowEnabled(child) ? "" : " disabled");
            return false;
        });
    } else if (command == "layout") {
        PrintLayout(window);
    } else if (command == "close") {
        PostMessageA(window, WM_CLOSE, 0, 0);
    } else if (command == "minimize") {
        PostMessageA(window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    } else if (command == "visible") {
        std::printf("%d\n", IsWindowVisible(window) ? 1 : 0);
    } else if (command == "size") {
        RECT outer{}, client{};
        GetWindowRect(window, &outer);
        GetClientRect(window, &client);
        std::printf("%ld %ld %ld %ld\n", outer.right - outer.left, outer.bottom - outer.top, client.right, client.bottom);
    } else if (command == "origin") {
        POINT corner{};
        ClientToScreen(window, &corner);
        std::printf("%ld %ld\n", corner.x, corner.y);
    } else if (command == "key") {
        if (argc < 4) return Fail("key HWND VK");
        HWND target = FocusOf(window);
        PostMessageA(target, WM_KEYDOWN, static_cast<WPARAM>(number(3)), 1);
        PostMessageA(target, WM_KEYUP, static_cast<WPARAM>(number(3)), static_cast<LPARAM>(0xC0000001u));
    } else if (command == "alt") {
        if (argc < 4) return Fail("alt HWND LETTER");
        HWND target = FocusOf(window);
        const auto letter = static_cast<unsigned char>(argv[3][0]);
        constexpr LPARAM AltDown = 1 << 29; // the context code of a key pressed with Alt
        PostMessageA(target, WM_SYSKEYDOWN, std::toupper(letter), AltDown | 1);
        PostMessageA(target, WM_SYSCHAR, letter, AltDown | 1);
        PostMessageA(target, WM_SYSKEYUP, std::toupper(letter), static_cast<LPARAM>(0xE0000001u));
    } else if (command == "focus") {
        HWND focus = FocusOf(window);
        std::printf("%d %s\n", GetDlgCtrlID(focus), ClassName(focus).c_str());
    } else if (command == "post-registered") {
        if (argc < 6) return Fail("post-registered HWND NAME WPARAM LPARAM");
        PostMessageA(window, RegisterWindowMessageA(argv[3]), static_cast<WPARAM>(number(4)), static_cast<LPARAM>(number(5)));
    } else if (command == "handles") {
        DWORD processId = 0;
        GetWindowThreadProcessId(window, &processId);
        const long handles = HandleCount(processId);
        if (handles < 0) return Fail("cannot count the process's handles");
        long windows = 0;
        FirstWindow(nullptr, [&](HWND top) {
            DWORD owner = 0;
            GetWindowThreadProcessId(top, &owner);
            if (owner != processId) return false;
            ++windows;
            FirstWindow(top, [&](HWND) {
                ++windows;
                return false;
            });
            return false;
        });
        std::printf("%ld %ld\n", handles, windows);
    } else if (command == "command") {
        if (argc < 4) return Fail("command HWND ID");
        PostMessageA(window, WM_COMMAND, static_cast<WPARAM>(number(3)), 0);
    } else if (command == "command-exit") {
        if (argc < 4) return Fail("command-exit HWND ID");
        DWORD processId = 0;
        GetWindowThreadProcessId(window, &processId);
        HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
        if (!process) return Fail("cannot open the process");
        PostMessageA(window, WM_COMMAND, static_cast<WPARAM>(number(3)), 0);
        const DWORD waited = WaitForSingleObject(process, timeout(4));
        DWORD code = 0;
        GetExitCodeProcess(process, &code);
        CloseHandle(process);
        if (waited != WAIT_OBJECT_0) return Fail("process still running");
        std::printf("%lu\n", code);
    } else {
        if (argc < 4) return Fail("missing control id");
        const int id = static_cast<int>(number(3));
        HWND control = FirstWindow(window, [&](HWND child) { return GetDlgCtrlID(child) == id; });
        if (command == "exists") {
            std::printf("%d\n", control ? 1 : 0);
            return 0;
        }
        if (!control) return Fail("no such control");
        HWND parent = GetParent(control);
        DWORD_PTR result = 0;
        // Sends and waits for the answer, as the message a user's action causes.
        const auto send = [&](HWND to, UINT message, WPARAM w, LPARAM l) {
            SendMessageTimeoutA(to, message, w, l, SMTO_NORMAL, 10000, &result);
        };
        if (command == "page") {
            std::printf("%llx\n", static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(parent)));
        } else if (command == "enabled") {
            std::printf("%d\n", IsWindowEnabled(control) ? 1 : 0);
        } else if (command == "text") {
            std::printf("%s\n", WindowText(control).c_str());
        } else if (command == "set-text") {
            if (argc < 5) return Fail("set-text HWND ID TEXT");
            send(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[4]));
        } else if (command == "checked") {
            std::printf("%lld\n", static_cast<long long>(SendMessageA(control, BM_GETCHECK, 0, 0)));
        } else if (command == "click") {
            send(control, BM_CLICK, 0, 0);
        } else if (command == "post-click") {
            PostMessageA(control, BM_CLICK, 0, 0);
        } else if (command == "trackbar") {
            if (argc < 5) return Fail("trackbar HWND ID POS");
            const int position = static_cast<int>(number(4));
            // What a drag sends: the thumb moves, then the scroll notifications.
            SendMessageA(control, TBM_SETPOS, TRUE, position);
            send(parent, WM_HSCROLL, MAKEWPARAM(TB_THUMBTRACK, position), reinterpret_cast<LPARAM>(control));
            send(parent, WM_HSCROLL, MAKEWPARAM(TB_ENDTRACK, 0), reinterpret_cast<LPARAM>(control));
        } else if (command == "trackpos") {
            for (const UINT message : {TBM_GETPOS, TBM_GETRANGEMIN, TBM_GETRANGEMAX, TBM_GETNUMTICS})
                std::printf("%lld%c", static_cast<long long>(SendMessageA(control, message, 0, 0)),
                            message == TBM_GETNUMTICS ? '\n' : ' ');
        } else if (command == "combo") {
            if (argc < 5) return Fail("combo HWND ID INDEX");
            SendMessageA(control, CB_SETCURSEL, static_cast<WPARAM>(number(4)), 0);
            send(parent, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(control));
            // An entry picked from an open list closes it.
            if (SendMessageA(control, CB_GETDROPPEDSTATE, 0, 0)) send(control, CB_SHOWDROPDOWN, FALSE, 0);
        } else if (command == "drop") {
            RECT box{};
            GetClientRect(control, &box);
            const LPARAM middle = MAKELPARAM(box.right / 2, box.bottom / 2);
            PostMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, middle);
            PostMessageA(control, WM_LBUTTONUP, 0, middle);
            if (!WaitFor([&] { return SendMessageA(control, CB_GETDROPPEDSTATE, 0, 0) != 0; }, 10000))
                return Fail("the list did not open");
        } else if (command == "comctl6") {
            // A combo box of user32 (common controls 5) does not know the message and answers 0.
            std::printf("%d\n", SendMessageA(control, CB_GETMINVISIBLE, 0, 0) > 0 ? 1 : 0);
        } else if (command == "dropped") {
            std::printf("%d\n", SendMessageA(control, CB_GETDROPPEDSTATE, 0, 0) ? 1 : 0);
        } else if (command == "combo-items") {
            const LRESULT count = SendMessageA(control, CB_GETCOUNT, 0, 0), selected = SendMessageA(control, CB_GETCURSEL, 0, 0);
            for (LRESULT i = 0; i < count; ++i) {
                // Through the wide message: Wine hands another process's
                // item text over in UTF-16 whichever form is asked for.
                wchar_t wide[256] = {};
                char text[256] = {};
                if (SendMessageW(control, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0) < 256)
                    SendMessageW(control, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(wide));
                WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr);
                std::printf("%lld\t%s\t%lld%s\n", static_cast<long long>(i), text,
                            static_cast<long long>(SendMessageA(control, CB_GETITEMDATA, static_cast<WPARAM>(i), 0)),
                            i == selected ? "\t*" : "");
            }
        } else {
            return Fail("unknown command");
        }
    }
    return 0;
}

} // namespace

// The commands of standard input, one a line, until it ends.
int Serve()
{
    g_failures = stdout;
    char line[4096];
    while (std::fgets(line, sizeof line, stdin)) {
        line[std::strcspn(line, "\r\n")] = '\0';
        char* words[16] = {const_cast<char*>("uidriver")};
        int count = 1;
        for (char* word = std::strtok(line, "\t"); word && count < 16; word = std::strtok(nullptr, "\t"))
            words[count++] = word;
        std::printf("\x04%d\n", Run(count, words));
        std::fflush(stdout);
    }
    return 0;
}

int main(int argc, char** argv)
{
    // Rectangles and text as the system has them, whatever the DPI.
    SetProcessDPIAware();
    const int code = argc == 2 && std::strcmp(argv[1], "serve") == 0 ? Serve() : Run(argc, argv);
    std::fflush(stdout);
    return code;
}
