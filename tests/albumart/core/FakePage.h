// A page for the album-art tests: records progress, status texts, error boxes and log lines, and
// sets its stop flag after a chosen number of message dispatches.
#pragma once
#include <string>
#include <vector>

#include "albumart/core/MatchContext.h"

namespace swirlo::test {

// Formats lines as the page's log file does, with a fixed time.
class FakeLog : public LogSink {
public:
    std::wstring text;

    bool IsOpen() const override { return true; }
    int LogLine(const wchar_t* a, const wchar_t* b, const wchar_t* c) override { return Lines(L"12:34:56  ", a, b, c); }
    int LogLineNoTime(const wchar_t* a, const wchar_t* b, const wchar_t* c) override { return Lines(L"          ", a, b, c); }
    int WriteLogText(const wchar_t* t, bool lineEnd) override {
        text += t + std::wstring(lineEnd ? L"\r\n" : L"");
        return 1;
    }

private:
    int Lines(const wchar_t* stamp, const wchar_t* a, const wchar_t* b, const wchar_t* c) {
        text += stamp + std::wstring(a) + L"\r\n";
        for (const wchar_t* p : {b, c})
            if (p) text += L"          " + std::wstring(p) + L"\r\n";
        return 1;
    }
};

class FakePage : public MatchContext {
public:
    FakeLog log;
    std::vector<int> progressSent;
    std::vector<std::wstring> statuses;
    std::vector<std::wstring> boxes;  // parts joined with "|"
    int pumps = 0;
    int cancelAtPump = -1;            // the dispatch during which the user presses Stop
    mutable int checksAfterCancel = 0;  // IsCancelled calls that answered true
    unsigned long tickStep = 1;
    mutable unsigned long ticks = 1000;
    ErrorRecord error;

    int GetProgress() const override { return progressSent.empty() ? 0 : progressSent.back(); }
    void SetProgress(int pos) override {
        if (pos != GetProgress()) progressSent.push_back(pos);
    }
    void PumpMessages() override { ++pumps; }
    bool IsCancelled() const override {
        bool stop = cancelAtPump > 0 && pumps >= cancelAtPump;
        checksAfterCancel += stop;
        return stop;
    }
    ErrorRecord& Error() override { return error; }
    LogSink* Log() override { return &log; }
    void SetStatus(const std::wstring& text) override { statuses.push_back(text); }
    unsigned long TickCount() const override { return ticks += tickStep; }
    void ShowErrorBox(const wchar_t* p1, const wchar_t* p2 = nullptr, const wchar_t* p3 = nullptr,
                      const wchar_t* p4 = nullptr) override {
        std::wstring s = p1;
        for (const wchar_t* p : {p2, p3, p4})
            if (p) s += L"|" + std::wstring(p);
        boxes.push_back(s);
    }
};

}  // namespace swirlo::test
