// The program's window base classes: ZWin (what every window needs: captions, owner chain, error
// text and box, centring, icon, help), ZDialog (a dialog resource run modally or modeless) and
// ZWinUtil (a windowless ZWin for error texts and boxes).
#pragma once
#include <windows.h>

#include <string>

#include "foundation/AppPaths.h"
#include "foundation/ErrorText.h"

namespace swirlo {

class LogFile;

class ZWin {
public:
    static constexpr std::size_t kCaptionMax = 127;  // 128 with the terminator

    ZWin(HINSTANCE hInst, const wchar_t* caption, const wchar_t* subtitle, ZWin* parent,
         const AppPaths* paths);
    virtual ~ZWin();
    ZWin(const ZWin&) = delete;
    ZWin& operator=(const ZWin&) = delete;

    // Virtual operations in their slot order (after the destructor).
    virtual int OnCancel();
    virtual int OnOK();
    virtual BOOL OnInitDialog();
    virtual void OnClose() {}
    virtual void OnDestroy() {}

    HWND Hwnd() const { return m_hWnd; }
    HWND ParentHwnd() const { return m_hParentWnd; }
    HINSTANCE Instance() const { return m_hInst; }
    const std::wstring& Caption() const { return m_sCaption; }
    const std::wstring& Title() const { return m_sTitle; }
    const AppPaths* Paths() const { return m_pPaths; }

    // Error text of the window (8,191 characters).
    int SetErrorParts(const wchar_t* p1, const wchar_t* p2 = nullptr, const wchar_t* p3 = nullptr,
                      const wchar_t* p4 = nullptr, const wchar_t* p5 = nullptr, const wchar_t* p6 = nullptr);
    std::wstring TakeWindowError(bool clear) { return m_error.Take(clear); }
    ErrorRecord& Error() { return m_error; }

    // Warning box owned by this window, captioned "<caption>" and the error suffix (" - ERROR", or
    // what SetErrorSuffix gave: the album art windows use " - Error"). Returns 0.
    int ShowErrorBox(const wchar_t* p1, const wchar_t* p2 = nullptr, const wchar_t* p3 = nullptr,
                     const wchar_t* p4 = nullptr, const wchar_t* p5 = nullptr, const wchar_t* p6 = nullptr);

    // Centres the window over its parent (the screen when none), inside the work area of that monitor.
    void CentreOverParent();
    // The control's rectangle in this window's client coordinates.
    RECT ControlRect(int controlId) const;

    // Big and small window icons from an icon resource (shared, never destroyed by the window).
    void SetIcon(int iconResId);
    // Shows the help file beside the program at a topic page ("pl_pref.htm"), or at its contents
    // when topic is null. Nothing happens without the program's folders.
    void ShowHelpTopic(const wchar_t* topic);

    // A quiet window shows no error box: its texts go to its log when it has one open.
    void SetQuiet(bool quiet) { m_bQuiet = quiet; }
    bool IsQuiet() const { return m_bQuiet; }
    // The window's own log, for what it cannot show in a box; the pages have one.
    virtual LogFile* OwnLog() { return nullptr; }

    void SetErrorSuffix(const wchar_t* suffix) { m_sErrorSuffix = suffix; }
    std::wstring ErrorCaption() const { return m_sCaption + m_sErrorSuffix; }

protected:
    ZWin* m_pParent;
    HWND m_hParentWnd;
    std::wstring m_sCaption;
    std::wstring m_sTitle;
    HINSTANCE m_hInst;
    HWND m_hWnd = nullptr;
    const AppPaths* m_pPaths;
    std::wstring m_sErrorSuffix = L" - ERROR";
    bool m_bQuiet = false;
    ErrorRecord m_error;
};

class ZDialog : public ZWin {
public:
    ZDialog(HINSTANCE hInst, const wchar_t* caption, const wchar_t* subtitle, ZWin* parent,
            const AppPaths* paths);

    // Runs the dialog resource modally (owner: the parent window). -1 and an error box without a
    // dialog procedure or resource.
    INT_PTR RunModal();
    // Creates the dialog resource modeless as a child of the parent window.
    HWND CreateModeless();

    void EndWithOK() { EndDialog(m_hWnd, 1); }
    void EndWithCancel() { EndDialog(m_hWnd, 0); }

    // Default handling of what a dialog procedure does not handle itself.
    INT_PTR DefaultHandling(UINT msg, WPARAM wParam, LPARAM lParam);

    // Takes over an existing window (one not made from this object's resource).
    void Attach(HWND h) { m_hWnd = h; }

protected:
    // Subclasses set the resource; the procedure forwards to HandleMessage of the instance whose
    // pointer came with the creation.
    int m_nResId = 0;

    // The help topic of this window, for F1 (the dialog manager's WM_HELP); null: the contents.
    virtual const wchar_t* HelpTopic() const { return nullptr; }
    // The window now shows at dpi dots per inch (a move to a monitor of another scale): the dialog
    // manager has placed the controls and set their fonts; what the window sizes in pixels itself
    // (bitmaps, list columns) is made again here.
    virtual void OnDpiChanged(UINT dpi) { (void)dpi; }

    // Per-dialog messages; the default is DefaultHandling.
    virtual INT_PTR HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
        return DefaultHandling(msg, wParam, lParam);
    }
    static INT_PTR CALLBACK InstanceProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    // What the procedure does with an exception that reached it: an error box (or, with no window
    // to own one, the window's log). The message is not handled any further.
    void ReportEscaped(const char* what);

    bool m_bModal = false;
};

class ZWinUtil : public ZWin {
public:
    explicit ZWinUtil(ZWin* parent, const wchar_t* caption = nullptr)
        : ZWin(nullptr, caption ? caption : L"ZWinUtil", nullptr, parent, parent ? parent->Paths() : nullptr) {}
};

}  // namespace swirlo
