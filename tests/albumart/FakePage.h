// A page for the album-art tests: records progress, status texts, error boxes and log lines, and
// sets its stop flag after a chosen number of message dispatches.
#pragma once
#include <string>
#include <vector>

#include "albumart/MatchContext.h"

namespace swirlo::test {

// Formats lines as the page's log file does, with a fixed time.
class FakeLog : public LogSink {
public:
    bool open = true;
    std::wstring text;
    int lines = 0;

    bool IsOpen() const override { return open; }
    int LogLine(const wchar_t* a, const wchar_t* b = nullptr, const wchar_t* c = nullptr) override {
        return Lines(true, a, b, c);
    }
    int LogLineNoTime(const wchar_t* a, const wchar_t* b = nullptr, const wchar_t* c = nullptr) override {
        return Lines(false, a, b, c);
    }
    int WriteLogText(const wchar_t* t, bool lineEnd) override {
        if (!open) return 0;
        text += t;
        if (lineEnd) text += L"\r\n";
        ++lines;
        return 1;
    }

private:
    int Lines(bool stamp, const wchar_t* a, const wchar_t* b, const wchar_t* c) {
        if (!open) return 0;
        text += (stamp ? L"12:34:56  " : L"          ") + std::wstring(a) + L"\r\n";
        if (b) text += L"          " + std::wstring(b) + L"\r\n";
        if (c) text += L"          " + std::wstring(c) + L"\r\n";
        ++lines;
        return 1;
    }
};

class FakePage : public MatchContext {
public:
    FakeLog log;
    bool withLog = true;
    std::vector<int> progressSent;
    std::vector<std::wstring> statuses;
    std::vector<std::wstring> boxes;  // parts joined with "|"
    int pumps = 0;
    int cancelAtPump = -1;            // the dispatch during which the user presses Stop
    int checksAfterCancel = 0;        // IsCancelled calls that answered true
    unsigned long tickStep = 1;
    mutable unsigned long ticks = 1000;
    ErrorRecord error;

    int GetProgress() const override { return m_nPos; }
    void SetProgress(int pos) override {
        if (pos == m_nPos) return;
        m_nPos = pos;
        progressSent.push_back(pos);
    }
    void PumpMessages() override {
        ++pumps;
        if (pumps == cancelAtPump) m_bCancel = true;
    }
    bool IsCancelled() const override {
        if (m_bCancel) ++const_cast<FakePage*>(this)->checksAfterCancel;
        return m_bCancel;
    }
    ErrorRecord& Error() override { return error; }
    LogSink* Log() override { return withLog ? &log : nullptr; }
    void SetStatus(const std::wstring& text) override { statuses.push_back(text); }
    unsigned long TickCount() const override { return ticks += tickStep; }
    void ShowErrorBox(const wchar_t* p1, const wchar_t* p2 = nullptr, const wchar_t* p3 = nullptr,
                      const wchar_t* p4 = nullptr) override {
        std::wstring s = p1;
        for (const wchar_t* p : {p2, p3, p4})
            if (p) s += L"|" + std::wstring(p);
        boxes.push_back(s);
    }

private:
    int m_nPos = 0;
    bool m_bCancel = false;
};

}  // namespace swirlo::test
