// A run context and log that record what song reading does to the page. OS-free.
#pragma once
#include <string>
#include <vector>

#include "foundation/RunContext.h"

namespace swirlo::testing {

class RecordingLog : public LogSink {
public:
    bool IsOpen() const override { return true; }
    int LogLine(const wchar_t* text, const wchar_t* = nullptr, const wchar_t* = nullptr) override {
        lines.emplace_back(text);
        return 1;
    }
    int LogLineNoTime(const wchar_t* text, const wchar_t* = nullptr, const wchar_t* = nullptr) override {
        lines.emplace_back(text);
        return 1;
    }
    int WriteLogText(const wchar_t* text, bool) override {
        lines.emplace_back(text);
        return 1;
    }
    std::vector<std::wstring> lines;
};

class FakeRun : public RunContext {
public:
    int GetProgress() const override { return m_nProgPos; }
    void SetProgress(int pos) override {
        m_nProgPos = pos;
        positions.push_back(pos);
    }
    void PumpMessages() override {
        ++pumps;
        if (cancelAfterPumps > 0 && pumps >= cancelAfterPumps) cancelled = true;
    }
    bool IsCancelled() const override { return cancelled; }
    ErrorRecord& Error() override { return error; }
    LogSink* Log() override { return withLog ? &log : nullptr; }
    void SetStatus(const std::wstring& text) override { statuses.push_back(text); }
    unsigned long TickCount() const override { return 0; }

    int m_nProgPos = 0;
    std::vector<int> positions;
    std::vector<std::wstring> statuses;
    int pumps = 0;
    int cancelAfterPumps = 0;
    bool cancelled = false;
    bool withLog = true;
    ErrorRecord error;
    RecordingLog log;
};

// The error boxes shown, each as its two parts joined by "|".
struct BoxRecorder {
    std::vector<std::wstring> boxes;
    auto Fn() {
        return [this](const wchar_t* a, const wchar_t* b) {
            boxes.push_back(std::wstring(a ? a : L"") + L"|" + (b ? b : L""));
        };
    }
};

}  // namespace swirlo::testing
