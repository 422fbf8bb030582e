// The program's private window messages, all in one list, by the window that receives them. A
// value may repeat on different windows but never on one. The values stay as they are: the
// benchmarks and tests send some of them.
#pragma once
#include <windows.h>

namespace swirlo {

// The main window.
constexpr UINT WM_APP_MENU_CLOSED = WM_APP + 1;
constexpr UINT WM_APP_OPEN_MENU = WM_APP + 2;
constexpr UINT WM_APP_NEXT_TAB = WM_APP + 3;
constexpr UINT WM_APP_RELAYOUT = WM_APP + 4;
constexpr UINT WM_APP_FIRST_SHOWN = WM_APP + 5;
constexpr UINT WM_APP_PAGE_IDLE = WM_APP + 40;  // from a page whose job ended after a close was asked for

// The shuffle page: the library set-up after the first paint.
constexpr UINT WM_APP_SHUFFLE_SETUP = WM_APP + 20;
// The song selection dialog: the lists are filled once the dialog shows.
constexpr UINT WM_APP_FILL_LIST = WM_APP + 20;

// The copy-selection dialog: a preview image has been read (wParam: 0 source, 1 target).
constexpr UINT WM_APP_PREVIEW_READY = WM_APP + 1;
// The copy progress dialog: the copy starts once the dialog shows.
constexpr UINT WM_APP_START_COPY = WM_APP + 20;

// Every dialog (ZDialog): the window's scale changed and its controls have been placed for it
// (wParam: the new dots per inch, 0 for the window's own).
constexpr UINT WM_APP_DPI_CHANGED = WM_APP + 60;

// The message-only window of a PostBack: functions posted from another thread are waiting.
constexpr UINT WM_APP_POSTED = WM_APP + 1;

}  // namespace swirlo
