// The "Zadered Iruzad Irovero" page: the list of song groups (256 slots), the separation and limit
// options, and the button that runs the shuffle (OnShuffle) and stops it again.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "foundation/RunContext.h"
#include "framework/Controls.h"
#include "framework/Handles.h"
#include "framework/MessagePump.h"
#include "framework/NumberBox.h"
#include "framework/TabPage.h"
#include "shuffle/core/Spread.h"
#include "shuffle/page/OutputFileChoice.h"
#include "shuffle/page/SongSelection.h"

namespace swirlo {

class IniSettings;
class MediaLibrary;

class ShufflePage : public TabPage {
public:
    static constexpr int kSlots = 256;

    ShufflePage(HINSTANCE hInst, IniSettings* settings, const wchar_t* caption, ZWin* parent, const AppPaths* paths);
    ~ShufflePage() override;

    bool IsBusy() const override { return m_bRunning; }
    void CloseDown() override;

    // The save button's handler: Stop during a run, else the whole run and its boxes.
    void OnSaveButton();
    // 1 when the playlist was written; path and summary for the success box.
    int OnShuffle(std::wstring& sOutPath, std::wstring& sSummary);

    // Puts a group into the first free slot and appends its row; false when all slots are used or the
    // row could not be inserted (after the box). missing: the group's playlists and genres the library
    // no longer has.
    bool AddGroup(std::unique_ptr<SongSelection> group, const std::vector<std::wstring>& missing = {});
    int RowCount() const;
    // The record of a list row (null when the row or its slot is not valid).
    const SongSelection* RowRecord(int row) const;
    // The name of the first row ("" and false when there is none).
    bool FirstRowName(std::wstring& name) const;

    // The path of the file that keeps the groups between program runs.
    std::wstring GroupsFilePath() const;
    // The longest time between two message dispatches of the last run (for the benchmark).
    DWORD LongestPumpGapMs() const { return m_pump.LongestGapMs(); }
    MediaLibrary* Library() const { return m_pLibrary.get(); }
    // Where the star strip above the frequencies is drawn, in the page's client coordinates.
    const RECT& StarsRect() const { return m_rcStars; }

    // What a successful run wrote, kept for the spread picture until the next run starts.
    void KeepSpread(SpreadSource src);

protected:
    BOOL OnInitDialog() override;
    INT_PTR HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void StopRun() override { m_bCancel = true; }
    void OnDpiChanged(UINT dpi) override;

private:
    struct Slot {
        std::unique_ptr<SongSelection> pRec;
        std::vector<std::wstring> missing;  // of a restored group; Save refuses the group
    };
    class Host;  // what the shuffle run asks of the page

    void OnPaint();
    void PlaceStarsAndColumns();
    void SetUpLibrary();
    void RestoreGroups();
    void SaveGroups();
    void OnAddEdit(bool bEdit);
    void OnRemove();
    void OnShowSpread();
    bool SelectedSlot(const wchar_t* noSelection, int& row, int& slot);
    int SlotOfRow(int row, const wchar_t* readFail, const wchar_t* badIndex);
    bool InsertRow(int slot);
    void SetRowTexts(int row, int slot);
    std::wstring RowName(int slot) const;
    INT_PTR OnNotify(NMHDR* hdr);
    bool OnSpin(NMUPDOWN* ud);
    void OnEditChange(int id);
    void UpdateLabels();
    void EnableNoRepsControls();
    void EnableControls(bool on);
    void LoadControls();
    int ReadSeparation(int id, int maxChars);

    IniSettings* m_pSettings;
    std::array<Slot, kSlots> m_slots;
    HWND m_hList = nullptr;
    bool m_bRunning = false;
    volatile bool m_bCancel = false;
    ProgressBar m_bar;
    std::unique_ptr<MediaLibrary> m_pLibrary;
    std::wstring m_sVersion = L"3";
    PlaylistsFolder m_playlistsFolder;
    NumberBoxes m_boxes;
    bool m_bFirstPaint = true;
    bool m_bGroupsRestored = false;
    RECT m_rcStars{};
    UniqueBitmap m_hStars;
    MessagePump m_pump;
    int m_nMinSegmentSize = 0;
    std::unique_ptr<SpreadSource> m_pSpread;
};

// A song group kept in the groups file, with what it names that the library no longer has.
struct KeptGroup {
    std::unique_ptr<SongSelection> pRec;
    std::vector<std::wstring> missing;  // "Playlist: <title>", "Genre: <name>"
};
// Reads the groups file and looks each group's playlists (by title) and genres up in the library
// (none looked up without one). False when the file cannot be read or is no groups file, with the
// reason in error; otherwise skipped names each record left out.
bool ReadKeptGroups(const std::wstring& path, MediaLibrary* library, std::vector<KeptGroup>& kept,
                    std::vector<std::wstring>& skipped, std::wstring& error);

}  // namespace swirlo
