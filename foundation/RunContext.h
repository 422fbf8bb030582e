// What a long operation of the OS-free core needs of the page that runs it: the progress bar,
// message dispatch, the cancel/stop flag, the error record and the log. Pages implement it over
// Win32; tests implement it with fakes. OS-free.
#pragma once
#include <string>

#include "foundation/ErrorText.h"

namespace swirlo {

// The log of a run (LogFile implements it). Every call returns 1 on success, 0 on failure or when no
// log is open; a null second or third text is left out.
class LogSink {
public:
    virtual ~LogSink() = default;
    virtual bool IsOpen() const = 0;
    // The text as a time-stamped line, each further text as an unstamped line.
    virtual int LogLine(const wchar_t* text, const wchar_t* second = nullptr,
                        const wchar_t* third = nullptr) = 0;
    // The same with the first line unstamped too.
    virtual int LogLineNoTime(const wchar_t* text, const wchar_t* second = nullptr,
                              const wchar_t* third = nullptr) = 0;
    // The text alone, followed by "\r\n" when lineEnd is set.
    virtual int WriteLogText(const wchar_t* text, bool lineEnd) = 0;
};

// The one time budget for letting window messages run during long work. Under Wine every look at
// the queue is a round trip to the server, so a run dispatches at most once per budget, read from
// the cheap tick count, not at every item; 20 ms keeps the window painting and a Stop answered well
// within 50 ms. The window side keeps it in MessagePump; a RunContext over a window dispatches
// through that.
class PumpBudget {
public:
    static constexpr unsigned long kBudgetMs = 20;

    explicit PumpBudget(unsigned long now = 0) : m_nLast(now) {}
    bool Due(unsigned long now) const { return now - m_nLast >= kBudgetMs; }
    // A dispatch that began at before and ended at after.
    void Dispatched(unsigned long before, unsigned long after) {
        if (before - m_nLast > m_nLongest) m_nLongest = before - m_nLast;
        m_nLast = after;
    }
    void Restart(unsigned long now) {
        m_nLast = now;
        m_nLongest = 0;
    }
    // The longest time between two dispatches since the restart (for benchmarks).
    unsigned long LongestGapMs() const { return m_nLongest; }

private:
    unsigned long m_nLast;
    unsigned long m_nLongest = 0;
};

class RunContext {
public:
    virtual ~RunContext() = default;

    // Progress bar, range 0 to 100. SetProgress records the position (m_nProgPos) and sends it to
    // the bar only when it differs from the position last sent.
    virtual int GetProgress() const = 0;
    virtual void SetProgress(int pos) = 0;

    // Lets pending window messages run. Implementations over a window skip the dispatch while the
    // PumpBudget has not run out; callers call it at every point where the program dispatches and
    // never keep a budget of their own.
    virtual void PumpMessages() = 0;

    // The page's cancel (stop) flag, set by its button through the dispatched messages.
    virtual bool IsCancelled() const = 0;

    // The page's error record.
    virtual ErrorRecord& Error() = 0;

    // The page's log, or null when the run does not log.
    virtual LogSink* Log() = 0;

    // The page's status line.
    virtual void SetStatus(const std::wstring& text) { (void)text; }

    // Milliseconds since some fixed point (the tick count); used for seeding and timing.
    virtual unsigned long TickCount() const = 0;
};

}  // namespace swirlo
