#include "foundation/LogFile.h"

#include <new>

#include "foundation/Utilities.h"

namespace swirlo {

std::wstring LocalTimeText(const SYSTEMTIME& st) {
    wchar_t buf[16];
    if (!GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &st, L"HH':'mm':'ss", buf, 16)) return L"00:00:00";
    return buf;
}

std::wstring LocalDateText(const SYSTEMTIME& st) {
    wchar_t buf[16];
    if (!GetDateFormatW(LOCALE_USER_DEFAULT, 0, &st, L"MM'/'dd'/'yy' '", buf, 16)) return L"00/00/00 ";
    return buf;
}

LogFile::LogFile(const AppPaths* paths, std::wstring ownerCaption, const wchar_t* boxSuffix)
    : m_pPaths(paths), m_sCaption(std::move(ownerCaption)), m_sBoxSuffix(boxSuffix ? boxSuffix : L" - ERROR") {}

int LogFile::StartLog(const wchar_t* fileName, const wchar_t* title, bool flushEachWrite) {
    m_bFlush = flushEachWrite;
    m_error.Clear();
    const std::wstring docs = m_pPaths ? m_pPaths->gsAppDocsDirSlash : std::wstring();
    if (docs.empty())
        return m_error.SetErrorParts(L"Error finding folder path for log file (gsAppDocsDirSlash)");
    if (!EnsureDir(docs)) {
        std::wstring g = TakeErrorText(true);
        std::wstring caption = m_sCaption + m_sBoxSuffix;
        ErrorBox(m_hOwner, caption.c_str(), L"Error ensuring config dir exists",
                 m_pPaths->sIniDirSlash.c_str(), g.c_str());
        return 0;
    }
    std::wstring path = docs;
    if (fileName) {
        path += fileName;
    } else {
        std::wstring dir, name, ext;
        if (!GetModulePathParts(dir, name, ext))
            return m_error.SetErrorParts(L"Error deriving log filename", dir.c_str());
        path += name + L".log";
    }
    bool hadToClose = false;
    if (IsOpen()) {
        if (!FinishLog(nullptr)) {
            m_error.Append(L"Was closing for new StartLog, file name:");
            if (fileName) m_error.Append(fileName);
            return 0;
        }
        hadToClose = true;
    }
    m_sPath = path;
    m_hfLog.Reset(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!m_hfLog) {
        std::wstring sys = WinErrorText(0);
        return m_error.SetErrorParts(L"Error opening log file:", path.c_str(), sys.c_str());
    }
    SYSTEMTIME st;
    GetLocalTime(&st);
    std::wstring stamp = LocalDateText(st) + LocalTimeText(st);
    std::wstring first;
    if (title) first = stamp + L"  " + title + L"\r\n";
    else first = stamp + L"  Start " + (m_pPaths ? m_pPaths->sProgBaseName : std::wstring()) + L"\r\n";
    if (hadToClose) first += L"\r\nHad to close m_hfLog, still open from previous log.";
    if (!WriteRaw(first) || (m_bFlush && !FlushFileBuffers(m_hfLog.Get()))) {
        std::wstring sys = WinErrorText(0);
        m_hfLog.Reset();
        return m_error.SetErrorParts(L"Error writing first line to log file:", path.c_str(), sys.c_str());
    }
    return 1;
}

int LogFile::WriteRaw(const std::wstring& line) {
    DWORD bytes = static_cast<DWORD>(line.size() * sizeof(wchar_t));
    DWORD written = 0;
    return WriteFile(m_hfLog.Get(), line.data(), bytes, &written, nullptr) && written == bytes ? 1 : 0;
}

int LogFile::Flush() {
    if (!m_bFlush) return 1;
    if (FlushFileBuffers(m_hfLog.Get())) return 1;
    std::wstring sys = WinErrorText(0);
    return m_error.SetErrorParts(L"Error flushing log writes to disk", sys.c_str());
}

int LogFile::WriteLines(bool stampFirst, const wchar_t* text, const wchar_t* second, const wchar_t* third) {
    if (!IsOpen()) return 0;
    const wchar_t* texts[] = {text ? text : L"", second, third};
    for (int i = 0; i < 3; ++i) {
        if (!texts[i]) continue;
        std::wstring line;
        try {
            line.reserve(wcslen(texts[i]) + 20);
            line = (i == 0 && stampFirst) ? std::wstring(TimeNowText()) : std::wstring(8, L' ');
            line += L"  ";
            line += texts[i];
            line += L"\r\n";
        } catch (const std::bad_alloc&) {
            return m_error.SetErrorParts(L"Error allocating string to write log", texts[i]);
        }
        if (!WriteRaw(line)) {
            std::wstring sys = WinErrorText(0);
            return m_error.SetErrorParts(L"Error writing line to log file:", sys.c_str(), line.c_str());
        }
    }
    return Flush();
}

int LogFile::LogLine(const wchar_t* text, const wchar_t* second, const wchar_t* third) {
    return WriteLines(true, text, second, third);
}

int LogFile::LogLineNoTime(const wchar_t* text, const wchar_t* second, const wchar_t* third) {
    return WriteLines(false, text, second, third);
}

int LogFile::WriteLogText(const wchar_t* text, bool lineEnd) {
    if (!IsOpen()) return 0;
    std::wstring line = text ? text : L"";
    if (lineEnd) line += L"\r\n";
    if (!WriteRaw(line)) {
        std::wstring sys = WinErrorText(0);
        return m_error.SetErrorParts(L"Error writing line to log file:", sys.c_str(), line.c_str());
    }
    return 1;
}

int LogFile::FinishLog(const wchar_t* text) {
    if (!IsOpen()) return 0;
    int ok = LogLine(text ? text : L"Finished");
    if (!m_hfLog.Close()) {
        std::wstring sys = WinErrorText(0);
        if (ok) m_error.Clear();
        m_error.Append(L"Error closing log file");
        m_error.Append(sys);
        ok = 0;
    }
    return ok;
}

}  // namespace swirlo
