// The system dialogs the main window opens. The program uses SystemDialogs; tests hand the window
// their own implementation so that no modal dialog waits for a person.
#pragma once

#include <windows.h>

#include <string>

namespace quenlor {

struct OpenFileRequest {
    DWORD flags = 0;
    // Description and pattern pairs separated by "|", as in "Text (*.txt)|*.txt|".
    std::wstring filter;
    std::wstring initial_directory;
};

struct SaveFileRequest {
    DWORD flags = 0;
    std::wstring filter;             // as in OpenFileRequest
    std::wstring default_extension;  // added to a name typed without one
    std::wstring file_name;          // the name suggested
};

class IDialogs {
  public:
    virtual ~IDialogs() = default;
    // The chosen folder's path, or empty when the user cancels or the item has no file-system path.
    // The dialog opens with `start_folder` selected (the desktop when it is empty).
    virtual std::wstring BrowseForFolder(HWND owner, const std::wstring& prompt,
                                         const std::wstring& start_folder) = 0;
    // The dialog's file name: one full path, or with a multiple selection the directory followed by
    // the chosen names, each part separated by a NUL character. Empty when cancelled.
    virtual std::wstring OpenFile(HWND owner, const OpenFileRequest& request) = 0;
    // The system's Save As dialog: the chosen file's full path, or empty when cancelled.
    virtual std::wstring SaveFile(HWND owner, const SaveFileRequest& request) = 0;
    // The program's one message box kind: information icon and an OK button.
    virtual void ShowMessage(HWND owner, const std::wstring& text, const std::wstring& title) = 0;
};

class SystemDialogs : public IDialogs {
  public:
    std::wstring BrowseForFolder(HWND owner, const std::wstring& prompt,
                                 const std::wstring& start_folder) override;
    std::wstring OpenFile(HWND owner, const OpenFileRequest& request) override;
    std::wstring SaveFile(HWND owner, const SaveFileRequest& request) override;
    void ShowMessage(HWND owner, const std::wstring& text, const std::wstring& title) override;

    // Room for the file name of a multiple selection (the common dialog's default of 260
    // characters is too small for more than a few files).
    static constexpr DWORD kFileNameCapacity = 32768;
};

}  // namespace quenlor
