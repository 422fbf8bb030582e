// Where the main window gets its two pages and the album art options dialog. Each subsystem defines
// its own entry point, so that the shell knows the pages only as tab pages.
#pragma once
#include <memory>

#include "framework/TabPage.h"

namespace swirlo {

class IniSettings;

// The "Zadered Iruzad Irovero" page object (not yet created as a window).
std::unique_ptr<TabPage> MakeShufflePage(HINSTANCE hInst, IniSettings* settings, const wchar_t* caption,
                                         ZWin* parent, const AppPaths* paths);
// The "Copy Album Art to Player" page object (not yet created as a window).
std::unique_ptr<TabPage> MakeAlbumArtPage(HINSTANCE hInst, IniSettings* settings, const wchar_t* caption,
                                          ZWin* parent, const AppPaths* paths);
// Runs the Album Art Options dialog modally: 1 after OK, 0 after Cancel, -1 when it could not be
// created (the caller says so).
INT_PTR RunAlbumArtOptions(HINSTANCE hInst, IniSettings* settings, const wchar_t* caption, ZWin* parent,
                           const AppPaths* paths);

// The command line's jobs, before any window: "/shuffle [FILE]" without a window, "/?" the usage box.
// False for a plain start; otherwise true with the process's exit code.
bool RunCommandLine(const wchar_t* product, int& exitCode);

}  // namespace swirlo
