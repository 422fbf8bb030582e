// The shuffle run (OnShuffle), from the song groups to the written playlist, and what it needs of
// whoever starts it: the shuffle page with its controls and boxes, or the run without a window
// (Blendo.exe /shuffle) that reads the same groups and settings and writes every box to a log.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "foundation/ErrorText.h"
#include "shuffle/core/ShuffleMethod.h"
#include "shuffle/core/Spread.h"
#include "shuffle/page/OutputFileChoice.h"

namespace swirlo {

struct AppPaths;
class IniSettings;
class LogFile;
class MediaLibrary;
class SongSelection;

// What the options ask of one run.
struct ShuffleOptions {
    int nLimit = -1;  // entries to write; -1 all
    bool bWarn = false;  // ask before replacing a file
    ShuffleMethod method = ShuffleMethod::Even;
    int nSeparation = 0;  // segments (even) or songs between repeats (separated)
    bool bNoReps = false;  // the no-repetitions limit is checked
    bool bLarger = false;  // of both limits, the larger applies
};

// What a run that wrote its playlist leaves for a report beside the summary.
struct ShuffleReport {
    std::uint64_t nEntries = 0;
    std::uint64_t nUnique = 0;  // different songs among the entries written
    int nShortfalls = 0;  // plays of the even placement closer than asked
    bool bSepFailed = false;  // the separated method left repeats close together
};

class ShuffleHost {
public:
    virtual ~ShuffleHost() = default;

    virtual IniSettings& Settings() = 0;
    virtual const AppPaths* Paths() const = 0;
    virtual LogFile& Log() = 0;
    virtual ErrorRecord& Error() = 0;
    virtual MediaLibrary* Library() = 0;
    virtual const std::wstring& Version() const = 0;

    // The run's options; 0 when a question was declined or after a box.
    virtual int ReadOptions(ShuffleOptions& opt) = 0;
    // The playlist file; 0 when the choice was cancelled or after a box.
    virtual int ChooseOutput(const ShuffleOptions& opt, OutputChoice& out) = 0;
    // The song groups in list order; false (no box) when one of them cannot be had.
    virtual bool Groups(std::vector<const SongSelection*>& groups) = 0;

    // Puts the host in its running state once the log is started: the bar at 0, the stop flag
    // cleared (set when a close was asked for meanwhile), the dispatch budget restarted.
    virtual void BeginRun() = 0;
    virtual void SetStatus(const std::wstring& text) = 0;
    virtual void SetBar(int pos) = 0;
    // Dispatch on the budget, and now.
    virtual void Pump() = 0;
    virtual void ForcePump() = 0;
    virtual bool StopAsked() const = 0;
    // An error box of the run, one line per part. Returns 0.
    virtual int ShowErrorBox(const wchar_t* p1, const wchar_t* p2 = nullptr, const wchar_t* p3 = nullptr,
                             const wchar_t* p4 = nullptr) = 0;
    // The playlist size without repetitions that the even placement found.
    virtual void SetMinSegmentSize(int n) { (void)n; }
    // The written order and its songs, kept for the spread picture by a host that offers one.
    virtual void KeepSpread(SpreadSource src) { (void)src; }
};

// 1 when the playlist was written (path and summary for the success box, report when given); 0
// after the run's box, or when a question or the file choice was declined.
int RunShuffle(ShuffleHost& host, std::wstring& sOutPath, std::wstring& sSummary, ShuffleReport* report = nullptr);

// The proposed output name by the settings' name rules and today's date. firstName is the first
// group's name, null when it could not be had.
std::wstring DefaultNameBySettings(const IniSettings& set, const std::wstring* firstName);

}  // namespace swirlo
