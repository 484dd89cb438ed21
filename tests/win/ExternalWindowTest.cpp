// Attaching to a window of another process must fail with 13084 and leave that window alone.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "tests/win/ForeignWindowQueries.h"
#include "win/MSubclass.h"
#include "win/ObjectError.h"

namespace quenlor {
namespace {

class NullHandler : public ISubclass {
  public:
    EMsgResponse MsgResponse() override { return mrConsume; }
    void MsgResponse(EMsgResponse) override {}
    LRESULT WindowProc(HWND, UINT, WPARAM, LPARAM) override { return 0; }
};

// The helper program beside this test: started with its standard output on a pipe, closed (and
// waited for) at the end of the test.
class ForeignWindowProcess {
  public:
    ForeignWindowProcess() {
        wchar_t self[MAX_PATH];
        const DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH);
        std::wstring path(self, length);
        path.erase(path.find_last_of(L"\\/") + 1);
        path += L"quenlor_foreign_window.exe";

        SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
        HANDLE write = nullptr;
        if (!CreatePipe(&read_, &write, &inherit, 0)) return;
        SetHandleInformation(read_, HANDLE_FLAG_INHERIT, 0);
        STARTUPINFOW si{};
        si.cb = sizeof si;
        si.dwFlags = STARTF_USESTDHANDLES;
        si.hStdOutput = write;
        si.hStdError = GetStdHandle(STD_ERROR_HANDLE);
        si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        std::wstring commandLine = L"\"" + path + L"\"";
        const BOOL started = CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr,
                                            TRUE, 0, nullptr, nullptr, &si, &pi_);
        CloseHandle(write);
        if (!started) return;

        std::string line;
        char c;
        DWORD got = 0;
        while (ReadFile(read_, &c, 1, &got, nullptr) && got == 1 && c != '\n') line += c;
        if (!line.empty()) hwnd_ = reinterpret_cast<HWND>(static_cast<intptr_t>(std::stoll(line)));
    }
    ~ForeignWindowProcess() {
        if (hwnd_) PostMessageW(hwnd_, WM_CLOSE, 0, 0);
        if (pi_.hProcess) {
            if (WaitForSingleObject(pi_.hProcess, 20000) != WAIT_OBJECT_0) {
                TerminateProcess(pi_.hProcess, 1);
            }
            CloseHandle(pi_.hProcess);
            CloseHandle(pi_.hThread);
        }
        if (read_) CloseHandle(read_);
    }
    HWND hwnd() const { return hwnd_; }
    DWORD ProcessId() const { return pi_.dwProcessId; }

  private:
    PROCESS_INFORMATION pi_{};
    HANDLE read_ = nullptr;
    HWND hwnd_ = nullptr;
};

TEST(ExternalWindow, AttachFailsWith13084AndLeavesTheWindowAlone) {
    ForeignWindowProcess foreign;
    ASSERT_NE(foreign.hwnd(), nullptr) << "helper window did not start";
    ASSERT_TRUE(IsWindow(foreign.hwnd()));
    DWORD owner = 0;
    GetWindowThreadProcessId(foreign.hwnd(), &owner);
    ASSERT_EQ(owner, foreign.ProcessId());

    // The helper answers from inside its own process: from here the procedure reads as 0.
    const auto ask = [&](UINT question) {
        DWORD_PTR answer = 0;
        const LRESULT sent =
            SendMessageTimeoutW(foreign.hwnd(), question, 0, 0, SMTO_BLOCK, 10000, &answer);
        return sent ? static_cast<LONG_PTR>(answer) : -1;
    };
    ASSERT_EQ(ask(test::kAskProcedureIsOwn), 1);
    const LONG_PTR propsBefore = ask(test::kAskPropertyCount);
    ASSERT_GE(propsBefore, 0);

    NullHandler h;
    try {
        MSubclass::AttachMessage(&h, foreign.hwnd(), WM_APP + 1);
        ADD_FAILURE() << "attach to another process's window accepted";
    } catch (const ObjectError& e) {
        EXPECT_EQ(e.Number(), -2147208420);
        EXPECT_EQ(e.Description(), "Can't modify external window");
        EXPECT_EQ(e.Source(), L"test_win_subclass.WindowProc");
    }
    EXPECT_EQ(ask(test::kAskProcedureIsOwn), 1);
    EXPECT_EQ(ask(test::kAskPropertyCount), propsBefore);
    MSubclass::DetachMessage(&h, foreign.hwnd(), WM_APP + 1);  // nothing registered: no effect
    EXPECT_EQ(ask(test::kAskProcedureIsOwn), 1);
    EXPECT_EQ(ask(test::kAskPropertyCount), propsBefore);

    // The questions do see a changed procedure and an added property.
    ASSERT_EQ(ask(test::kAskToSubclassItself), 1);
    EXPECT_EQ(ask(test::kAskProcedureIsOwn), 0);
    EXPECT_EQ(ask(test::kAskPropertyCount), propsBefore + 1);
}

}  // namespace
}  // namespace quenlor
