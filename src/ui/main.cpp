// The program's entry: the main window, and the message loop that runs until it is gone.
#include <windows.h>
#include <objbase.h>

#include "ui/Form1.h"
#include "quenlor/CommandLine.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show_command) {
    // The folder picker needs COM on this thread.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    int exit_code = 1;
    {
        quenlor::Form1 form(instance);
        form.Unloaded = [] { PostQuitMessage(0); };
        if (form.Create(show_command)) {
            form.OpenAtStart(quenlor::StartPaths(GetCommandLineW()));
            MSG message;
            while (GetMessageW(&message, nullptr, 0, 0) > 0)
                quenlor::MessagePump::Dispatch(form.hWnd(), message);
            exit_code = static_cast<int>(message.wParam);
        }
    }
    if (SUCCEEDED(com)) CoUninitialize();
    return exit_code;
}
