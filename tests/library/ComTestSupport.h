// What the tests through COM share: library files of their own for the stand-in, its live object
// count, and a recorder for the message boxes the program shows.
#pragma once
#include <windows.h>
#include <wmp.h>
#include <wrl/client.h>

#include <gtest/gtest.h>

#include <mutex>
#include <string>
#include <vector>

#include "foundation/Seams.h"
#include "tests/foundation/WinTestSupport.h"

namespace swirlo::testing {

using Microsoft::WRL::ComPtr;

inline std::wstring TempFolder(const std::wstring& name) {
    wchar_t buf[MAX_PATH + 1];
    DWORD n = GetTempPathW(MAX_PATH + 1, buf);
    std::wstring dir = std::wstring(buf, n) + L"swirlo-library-tests\\" + name + L"\\";
    CreateDirectoryW((std::wstring(buf, n) + L"swirlo-library-tests").c_str(), nullptr);
    CreateDirectoryW(dir.c_str(), nullptr);
    return dir;
}

using swirlo::test::ReadBytes;
using swirlo::test::ReadUtf16;
using swirlo::test::WriteBytes;

// Points the stand-in at a library file of the test's own (players created from now on read it).
inline std::wstring UseLibrary(const std::wstring& name, const std::string& text) {
    std::wstring path = TempFolder(L"libraries") + name;
    EXPECT_TRUE(WriteBytes(path, text));
    SetEnvironmentVariableW(L"SWIRLO_STANDIN_LIBRARY", path.c_str());
    return path;
}
inline void UseRegisteredLibrary() { SetEnvironmentVariableW(L"SWIRLO_STANDIN_LIBRARY", nullptr); }

// A counter the stand-in exports (live objects, calls from a thread other than the object's
// creator's); -1 when it is not loaded.
inline long StandinCounter(const char* name) {
    HMODULE h = GetModuleHandleW(L"SwirloStandin.dll");
    auto fn = h ? reinterpret_cast<LONG(STDAPICALLTYPE*)()>(reinterpret_cast<void*>(GetProcAddress(h, name))) : nullptr;
    return fn ? fn() : -1;
}
inline long StandinLiveObjects() { return StandinCounter("StandinLiveObjects"); }
inline long StandinWrongThreadCalls() { return StandinCounter("StandinWrongThreadCalls"); }

// A library text: n songs named C:\Music\song<i>.mp3 with the given rating and date, then the
// given extra records.
inline std::string LibraryText(int n, const char* rating = "50", const char* added = "20100101",
                               const std::string& extra = std::string()) {
    std::string s = "SWIRLO-LIBRARY 1\n";
    for (int i = 0; i < n; ++i)
        s += "song\tC:\\Music\\song" + std::to_string(i) + ".mp3\tSong " + std::to_string(i) + "\tRock\t" + rating +
             "\t" + added + "\n";
    return s + extra;
}

// Records message boxes (from any thread) and answers OK.
class BoxSpy {
public:
    BoxSpy() : m_prevSpy(Instance()) {
        m_prev = SetMessageBoxHandler(&BoxSpy::Record);
        Instance() = this;
    }
    ~BoxSpy() {
        SetMessageBoxHandler(m_prev);
        Instance() = m_prevSpy;
    }
    std::vector<std::wstring> Boxes() {
        std::lock_guard<std::mutex> hold(m_lock);
        return m_boxes;
    }

private:
    static BoxSpy*& Instance() {
        static BoxSpy* p = nullptr;
        return p;
    }
    static int Record(HWND, const wchar_t* text, const wchar_t* caption, UINT) {
        BoxSpy* self = Instance();
        if (self) {
            std::lock_guard<std::mutex> hold(self->m_lock);
            self->m_boxes.push_back(std::wstring(caption ? caption : L"") + L": " + (text ? text : L""));
        }
        return IDOK;
    }
    BoxSpy* m_prevSpy;  // spies nest: the innermost records
    MessageBoxFn m_prev = nullptr;
    std::mutex m_lock;
    std::vector<std::wstring> m_boxes;
};

// COM for the window thread, as the program initialises it.
class ComTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))); }
    void TearDown() override {
        UseRegisteredLibrary();
        CoUninitialize();
    }
    static ComPtr<IWMPPlayer> NewPlayer() {
        ComPtr<IWMPPlayer> p;
        HRESULT hr = CoCreateInstance(__uuidof(WindowsMediaPlayer), nullptr, CLSCTX_INPROC_SERVER, __uuidof(IWMPPlayer),
                                      reinterpret_cast<void**>(p.GetAddressOf()));
        EXPECT_TRUE(SUCCEEDED(hr)) << "is the stand-in registered in the prefix? hr=" << std::hex << hr;
        return p;
    }
};

inline std::wstring Take(BSTR b) {
    std::wstring s = b ? std::wstring(b, SysStringLen(b)) : std::wstring();
    SysFreeString(b);
    return s;
}

}  // namespace swirlo::testing
