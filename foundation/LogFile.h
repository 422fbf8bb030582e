// A time-stamped UTF-16 log, one per page. Lines: "HH:mm:ss  text\r\n" stamped, ten blanks and the
// text unstamped, the text alone raw. The file is UTF-16LE without a byte-order mark and is created
// anew by every start.
#pragma once
#include <windows.h>

#include <string>

#include "foundation/AppPaths.h"
#include "foundation/ErrorText.h"
#include "foundation/RunContext.h"
#include "foundation/WinHandles.h"

namespace swirlo {

class LogFile : public LogSink {
public:
    // boxSuffix: " - ERROR" for the framework's windows, " - Error" for the album art page's.
    LogFile(const AppPaths* paths, std::wstring ownerCaption, const wchar_t* boxSuffix = L" - ERROR");
    ~LogFile() override = default;
    LogFile(const LogFile&) = delete;
    LogFile& operator=(const LogFile&) = delete;

    int StartLog(const wchar_t* fileName, const wchar_t* title, bool flushEachWrite);
    int LogLine(const wchar_t* text, const wchar_t* second = nullptr, const wchar_t* third = nullptr) override;
    int LogLineNoTime(const wchar_t* text, const wchar_t* second = nullptr, const wchar_t* third = nullptr) override;
    int WriteLogText(const wchar_t* text, bool lineEnd) override;
    int FinishLog(const wchar_t* text = nullptr);
    bool IsOpen() const override { return static_cast<bool>(m_hfLog); }

    void SetOwner(HWND owner) { m_hOwner = owner; }
    void SetPaths(const AppPaths* paths) { m_pPaths = paths; }
    void SetFlush(bool flush) { m_bFlush = flush; }
    // What follows the owner's caption in the caption of the log's error boxes.
    void SetBoxSuffix(const wchar_t* suffix) { m_sBoxSuffix = suffix; }
    const std::wstring& Path() const { return m_sPath; }
    ErrorRecord& Error() { return m_error; }

private:
    int WriteRaw(const std::wstring& line);
    int WriteLines(bool stampFirst, const wchar_t* text, const wchar_t* second, const wchar_t* third);
    int Flush();

    const AppPaths* m_pPaths;
    std::wstring m_sCaption;
    std::wstring m_sBoxSuffix;
    HWND m_hOwner = nullptr;
    UniqueFile m_hfLog;
    bool m_bFlush = true;
    std::wstring m_sPath;
    ErrorRecord m_error;
};

// "HH:mm:ss" of the local time now, and "MM/dd/yy " of the local date now.
std::wstring LocalTimeText(const SYSTEMTIME& st);
std::wstring LocalDateText(const SYSTEMTIME& st);

}  // namespace swirlo
