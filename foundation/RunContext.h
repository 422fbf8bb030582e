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

class RunContext {
public:
    virtual ~RunContext() = default;

    // Progress bar, range 0 to 100. SetProgress records the position (m_nProgPos) and sends it to
    // the bar only when it differs from the position last sent.
    virtual int GetProgress() const = 0;
    virtual void SetProgress(int pos) = 0;

    // Lets pending window messages run. Implementations may skip the actual dispatch when the last
    // one was very recent (a time budget); callers call it at every point where the program
    // dispatches.
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
