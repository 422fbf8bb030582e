// What the tests through COM share: library files of their own for the stand-in, its counters, and
// a recorder for the message boxes the program shows.
#pragma once
#include <windows.h>
#include <wmp.h>
#include <wrl/client.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/foundation/WinTestSupport.h"

namespace swirlo::testing {

using Microsoft::WRL::ComPtr;
using namespace swirlo::test;

// Points the stand-in at a library file of the test's own (players created from now on read it).
inline void UseLibrary(const std::wstring& name, const std::string& text) {
    static TempDir dir(L"swirlo-libraries-");
    EXPECT_TRUE(WriteBytes(dir / name, text));
    SetEnvironmentVariableW(L"SWIRLO_STANDIN_LIBRARY", (dir / name).c_str());
}

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

// The message boxes shown (on the window thread, where the caching thread's boxes arrive too) as
// "caption: text", each answered OK.
struct BoxSpy : MessageBoxRecorder {
    std::vector<std::wstring> Texts() const {
        std::vector<std::wstring> t;
        for (const Box& b : boxes) t.push_back(b.caption + L": " + b.text);
        return t;
    }
};

// COM for the window thread, as the program initialises it, and the stand-in's registered library.
class ComTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))); }
    void TearDown() override {
        SetEnvironmentVariableW(L"SWIRLO_STANDIN_LIBRARY", nullptr);
        CoUninitialize();
    }
};

}  // namespace swirlo::testing
