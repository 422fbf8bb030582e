#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>

#include "foundation/Utilities.h"
#include "foundation/BackgroundJob.h"
#include "framework/MessagePump.h"
#include "framework/ZWin.h"
#include "tests/foundation/WinTestSupport.h"

using namespace swirlo;
using namespace swirlo::test;

namespace {
HWND PopupAt(int x, int y, int w, int h) {
    return CreateWindowExW(0, L"STATIC", L"", WS_POPUP, x, y, w, h, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
}
}  // namespace

// The work runs on another thread and its end on this one, once: in the message dispatch, or at
// once after a wait that lets the messages run on the budget. One job at a time.
TEST(BackgroundJob, HandsTheEndToTheWindowThreadOnce) {
    struct PageRun : RunContext {
        MessagePump pump;
        ErrorRecord error;
        int GetProgress() const override { return 0; }
        void SetProgress(int) override {}
        void PumpMessages() override { pump.Pump(); }
        bool IsCancelled() const override { return false; }
        ErrorRecord& Error() override { return error; }
        LogSink* Log() override { return nullptr; }
        unsigned long TickCount() const override { return GetTickCount(); }
    } run;
    BackgroundJob job;
    std::atomic<bool> go{false};
    DWORD worker = 0, finisher = 0;
    int dones = 0;
    auto done = [&] { finisher = GetCurrentThreadId(), ++dones; };
    ASSERT_TRUE(job.Start([&] { worker = GetCurrentThreadId(); while (!go) Sleep(1); }, done));
    EXPECT_FALSE(job.Start([] {}));
    go = true;
    for (DWORD end = GetTickCount() + 5000; dones == 0 && GetTickCount() < end;) Sleep(1), PumpMessages();
    EXPECT_EQ(dones, 1);
    EXPECT_NE(worker, GetCurrentThreadId());
    EXPECT_EQ(finisher, GetCurrentThreadId());
    ASSERT_TRUE(job.Start([] { Sleep(30); }, done));
    job.WaitDispatching(run);
    EXPECT_EQ(dones, 2);
}

// Centred over its parent, but never past the desktop's right edge nor at a negative position.
TEST(ZWin, CentreOverParentKeepsTheWindowOnTheDesktop) {
    RECT desk, r;
    GetWindowRect(GetDesktopWindow(), &desk);
    HWND parentWnd = PopupAt(0, 0, 10, 10), childWnd = PopupAt(0, 0, 600, 200);
    ZDialog parent(nullptr, L"P", nullptr, nullptr, nullptr);
    parent.Attach(parentWnd);
    ZDialog child(nullptr, L"C", nullptr, &parent, nullptr);  // takes the parent's window now
    child.Attach(childWnd);
    const RECT rows[][2] = {  // parent's left, top, width, height; the child's rectangle
        {{200, 200, 800, 400}, {300, 300, 900, 500}},
        {{desk.right - 300, 100, 400, 300}, {desk.right - 600, 150, desk.right, 350}},
        {{-50, -50, 100, 100}, {0, 0, 600, 200}},
    };
    for (const auto& [p, want] : rows) {
        SetWindowPos(parentWnd, nullptr, p.left, p.top, p.right, p.bottom, SWP_NOZORDER);
        child.CentreOverParent();
        GetWindowRect(childWnd, &r);
        EXPECT_TRUE(EqualRect(&r, &want)) << r.left << "," << r.top << " " << r.right << "," << r.bottom;
    }
    DestroyWindow(childWnd);
    DestroyWindow(parentWnd);
}

// One reader for both: a text, a DWORD as its digits; a missing key or value named in the error
// record, the system's words alone in the plain reader's text.
TEST(Registry, TextsNumbersAndWhatIsMissing) {
    const wchar_t* key = L"Software\\Swirlo test registry";
    const DWORD number = 4000000000u;
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, key, L"Text", REG_SZ, L"C:\\Music", 18), ERROR_SUCCESS);
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, key, L"Number", REG_DWORD, &number, sizeof number), ERROR_SUCCESS);
    ErrorRecord error;
    std::wstring data;
    std::wstring digits;
    ASSERT_EQ(ReadRegValue(HKEY_CURRENT_USER, key, L"Text", data, MAX_PATH * 2) +
                  ReadRegString(HKEY_CURRENT_USER, key, L"Number", digits, MAX_PATH * 2, error), 2);
    EXPECT_EQ(data + L"|" + digits, L"C:\\Music|4000000000");
    EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, key, L"None", data, MAX_PATH * 2, error), 0);
    EXPECT_EQ(error.Take(true), L"\r\nError reading registry data:\r\nNone\r\n" + WinErrorText(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, L"Software\\Swirlo no such key", L"Text", data, 64, error), 0);
    EXPECT_EQ(error.Take(true).rfind(L"\r\nError opening Registry Key:\r\nSoftware\\Swirlo no such key\r\n", 0), 0u);
    EXPECT_EQ(ReadRegValue(HKEY_CURRENT_USER, key, L"None", data, 64), 0);
    EXPECT_EQ(data, WinErrorText(ERROR_FILE_NOT_FOUND));
    RegDeleteTreeW(HKEY_CURRENT_USER, key);
}
