// The main window's messages: routed to the commands, the list, the shortcuts and the colours.
#include "ui/Form1.h"

#include <commctrl.h>

#include <utility>

#include "ui/DroppedFiles.h"
#include "ui/MainMenu.h"
#include "ui/Shortcuts.h"
#include "ui/SizeFormat.h"
#include "quenlor/FileSystem.h"
#include "quenlor/Text.h"
#include "ui/res/resource.h"

namespace quenlor {

LRESULT Form1::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_PAINT: {
            const PaintDC dc(hwnd_);
            Paint(dc.get());
            return 0;
        }
        case WM_COMMAND:
            OnCommand(LOWORD(wparam), HIWORD(wparam));
            return 0;
        case WM_NOTIFY: {
            const auto& header = *reinterpret_cast<const NMHDR*>(lparam);
            return header.hwndFrom == list_.hWnd() ? list_.OnNotify(header) : 0;
        }
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORSTATIC:
            return reinterpret_cast<LRESULT>(OnControlColor(message, reinterpret_cast<HDC>(wparam),
                                                            reinterpret_cast<HWND>(lparam)));
        case WM_CREATE:
            DragAcceptFiles(hwnd_, TRUE);  // folders and programs may be dropped anywhere on us
            return 0;
        case WM_DROPFILES: {
            const DropHandle drop(reinterpret_cast<HDROP>(wparam));
            const std::vector<std::wstring> names = DroppedNames(drop);
            Form_DropFiles(names);
            return 0;
        }
        case WM_CLOSE:
            // Not from behind the About window: it comes to the front instead.
            if (Form2* about = About()) {
                SetActiveWindow(about->hWnd());
                return 0;
            }
            Form_Unload();
            return 0;
        case kFinishUnload:
            if (!Busy()) FinishUnload();
            return 0;
        case kOpenStartPaths:
            Form_StartPaths(std::exchange(start_paths_, {}));
            return 0;
        case WM_ACTIVATE:
            // As in a dialog: the control that had the keyboard has it again once the window is
            // active again (after a message box, a file or folder dialog, another program).
            if (LOWORD(wparam) == WA_INACTIVE) {
                const HWND focus = GetFocus();
                last_focus_ = focus && IsChild(hwnd_, focus) ? focus : nullptr;
                return 0;
            }
            if (!HIWORD(wparam) && last_focus_ && IsChild(hwnd_, last_focus_) &&
                IsWindowVisible(last_focus_) && IsWindowEnabled(last_focus_)) {
                SetFocus(last_focus_);
                return 0;
            }
            return DefWindowProcW(hwnd_, message, wparam, lparam);
        case WM_SETCURSOR:
            // The pointer moved over the list or the window itself: the cell tips and the status
            // line's tip follow it.
            if (reinterpret_cast<HWND>(wparam) == list_.hWnd() ||
                reinterpret_cast<HWND>(wparam) == hwnd_) {
                POINT cursor;
                if (GetCursorPos(&cursor)) tips_.Track(cursor);
            } else {
                tips_.Hide();
            }
            return DefWindowProcW(hwnd_, message, wparam, lparam);
        case WM_DESTROY:
            // The painter goes with the window: its engine and menu bar let go of it here, so
            // that nothing of theirs is left on the window at its end.
            caption_.reset();
            return DefWindowProcW(hwnd_, message, wparam, lparam);
        case WM_NCDESTROY:
            // A menu the skin took off the window is not destroyed with it.
            menu_.Reset();
            return DefWindowProcW(hwnd_, message, wparam, lparam);
        case kTranslateShortcut:
            ShowFocusCues(*reinterpret_cast<const MSG*>(lparam));
            return RunShortcut(*reinterpret_cast<const MSG*>(lparam)) ? 1 : 0;
        case WM_QUERYUISTATE: {
            // The focus cues are ours to keep (the system's state follows how the window was
            // activated): hidden until the keyboard moves between the controls.
            const LRESULT state = DefWindowProcW(hwnd_, message, wparam, lparam);
            return focus_cues_ ? state & ~UISF_HIDEFOCUS : state | UISF_HIDEFOCUS;
        }
        default:
            return DefWindowProcW(hwnd_, message, wparam, lparam);
    }
}

void Form1::OnCommand(int id, int code) {
    switch (id) {
        case kMenuMOFDr:
            MOFDr_Click();
            break;
        case kMenuMDF:
            MDF_Click();
            break;
        case kMenuMSFDr:
            MSFDr_Click();
            break;
        case kMenuMExit:
            MExit_Click();
            break;
        case kMenuMABOUT:
            MABOUT_Click();
            break;
        case kMenuMAnyVer:
            MAnyVer_Click();
            break;
        case kMenuMRecord:
            MRecord_Click();
            break;
        case kIdCommand1:
            if (code == BN_CLICKED) Command1_Click();
            break;
        case kIdCheck1:
        case kIdCheck2:
            if (code == BN_SETFOCUS || code == BN_KILLFOCUS) {
                const RECT cue =
                    CheckCaptionBox(id == kIdCheck1 ? controls_.Check1 : controls_.Check2);
                InvalidateRect(hwnd_, &cue, TRUE);
            }
            // A box that notifies reports a quick second click as a double click; the handler
            // reads the box's state, so running it again does no harm.
            if (id == kIdCheck1 && (code == BN_CLICKED || code == BN_DOUBLECLICKED)) Check1_Click();
            break;
        default:
            break;
    }
}

void Form1::ShowFocusCues(const MSG& message) {
    switch (message.wParam) {
        case VK_TAB:
        case VK_LEFT:
        case VK_RIGHT:
        case VK_UP:
        case VK_DOWN:
            break;
        default:
            return;
    }
    if (focus_cues_) return;
    // The focus moves after this key: its new control draws its cue; the check boxes' are ours.
    focus_cues_ = true;
    for (HWND check : {controls_.Check1, controls_.Check2}) {
        const RECT cue = CheckCaptionBox(check);
        InvalidateRect(hwnd_, &cue, TRUE);
    }
}

std::wstring Form1::PickFolder(const std::wstring& prompt) {
    std::wstring folder = dialogs_.BrowseForFolder(hwnd_, prompt, last_folder_);
    if (!folder.empty()) last_folder_ = folder;
    return folder;
}

bool Form1::RunShortcut(const MSG& message) {
    Controls& c = controls_;
    switch (ShortcutFor(KeyPressOf(message))) {
        case Shortcut::SelectAll:
            if (!c.Command8.Enabled()) return false;
            Command8_Click();
            return true;
        case Shortcut::Remove:
            if (!c.ButtonCr3.Enabled()) return false;
            ButtonCr3_Click();
            return true;
        case Shortcut::Convert:
            if (!c.Command7.Enabled()) return false;
            Command7_Click();
            return true;
        case Shortcut::Stop:
            // Whichever runs: the conversion's "停止" or the search's "停止搜索".
            if (c.Command6.Enabled()) {
                Command6_Click();
                return true;
            }
            if (c.Command3.Enabled()) {
                Command3_Click();
                return true;
            }
            return false;
        case Shortcut::About:
            SendMessageW(hwnd_, WM_COMMAND, kMenuMABOUT, 0);
            return true;
        case Shortcut::None:
            break;
    }
    return false;
}

HBRUSH Form1::OnControlColor(UINT message, HDC dc, HWND control) {
    if (control == controls_.Text2) {
        // The save-directory box is grey while auto save makes it unused.
        const int colour = AutoSave() ? COLOR_BTNFACE : COLOR_WINDOW;
        SetBkColor(dc, GetSysColor(colour));
        SetTextColor(dc, GetSysColor(IsWindowEnabled(control) ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
        return GetSysColorBrush(colour);
    }
    if (control == controls_.Check1 || control == controls_.Check2) {
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        return GetSysColorBrush(COLOR_BTNFACE);
    }
    return reinterpret_cast<HBRUSH>(DefWindowProcW(hwnd_, message, reinterpret_cast<WPARAM>(dc),
                                                   reinterpret_cast<LPARAM>(control)));
}

}  // namespace quenlor
