// Blendo.exe /shuffle [FILE]: the shuffle page's job without its window, for a scheduled task. It
// reads the groups the page keeps and the page's saved settings (and writes neither), runs the same
// shuffle, and appends one line per run to "unattended shuffle log.txt" in the log folder. Nothing
// waits for a click: every message box of the process is answered at once and written to that line.
#pragma once
#include <string>

namespace swirlo {

struct AppPaths;
class IniSettings;

// The exit codes of a run.
constexpr int kUnattendedWritten = 0;
constexpr int kUnattendedFailed = 1;
constexpr int kUnattendedNothing = 2;  // no groups, only exclusions, or a group naming what the library lost

// From here on every message box of the process is answered without being shown (OK, or the answer
// that changes nothing: No, Cancel) and kept for the run's log line.
void AnswerBoxesForLog();

// Runs the kept groups into sFile (empty: the default output name in the folder of the last save).
// Returns the exit code.
int ShuffleUnattended(const AppPaths& paths, IniSettings& settings, const std::wstring& sFile);

// For a run that cannot start (its settings unreadable, an argument too many): the log line with the
// reason. Returns kUnattendedFailed.
int UnattendedFailed(const AppPaths& paths, const std::wstring& sFile, const std::wstring& reason);

}  // namespace swirlo
