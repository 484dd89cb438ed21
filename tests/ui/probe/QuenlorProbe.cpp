// Looks at the running Quenlor window from outside, for the end-to-end test:
//   QuenlorProbe window OUT   the window's frame and each control's rectangle (screen pixels)
//   QuenlorProbe controls OUT each control's identifier, "enabled" or "disabled", and text
//   QuenlorProbe cells OUT    "rows N", then every row of the file list: tick, five cells
//   QuenlorProbe item ROW OUT the rectangle of row ROW (1-based) of the file list, screen pixels
//   QuenlorProbe popup OUT    the first open popup menu (or "popup none"), then "popups N"
//   QuenlorProbe dialog OUT   the title and rectangle of the foreground window
//   QuenlorProbe about OUT    the About window's frame, its OK button (screen pixels) and the
//                             system's colours of a dialog frame, or "about none"; then
//                             whether the main window takes input
//   QuenlorProbe focus OUT    the classes of the program's active and focus windows, then
//                             "iconic" or "normal", then "focusid" and the focus's control id
//   QuenlorProbe tip OUT      "text" and the text of the program's tip on show, or "tip none"
//   QuenlorProbe close OUT    asks the window to close (cleaning up after a failed test)
// Writes UTF-8 lines to OUT; exits with 2 when the window is not there.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

std::string Utf8(const std::wstring& text) {
    if (text.empty()) return std::string();
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), out.data(), size,
                        nullptr, nullptr);
    return out;
}

// Memory in the list's process for the messages that carry pointers.
class RemoteBuffer {
  public:
    RemoteBuffer(HWND window, size_t size) : size_(size) {
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        process_ =
            OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
        if (process_)
            memory_ =
                VirtualAllocEx(process_, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    }
    ~RemoteBuffer() {
        if (memory_) VirtualFreeEx(process_, memory_, 0, MEM_RELEASE);
        if (process_) CloseHandle(process_);
    }
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;

    bool ok() const { return memory_ != nullptr; }
    char* at(size_t offset) const { return static_cast<char*>(memory_) + offset; }
    bool Write(size_t offset, const void* data, size_t size) const {
        return WriteProcessMemory(process_, at(offset), data, size, nullptr) != 0;
    }
    bool Read(size_t offset, void* data, size_t size) const {
        return ReadProcessMemory(process_, at(offset), data, size, nullptr) != 0;
    }

  private:
    HANDLE process_ = nullptr;
    void* memory_ = nullptr;
    size_t size_;
};

HWND FindForm() {
    return FindWindowW(L"Quenlor.Form1", nullptr);
}

HWND FindList(HWND form) {
    return FindWindowExW(form, nullptr, WC_LISTVIEWW, nullptr);
}

void PrintRect(FILE* out, const char* name, const RECT& r) {
    std::fprintf(out, "%s %ld %ld %ld %ld\n", name, r.left, r.top, r.right, r.bottom);
}

std::wstring CellText(HWND list, const RemoteBuffer& buffer, int row, int column) {
    constexpr size_t kTextOffset = 256, kChars = 2048;
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = reinterpret_cast<wchar_t*>(buffer.at(kTextOffset));
    item.cchTextMax = kChars;
    buffer.Write(0, &item, sizeof(item));
    const LRESULT length =
        SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(buffer.at(0)));
    std::wstring text(kChars, L'\0');
    buffer.Read(kTextOffset, text.data(), kChars * sizeof(wchar_t));
    text.resize(static_cast<size_t>(length));
    return text;
}

// One command; its answer goes to `out`. 0 when answered, 2 when the window is not there.
int Answer(const std::vector<std::wstring>& args, FILE* out) {
    const std::wstring command = args.empty() ? std::wstring() : args[0];
    int result = 0;
    HWND form = FindForm();
    if (command == L"dialog") {
        HWND top = GetForegroundWindow();
        wchar_t title[256] = {};
        if (top) GetWindowTextW(top, title, 256);
        RECT r = {};
        if (top) GetWindowRect(top, &r);
        std::fprintf(out, "%s\n", Utf8(title).c_str());
        PrintRect(out, "rect", r);
    } else if (!form) {
        result = 2;
    } else if (command == L"close") {
        PostMessageW(form, WM_CLOSE, 0, 0);
        std::fprintf(out, "closing\n");
    } else if (command == L"popup") {
        // The first open popup menu (a visible window of the menu class), then how many are open.
        HWND first = nullptr;
        int open = 0;
        for (HWND popup = nullptr; (popup = FindWindowExW(nullptr, popup, L"#32768", nullptr));) {
            if (!IsWindowVisible(popup)) continue;
            if (!first) first = popup;
            ++open;
        }
        RECT r = {};
        if (first && GetWindowRect(first, &r)) {
            PrintRect(out, "popup", r);
        } else {
            std::fprintf(out, "popup none\n");
        }
        std::fprintf(out, "popups %d\n", open);
    } else if (command == L"about") {
        HWND about = FindWindowW(L"Quenlor.Form2", nullptr);
        RECT r = {};
        // Only once it is shown: the window exists (hidden) a moment before its owner waits.
        if (about && IsWindowVisible(about) && GetWindowRect(about, &r)) {
            PrintRect(out, "about", r);
            HWND ok = GetDlgItem(about, 1001);
            if (ok && GetWindowRect(ok, &r)) PrintRect(out, "ok", r);
            // The colours of a raised dialog frame, outside in: light, highlight, face, shadow,
            // dark shadow (RRGGBB).
            std::fprintf(out, "colours");
            for (int colour :
                 {COLOR_3DLIGHT, COLOR_3DHILIGHT, COLOR_3DFACE, COLOR_3DSHADOW, COLOR_3DDKSHADOW}) {
                const COLORREF c = GetSysColor(colour);
                std::fprintf(out, " %02x%02x%02x", GetRValue(c), GetGValue(c), GetBValue(c));
            }
            std::fprintf(out, "\n");
        } else {
            std::fprintf(out, "about none\n");
        }
        std::fprintf(out, "main %s\n", IsWindowEnabled(form) ? "enabled" : "disabled");
    } else if (command == L"window") {
        RECT r;
        GetWindowRect(form, &r);
        PrintRect(out, "frame", r);
        POINT origin = {0, 0};
        ClientToScreen(form, &origin);
        RECT client;
        GetClientRect(form, &client);
        std::fprintf(out, "client %ld %ld %ld %ld\n", origin.x, origin.y, client.right,
                     client.bottom);
        for (HWND child = GetWindow(form, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            GetWindowRect(child, &r);
            char name[32];
            std::snprintf(name, sizeof(name), "control%d", GetDlgCtrlID(child));
            PrintRect(out, name, r);
        }
    } else if (command == L"controls") {
        // Each control's state and text, for what a person reads off the buttons.
        for (HWND child = GetWindow(form, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            wchar_t text[256] = {};
            GetWindowTextW(child, text, 256);
            std::fprintf(out, "control%d %s %s\n", GetDlgCtrlID(child),
                         IsWindowEnabled(child) ? "enabled" : "disabled", Utf8(text).c_str());
        }
    } else if (command == L"focus") {
        // Where the program's keys go: its thread's active and focus windows (by class).
        GUITHREADINFO info = {};
        info.cbSize = sizeof(info);
        wchar_t active[64] = L"none", focus[64] = L"none";
        if (GetGUIThreadInfo(GetWindowThreadProcessId(form, nullptr), &info)) {
            if (info.hwndActive) GetClassNameW(info.hwndActive, active, 64);
            if (info.hwndFocus) GetClassNameW(info.hwndFocus, focus, 64);
        }
        std::fprintf(out, "active %s\nfocus %s\n%s\nfocusid %d\n", Utf8(active).c_str(),
                     Utf8(focus).c_str(), IsIconic(form) ? "iconic" : "normal",
                     info.hwndFocus ? GetDlgCtrlID(info.hwndFocus) : 0);
    } else if (command == L"tip") {
        // The window's tip (its one tool, id 1) while it is on show.
        HWND tip = nullptr;
        while ((tip = FindWindowExW(nullptr, tip, TOOLTIPS_CLASSW, nullptr)) &&
               !(IsWindowVisible(tip) && GetWindow(tip, GW_OWNER) == form)) {
        }
        RemoteBuffer buffer(form, 8192);
        TTTOOLINFOW tool = {};
        tool.cbSize = sizeof(tool);
        tool.hwnd = form;
        tool.uId = 1;
        tool.lpszText = reinterpret_cast<wchar_t*>(buffer.at(256));
        std::wstring text(2048, L'\0');
        if (tip && buffer.ok() && buffer.Write(0, &tool, sizeof(tool)) &&
            (SendMessageW(tip, TTM_GETTEXTW, text.size(), reinterpret_cast<LPARAM>(buffer.at(0))),
             buffer.Read(256, text.data(), text.size() * sizeof(wchar_t)))) {
            text.resize(wcsnlen(text.c_str(), text.size()));
            std::fprintf(out, "text %s\n", Utf8(text).c_str());
        } else {
            std::fprintf(out, "tip none\n");
        }
    } else if (command == L"cells") {
        HWND list = FindList(form);
        RemoteBuffer buffer(list, 8192);
        if (!list || !buffer.ok()) {
            result = 3;
        } else {
            const int rows = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
            std::fprintf(out, "rows %d\n", rows);
            for (int row = 0; row < rows; ++row) {
                const UINT state = static_cast<UINT>(
                    SendMessageW(list, LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK));
                std::string line = ((state >> 12) == 2) ? "x" : "-";
                for (int column = 0; column < 5; ++column)
                    line += "\t" + Utf8(CellText(list, buffer, row, column));
                std::fprintf(out, "%s\n", line.c_str());
            }
        }
    } else if (command == L"item" && args.size() >= 2) {
        HWND list = FindList(form);
        RemoteBuffer buffer(list, sizeof(RECT));
        RECT r = {};
        r.left = LVIR_BOUNDS;
        if (!list || !buffer.ok() || !buffer.Write(0, &r, sizeof(r)) ||
            !SendMessageW(list, LVM_GETITEMRECT, _wtoi(args[1].c_str()) - 1,
                          reinterpret_cast<LPARAM>(buffer.at(0))) ||
            !buffer.Read(0, &r, sizeof(r))) {
            result = 3;
        } else {
            MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&r), 2);
            PrintRect(out, "item", r);
        }
    } else {
        result = 1;
    }
    if (result != 0) std::fprintf(out, "error %d\n", result);
    return result;
}

std::wstring Wide(const std::string& text) {
    if (text.empty()) return std::wstring();
    const int size =
        MultiByteToWideChar(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), out.data(), size);
    return out;
}

// Serves commands from files: DIR\NAME.cmd holds the arguments, one a line; the answer is written
// to DIR\NAME.tmp and renamed to DIR\NAME.out. Ends on the command "quit".
int Serve(const std::wstring& dir) {
    // Also ends when the directory is gone or after ten minutes, so it never outlives its test.
    const ULONGLONG deadline = GetTickCount64() + 10 * 60 * 1000;
    for (;;) {
        if (GetFileAttributesW(dir.c_str()) == INVALID_FILE_ATTRIBUTES ||
            GetTickCount64() > deadline)
            return 0;
        WIN32_FIND_DATAW found;
        HANDLE search = FindFirstFileW((dir + L"\\*.cmd").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) {
            Sleep(30);
            continue;
        }
        std::wstring name = found.cFileName;
        FindClose(search);
        const std::wstring base = dir + L"\\" + name.substr(0, name.size() - 4);
        std::vector<std::wstring> args;
        if (FILE* in = _wfopen((base + L".cmd").c_str(), L"rb")) {
            char line[1024];
            while (std::fgets(line, sizeof(line), in)) {
                std::string text(line);
                while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
                    text.pop_back();
                if (!text.empty()) args.push_back(Wide(text));
            }
            std::fclose(in);
        }
        DeleteFileW((base + L".cmd").c_str());
        if (!args.empty() && args[0] == L"quit") return 0;
        if (FILE* out = _wfopen((base + L".tmp").c_str(), L"wb")) {
            Answer(args, out);
            std::fclose(out);
            MoveFileExW((base + L".tmp").c_str(), (base + L".out").c_str(),
                        MOVEFILE_REPLACE_EXISTING);
        }
    }
}

}  // namespace

//   QuenlorProbe serve DIR    answers commands given as files in DIR (see Serve)
//   QuenlorProbe COMMAND ARGS... OUT   answers one command into OUT
int wmain(int argc, wchar_t** argv) {
    if (argc < 3) return 1;
    if (std::wstring(argv[1]) == L"serve") return Serve(argv[2]);
    FILE* out = _wfopen(argv[argc - 1], L"wb");
    if (!out) return 1;
    const int result = Answer(std::vector<std::wstring>(argv + 1, argv + argc - 1), out);
    std::fclose(out);
    return result;
}
