// Form1: the program's main window. It holds the file list, the option boxes, the owner-painted
// buttons, the banner and the engraved status line, carries the menu bar, and runs the commands.
// The search and the conversion run on this thread and let messages run between files, so the
// stop commands and the rest of the window stay usable while they work.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "controls/ButtonCr.h"
#include "frame/cNeoCaption.h"
#include "ui/Dialogs.h"
#include "ui/FileListView.h"
#include "ui/Form2.h"
#include "ui/ListTips.h"
#include "win/CTimer.h"
#include "win/ResourceOwners.h"
#include "win/WindowThunk.h"
#include "win/MessagePump.h"
#include "ui/Settings.h"
#include "ui/Twips.h"
#include "quenlor/Converter.h"
#include "quenlor/Host.h"
#include "quenlor/Search.h"

namespace quenlor {

class Form1 : public IStatusLine, public IConvertPanel {
  public:
    static constexpr const wchar_t* kClassName = L"Quenlor.Form1";
    static constexpr const wchar_t* kTitle = L"Quenlor转换器";

    struct Options {
        IDialogs* dialogs = nullptr;      // the system dialogs when null
        int dpi = 0;                      // the system's resolution when 0
        Form2::OpenAddress open_address;  // the About window's link; the shell's when empty
        std::wstring settings_key = Settings::kKey;  // under HKEY_CURRENT_USER
    };

    explicit Form1(HINSTANCE instance);
    Form1(HINSTANCE instance, Options options);
    ~Form1() override;
    Form1(const Form1&) = delete;
    Form1& operator=(const Form1&) = delete;

    // Registers the window class, creates the window and its controls and runs Form_Load. False
    // when the window cannot be made; a failed Form_Load has been reported to the user then.
    bool Create(int show_command = SW_SHOWNORMAL);
    HWND hWnd() const { return hwnd_; }

    // Raised when the window has been destroyed (the program then ends).
    std::function<void()> Unloaded;
    // Raised after every change of the status line, with its new text.
    std::function<void(const std::wstring&)> StatusChanged;

    // Load and unload.
    void Form_Load();
    // Gives `painter` the window's colours, fonts and skin pictures and attaches it
    // (Form1Skin.cpp).
    void ApplySkin(cNeoCaption& painter);
    void Form_Unload();

    // Commands.
    void MOFDr_Click();
    void MSFDr_Click();
    void MDF_Click();
    void Command1_Click();
    void Command3_Click();
    void Command4_Click();
    void Command8_Click();
    void ButtonCr3_Click();
    void ListView1_ItemCheck();
    void Check1_Click();
    void Command6_Click();
    void Command7_Click();
    void Command2_Click();
    void MExit_Click();
    void MABOUT_Click();
    // Folders and programs dropped on the window (Form1Drop.cpp).
    void Form_DropFiles(const std::vector<std::wstring>& names);
    // "识别新版放映器": ticks or unticks the item, and keeps the choice (Form1AnyVersion.cpp).
    void MAnyVer_Click();
    bool AnyVersion() const { return any_version_; }
    // Paths given on the command line, handled as a drop of the same paths once the message loop
    // runs; a path that does not exist is named on the status line (Form1StartPaths.cpp).
    void OpenAtStart(std::vector<std::wstring> paths);
    void Form_StartPaths(const std::vector<std::wstring>& paths);
    // "导出清单…": saves the last batch's record through the Save As dialog (Form1Record.cpp).
    void MRecord_Click();

    // One thing at a time: true when a search or a conversion may start now. Every way to start
    // one asks first; while one runs (or a stopped one still unwinds) the others are refused.
    bool MayStart() const;
    // Searches `folders` one after the other into the emptied list, as "打开" searches one.
    // "停止搜索" (or closing the window) ends the whole run.
    void SearchFolders(const std::vector<std::wstring>& folders);

    // The folder returned by the last folder dialog; empty when it was cancelled.
    std::wstring ChosenFolder;
    // Where the add-file dialog opens while nothing was added or searched: the program's folder.
    std::wstring InitDir;

    // IStatusLine
    void SetStatus(const std::wstring& text) override;
    // IConvertPanel
    bool AutoSave() const override;
    bool DeleteSource() const override;
    std::wstring SaveDirText() const override;
    void SetStopEnabled(bool enabled) override;
    void SetConvertEnabled(bool enabled) override;
    void ShowMessage(const std::wstring& text, const std::wstring& title) override;
    std::wstring FormatSize(uint64_t bytes) const override;

    // The controls, for the window's own code and its tests.
    struct Controls {
        HWND Text1 = nullptr, Text2 = nullptr, Check1 = nullptr, Check2 = nullptr;
        HWND Command1 = nullptr;
        ButtonCr ButtonCr1, ButtonCr2, ButtonCr3, Command3, Command4, Command8, Command7, Command6,
            Command2;
    };
    Controls& controls() { return controls_; }
    FileListView& ListView1() { return list_; }
    ListTips& ListView1Tips() { return tips_; }
    Search& search() { return search_; }
    Converter& converter() { return converter_; }
    const Twips& twips() const { return twips_; }
    // The menu tree; the skinned frame takes it off the window and draws it itself.
    HMENU Menu() const { return menu_.get(); }
    // The caption painter, from Form_Load on.
    cNeoCaption* Caption() const { return caption_.get(); }
    const std::wstring& StatusText() const { return status_; }
    // The status line's sunken box, and the part of it its text may fill (client pixels).
    RECT StatusBox() const;
    RECT StatusTextBox() const;
    // The whole status text while the box shows only part of it, else empty (the line's tip).
    std::wstring StatusTip() const;
    // The banner area (client pixels), where the banner picture is shown.
    RECT Picture1Bounds() const;
    // The About window while it is open, else null.
    Form2* About() const { return about_ && about_->hWnd() ? about_.get() : nullptr; }
    // True while the search or the conversion runs beneath the current message.
    bool Busy() const { return busy_depth_ > 0; }

    // Control identifiers of the standard controls.
    enum ControlId : int {
        kIdText1 = 1001,
        kIdText2,
        kIdCheck1,
        kIdCheck2,
        kIdCommand1,
        kIdListView1,
        kIdButtonCr1,
        kIdButtonCr2,
        kIdButtonCr3,
        kIdCommand3,
        kIdCommand4,
        kIdCommand8,
        kIdCommand7,
        kIdCommand6,
        kIdCommand2,
    };

  private:
    // Posted to the window to finish an unload that had to wait for a running loop to return.
    static constexpr UINT kFinishUnload = WM_APP + 1;
    // Posted to the window to open the paths given on the command line.
    static constexpr UINT kOpenStartPaths = WM_APP + 20;

    // Marks the time a long loop (search or conversion) runs beneath the current message. An
    // unload asked for meanwhile is finished once the outermost loop has returned.
    class BusyScope {
      public:
        explicit BusyScope(Form1& form);
        BusyScope(const BusyScope&) = delete;
        BusyScope& operator=(const BusyScope&) = delete;
        ~BusyScope();

      private:
        Form1& form_;
    };

    friend LRESULT CALLBACK WindowThunk<Form1>(HWND, UINT, WPARAM, LPARAM) noexcept;
    void BindWindow(HWND hwnd);
    LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);
    void UnbindWindow();
    bool RegisterClass();
    void CreateControls();  // Form1Layout.cpp
    void Paint(HDC dc);     // Form1Paint.cpp
    // The status line while it is held (see SetStatus): its timer's tick, and a busy spell's end.
    void ShowHeldStatus();
    void InvalidateStatus();
    // The keyboard was used to move between the controls: the focus cues show from now on.
    void ShowFocusCues(const MSG& message);
    // The engraved caption of a check box, where its focus cue is drawn.
    RECT CheckCaptionBox(HWND check) const;
    void OnCommand(int id, int code);
    // The folder dialog, opening at the last folder chosen in this run.
    std::wstring PickFolder(const std::wstring& prompt);
    // Runs the command a shortcut key asks for while its button is enabled; true when it ran.
    bool RunShortcut(const MSG& message);
    HBRUSH OnControlColor(UINT message, HDC dc, HWND control);
    void FinishUnload();
    // Takes the kept choices into the window and its search and conversion (Form1AnyVersion.cpp).
    void LoadSettings();
    void ApplyAnyVersion(bool any_version);
    // Takes the record of the batch that just ended, if one ran (Form1Record.cpp).
    void KeepRecord();
    void SetMenuEnabled(UINT command, bool enabled);
    // The list's buttons after any change of the list or its ticks: "全选" while there are rows,
    // captioned "全不选" while a row is ticked; "删除" while a row is ticked; "转换" while a row
    // that can still be converted is ticked (left alone while a search or conversion runs).
    void UpdateListButtons();
    // After the list was changed by hand: "共有N个文件" on the status line.
    void ShowRowCount();
    // "打开" and "搜索目录": disabled while a search or conversion runs.
    void UpdateStartCommands();
    std::wstring TextOf(HWND control) const;

    HINSTANCE instance_;
    Form2::OpenAddress open_address_;
    std::unique_ptr<SystemDialogs> own_dialogs_;
    IDialogs& dialogs_;
    Twips twips_;
    HWND hwnd_ = nullptr;
    MenuHandle menu_;  // owned by the window while on it, by this object otherwise
    GdiHandle<HFONT> font_;
    GdiHandle<HBITMAP> banner_;
    GdiHandle<HBITMAP> picCaption_, picBorder_;  // the skin pictures
    std::unique_ptr<cNeoCaption> caption_;
    Controls controls_;
    FileListView list_;
    ListTips tips_;
    MessagePump pump_;
    Search search_;
    Converter converter_;
    std::wstring status_;
    static constexpr int kStatusMilliseconds = 100;
    std::shared_ptr<CTimer> status_timer_;
    bool status_held_ = false;   // drawn lately: changes wait for the timer
    bool status_stale_ = false;  // changed while held
    std::wstring last_folder_;   // the last folder chosen in a folder dialog (this run only)
    bool focus_cues_ = false;    // the keyboard has moved between the controls (ShowFocusCues)
    HWND last_focus_ = nullptr;  // the control that had the keyboard when the window went inactive
    int busy_depth_ = 0;
    bool unload_pending_ = false;
    // Last: its window is owned by ours and goes with it; the object is kept until the next
    // "关于" or our end, so that it never dies beneath its own handlers.
    std::unique_ptr<Form2> about_;
    std::wstring drop_note_;  // what the last drop added to the status line (" 已忽略N个非exe文件")
    Settings settings_;
    bool any_version_ = false;               // "识别新版放映器" ticked
    std::vector<std::wstring> start_paths_;  // given on the command line, not yet opened
    std::vector<RecordRow> record_;          // the last batch's record
    std::wstring record_time_;               // when that batch ended: YYYYMMDD-HHMMSS
    // Where "添加" opens after the first time: the last file added's folder, else the last folder
    // searched in this run.
    std::wstring added_folder_;
    std::wstring searched_folder_;
};

}  // namespace quenlor
