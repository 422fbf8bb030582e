#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <tuple>
#include <vector>

#include "albumart/page/CopyImages.h"
#include "albumart/page/CopySelectDialog.h"
#include "foundation/Utilities.h"
#include "framework/Controls.h"
#include "framework/Handles.h"
#include "resources/resource.h"
#include "tests/foundation/WinTestSupport.h"

using namespace swirlo;
using namespace swirlo::test;

namespace {

// The JPEG fixtures made at build time (solid colours, different sizes).
std::wstring Jpeg(const char* name) { return WinPath(std::string(ALBUMART_JPEGS) + "/" + name); }
bool Near(COLORREF c, COLORREF want) {
    return std::abs(GetRValue(c) - GetRValue(want)) < 16 && std::abs(GetGValue(c) - GetGValue(want)) < 16 &&
           std::abs(GetBValue(c) - GetBValue(want)) < 16;
}
// A folder two levels down whose paths run past 260 characters, made as Windows needs: "\\?\" + it.
std::wstring DeepDir(const TempDir& dir) {
    const std::wstring deep = dir / (std::wstring(130, L'a') + L"\\" + std::wstring(130, L'b'));
    CreateDirectoryW((L"\\\\?\\" + deep.substr(0, deep.size() - 131)).c_str(), nullptr);
    return CreateDirectoryW((L"\\\\?\\" + deep).c_str(), nullptr) ? deep : L"";
}

struct Fixture {
    TempDir dir;
    AlbumFolderArray arr{dir.Path() + L"tgt", dir.Path() + L"src"};
    MessageBoxRecorder boxes;
    std::unique_ptr<CopySelectDialog> dlg;
    HWND h = nullptr, list = nullptr;

    Fixture() {
        InitCommonControls();
        for (auto [folder, file, jpeg] : {std::tuple{L"src\\Aa\\X", L"\\Folder.jpg", "red.jpg"},
                                          {L"src\\Dd\\Y", L"\\Folder.jpg", "blue.jpg"},
                                          {L"tgt\\Dd\\Y", L"\\AlbumArt.jpg", "green.jpg"}}) {
            dir.Dir(folder);
            CopyFileW(Jpeg(jpeg).c_str(), (dir / folder + file).c_str(), FALSE);
        }
        auto size = [&](const wchar_t* rel) { return static_cast<int>(ReadBytes(dir / rel).size()); };
        arr.Add(L"Bb", L"X", 0, 100, L"Bb\\X", 1);                                            // r0
        arr.Add(L"Aa", L"X", 0, size(L"src\\Aa\\X\\Folder.jpg"), L"Aa\\X", 0);               // r1
        arr.Add(L"Cc", L"Y", 0, 50, L"Zz\\Y", 0);                                             // r2
        arr.Add(L"Dd", L"Y", size(L"tgt\\Dd\\Y\\AlbumArt.jpg"), size(L"src\\Dd\\Y\\Folder.jpg"), L"Dd\\Y", 3);
        arr.Add(L"Ee", L"Y", 10, 10, L"Ee\\Y", 4);                                            // r4
        arr.Add(L"Ff", L"Y", 10, 0, L"Ff\\Y", 5);                                             // r5
        arr.Add(L"Gg", L"Y", 10, -1, L"<No match found in source folders>", 6);               // r6
        arr.Add(L"", L"<No match found in target folders>", -1, 5, L"Hh\\Y", 7);              // r7
        arr.Add(L"Ii", L"Y", 0, 10, L"Ii\\Y", 2);                                             // r8
        dlg = std::make_unique<CopySelectDialog>(GetModuleHandleW(nullptr), L"Swirlo", nullptr, nullptr, arr,
                                                 L"Folder.jpg", L"AlbumArt.jpg");
        h = dlg->CreateModeless();
        list = dlg->List();
        ShowWindow(h, SW_SHOW);
    }
    ~Fixture() { DestroyWindow(h); }

    // Record per row, or with boxes its checkbox: 0 none, 1 unchecked, 2 checked.
    std::vector<int> Rows(bool boxes = false) {
        std::vector<int> v;
        for (int r = 0; r < SendMessageW(list, LVM_GETITEMCOUNT, 0, 0); ++r) {
            LVITEMW it{};
            it.mask = LVIF_PARAM;
            it.iItem = r;
            SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&it));
            v.push_back(boxes ? static_cast<int>(SendMessageW(list, LVM_GETITEMSTATE, r, LVIS_STATEIMAGEMASK) >> 12)
                              : static_cast<int>(it.lParam));
        }
        return v;
    }
    void Click(int id) { SendMessageW(GetDlgItem(h, id), BM_CLICK, 0, 0); }
    void Notify(UINT code, int item, int sub = 0) {
        NMITEMACTIVATE nm{};
        nm.hdr = {list, IDC_CS_LIST, code};
        nm.iItem = item;
        nm.iSubItem = sub;
        SendMessageW(h, WM_NOTIFY, IDC_CS_LIST, reinterpret_cast<LPARAM>(&nm));
    }
    // A click on the row selects it and then activates it; without the activation the selection
    // moves as a key moves it, ahead of the preview.
    void Select(int row, bool activate = true) {
        ListView_SetItemState(list, -1, 0, LVIS_SELECTED);
        ListView_SetItemState(list, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        ListView_SetSelectionMark(list, row);
        if (activate) Notify(LVN_ITEMACTIVATE, row);
    }
    // Lets messages run for at least ms and until the preview's images, read on another thread,
    // have arrived on both sides.
    void Settle(DWORD ms = 0) {
        for (DWORD t0 = GetTickCount(), t; (t = GetTickCount() - t0) < 10000 && (t < ms || dlg->PreviewPending()); Sleep(5)) {
            MSG m;
            while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&m);
        }
        ASSERT_FALSE(dlg->PreviewPending());
    }
    // The four lines under the thumbnails: source bytes and pixels, target bytes and pixels.
    std::wstring Sizes() {
        std::wstring s;
        for (int id : {IDC_CS_SRC_BYTES, IDC_CS_SRC_PIXELS, IDC_CS_TGT_BYTES, IDC_CS_TGT_PIXELS}) s += GetItemText(h, id) + L"|";
        return s;
    }
    // The middle of a thumbnail has about the given colour.
    bool ThumbIs(int id, int r, int g, int b) {
        UpdateWindow(GetDlgItem(h, id));
        return Near(GetPixel(WindowDC(GetDlgItem(h, id)).Get(), 35, 35), RGB(r, g, b));
    }
};

}  // namespace

TEST(CopySelect, ListOrderCheckboxesBatchesAndHiding) {
    Fixture f;
    ASSERT_NE(f.h, nullptr);
    EXPECT_EQ(f.Rows(), (std::vector<int>{1, 2, 0, 8, 3, 4, 5, 7, 6}));  // Match up, ties by source path, "<" last
    EXPECT_EQ(f.Rows(true), (std::vector<int>{1, 1, 1, 1, 1, 1, 0, 0, 0}));
    // The colour in words: in the Match column, the colour key and the help; and a name for each
    // owner-drawn square and thumbnail, which a screen reader announces.
    std::wstring words, key = GetItemText(f.h, IDC_CS_KEY_GREEN) + GetItemText(f.h, IDC_CS_KEY_ORANGE) + GetItemText(f.h, IDC_CS_KEY_GREY);
    std::string help = ReadBytes(WinPath(SWIRLO_HELP_DIR "/albumart.htm"));
    for (int row = 0; row < 9; ++row) {
        wchar_t w[32] = {};
        ListView_GetItemText(f.list, row, 0, w, 32);
        words += w + std::wstring(L"|");
        EXPECT_TRUE(key.find(L"(\"" + std::wstring(w) + L"\")") != key.npos && help.find("<i>" + std::string(w, w + wcslen(w)) + "</i>") != help.npos) << w;
    }
    EXPECT_EQ(words, L"exact|exact|close|loose|differs|same|no image|none|none|");
    for (int id : {IDC_CS_KEY_IMG0, IDC_CS_KEY_IMG1, IDC_CS_KEY_IMG2, IDC_CS_SRC_THUMB, IDC_CS_TGT_THUMB})
        EXPECT_FALSE(GetItemText(f.h, id).empty()) << id;

    struct Batch {
        int button;
        std::vector<int> boxes;
    } batches[] = {{IDC_CS_COL3, {2, 2, 2, 2, 2, 1, 0, 0, 0}}, {IDC_CS_COL0, {2, 2, 1, 1, 1, 1, 0, 0, 0}},
                   {IDC_CS_COL1, {2, 2, 2, 1, 1, 1, 0, 0, 0}}, {IDC_CS_CHECK_ALL, {2, 2, 2, 2, 2, 2, 0, 0, 0}}};
    for (const Batch& b : batches) {
        f.Click(b.button);
        EXPECT_EQ(f.Rows(true), b.boxes) << b.button;
    }
    // A grey row refuses a checkbox.
    ListView_SetItemState(f.list, 7, INDEXTOSTATEIMAGEMASK(2), LVIS_STATEIMAGEMASK);
    EXPECT_EQ(f.Rows(true)[7], 0);

    // Red rows hidden and shown again come back unchecked.
    f.Click(IDC_CS_HIDE_RED);
    EXPECT_EQ(f.Rows(), (std::vector<int>{1, 2, 0, 8, 3, 5, 7, 6}));
    f.Click(IDC_CS_HIDE_RED);
    EXPECT_EQ(f.Rows(), (std::vector<int>{1, 2, 0, 8, 3, 4, 5, 7, 6}));
    EXPECT_EQ(f.Rows(true)[5], 1);
    f.Click(IDC_CS_HIDE_NOTGT);
    f.Click(IDC_CS_HIDE_NOIMG);
    EXPECT_EQ(f.Rows(), (std::vector<int>{1, 2, 0, 8, 3, 4, 6}));

    // Copy To Player takes the checked rows in list order.
    f.Click(IDC_CS_UNCHECK_ALL);
    SendMessageW(f.h, WM_COMMAND, IDOK, 0);
    ASSERT_EQ(f.boxes.boxes.size(), 1u);
    EXPECT_NE(f.boxes.boxes[0].text.find(L"Nothing to copy!\r\nNo files are checked in the list."), std::wstring::npos);
    f.Click(IDC_CS_COL2);
    SendMessageW(f.h, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(f.dlg->SelectedIndices(), (std::vector<int>{1, 2, 0, 8}));

    // Header clicks.
    Fixture g;
    g.Notify(LVN_COLUMNCLICK, -1, 0);  // Match again: reversed, grey rows first
    EXPECT_EQ(g.Rows(), (std::vector<int>{5, 7, 6, 4, 3, 8, 0, 1, 2}));
    g.Notify(LVN_COLUMNCLICK, -1, 1);
    EXPECT_EQ(g.Rows(), (std::vector<int>{1, 0, 3, 4, 5, 7, 8, 2, 6}));
    g.Notify(LVN_COLUMNCLICK, -1, 1);
    EXPECT_EQ(g.Rows(), (std::vector<int>{6, 2, 8, 7, 5, 4, 3, 0, 1}));
    g.Notify(LVN_COLUMNCLICK, -1, 2);  // target path: the unpaired source's "<..." last
    EXPECT_EQ(g.Rows().back(), 7);
}

TEST(CopySelect, PreviewShowsBothImagesTheirSizesAndMissingOnes) {
    Fixture f;
    f.Settle();
    // Row 0 (record 1): a red source image, no target image.
    EXPECT_EQ(f.Sizes(), FormatW(L"%d Bytes|64x48 Pixels|No|file|", f.arr.GetCounterpartImageSize(1)));
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(f.h, IDC_CS_TGT_THUMB)));
    EXPECT_TRUE(f.ThumbIs(IDC_CS_SRC_THUMB, 224, 16, 16));
    // Row 4 (record 3): blue on the computer, green on the player; asked for between two other rows,
    // so that images of rows no longer current must not arrive.
    f.Notify(LVN_ITEMACTIVATE, 4);
    f.Notify(LVN_ITEMACTIVATE, 0);
    f.Settle();
    EXPECT_EQ(f.Sizes(), FormatW(L"%d Bytes|64x48 Pixels|No|file|", f.arr.GetCounterpartImageSize(1)));
    f.Notify(LVN_ITEMACTIVATE, 4);
    f.Settle();
    EXPECT_EQ(f.Sizes(), FormatW(L"%d Bytes|40x40 Pixels|%d Bytes|120x90 Pixels|", f.arr.GetCounterpartImageSize(3),
                                 f.arr.GetImageSize(3)));
    EXPECT_TRUE(f.ThumbIs(IDC_CS_SRC_THUMB, 16, 48, 208));
    EXPECT_TRUE(f.ThumbIs(IDC_CS_TGT_THUMB, 32, 176, 32));
    EXPECT_TRUE(f.boxes.boxes.empty());
    // Row 2 (record 0): the source image is not there any more. A key on the row asks for it again
    // while the selection moves to row 4: no box for the row left behind.
    f.Select(2);
    f.Notify(LVN_KEYDOWN, 2);
    f.Select(4, false);
    f.Settle(400);  // past the key's timers
    EXPECT_TRUE(f.boxes.boxes.empty());
    // On row 2 one box names its image, however often keys and timers read it again.
    f.Select(2);
    f.Settle();
    f.Notify(LVN_KEYDOWN, 2);
    f.Settle(400);
    EXPECT_EQ(f.Sizes(), L"100 Bytes||No|file|");
    ASSERT_EQ(f.boxes.boxes.size(), 1u);
    EXPECT_NE(f.boxes.boxes[0].text.find(L"Error loading source image\r\n" + f.arr.GetFilePath2(0, L"Folder.jpg")),
              std::wstring::npos);
    // Only the colour keys draw a bitmap: any other owner-drawn id leaves its item blank.
    for (UINT id : {IDC_CS_KEY_IMG0 - 1u, IDC_CS_KEY_IMG0 + 3u, IDC_CS_KEY_IMG0 + 0u}) {
        WindowDC dc(f.h);
        DRAWITEMSTRUCT dis{ODT_STATIC, id, 0, ODA_DRAWENTIRE, 0, nullptr, dc.Get(), {0, 0, 8, 8}, 0};
        SendMessageW(f.h, WM_DRAWITEM, id, reinterpret_cast<LPARAM>(&dis));
        EXPECT_EQ(GetPixel(dc.Get(), 4, 4) == GetSysColor(COLOR_BTNFACE), id != IDC_CS_KEY_IMG0) << id;
    }
}

TEST(CopySelect, PreviewImagesNoLongerWantedAreDropped) {
    HWND w = CreateWindowW(L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    PreviewLoader loader(w, WM_APP + 7);
    // Each large image is being read (it takes tens of milliseconds) when its side asks for
    // something else: a cancel for side 1, another image for side 0.
    loader.Request(1, Jpeg("large.jpg"));
    Sleep(10);
    loader.Cancel(1);
    loader.Request(0, Jpeg("large.jpg"));
    loader.Request(0, Jpeg("red.jpg"));
    PreviewLoader::Image image;
    for (DWORD end = GetTickCount() + 10000; !loader.Take(0, image) && GetTickCount() < end;) Sleep(5), PumpMessages();
    EXPECT_EQ(image.path + FormatW(L" %dx%d %d", image.width, image.height, image.picture.IsLoaded()),
              Jpeg("red.jpg") + L" 64x48 1");
    EXPECT_FALSE(loader.Take(1, image));
    EXPECT_FALSE(loader.Busy());
    DestroyWindow(w);
}

// Covers of every kind are decoded and drawn, from a folder whose paths run past 260 characters; a
// large one is kept reduced, with its own size reported; a see-through one shows the frame's colour.
TEST(CopySelect, PicturesOfEveryKindAreDecodedAndDrawn) {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    TempDir dir;
    const std::wstring deep = DeepDir(dir);
    WindowDC screen(nullptr);
    UniqueMemDC mem(CreateCompatibleDC(screen.Get()));
    UniqueBitmap bmp(CreateCompatibleBitmap(screen.Get(), 70, 70));
    SelectGuard keep(mem.Get(), bmp.Get());
    for (auto [file, size, middle] : {std::tuple{"red.jpg", L"64x48", RGB(224, 16, 16)}, {"orange.png", L"50x30", RGB(255, 128, 0)},
                                      {"clear.png", L"24x24", GetSysColor(COLOR_BTNFACE)}, {"purple.gif", L"20x60", RGB(128, 0, 128)},
                                      {"teal.bmp", L"33x33", RGB(0, 128, 128)}, {"large.jpg", L"700x700", CLR_INVALID}}) {
        const std::wstring path = deep + L"\\cover." + std::wstring(file, file + strlen(file));
        CPicture pic;
        EXPECT_TRUE(CopyFileW(Jpeg(file).c_str(), (L"\\\\?\\" + path).c_str(), FALSE) && pic.Load(path) &&
                    pic.Draw(mem.Get(), 0, 0, 70, 70)) << file;
        EXPECT_EQ(FormatW(L"%dx%d", pic.Width(), pic.Height()), size);
        EXPECT_TRUE(middle == CLR_INVALID || Near(GetPixel(mem.Get(), 35, 35), middle)) << file;
    }
}

// A folder where the image should go, on a row of any colour, is left alone and the other rows are
// still copied. Then what the box after the copy says, and that the help says the same.
TEST(CopySelect, CopyLeavesFoldersNamedLikeTheImageAndSaysWhatItDid) {
    Fixture f;
    ASSERT_TRUE(f.dir.Dir(L"tgt\\Aa\\X\\AlbumArt.jpg"));  // on the bright green row of record 1
    std::vector<int> selection{1, 3};
    CopyProgressDialog copy(GetModuleHandleW(nullptr), L"Swirlo", nullptr, f.arr, selection, L"Folder.jpg", L"AlbumArt.jpg");
    EXPECT_EQ(copy.RunModal(), 1);
    EXPECT_TRUE(f.boxes.boxes.empty());
    EXPECT_EQ(copy.Folders(), std::vector<std::wstring>{f.arr.GetFilePath1(1, L"AlbumArt.jpg")});
    EXPECT_EQ(copy.Copied(), 1);
    EXPECT_EQ(ReadBytes(f.dir / L"tgt\\Dd\\Y\\AlbumArt.jpg"), ReadBytes(Jpeg("blue.jpg")));

    const std::wstring folder = L"File on player with album art name is a folder, can't replace with image file:";
    const struct {
        INT_PTR done;
        bool stopped, error;
        int copied, total, folders;
        std::vector<std::wstring> lines;
    } cases[] = {
        {1, false, false, 12, 12, 0, {L"Files copy completed.", L"12 image files copied to player."}},
        {1, false, true, 3, 7, 4, {folder, L"F0\r\nF1\r\nF2\r\nand 1 more", L"3 of 7 image files copied to player."}},
        {1, false, true, 3, 5, 1, {L"Error not detected, but count of files copied 3\ndiffers from number of files selected to copy 5"}},
        {0, true, false, 4, 9, 1, {L"Copying stopped by user Cancel.", L"4 files were already copied to player."}},
        {0, false, false, 4, 9, 0, {}}};
    for (const auto& c : cases) {
        std::vector<std::wstring> folders;
        for (int i = 0; i < c.folders; ++i) folders.push_back(L"F" + std::to_wstring(i));
        bool error = !c.error;
        EXPECT_EQ(CopyOutcome(c.done, c.stopped, c.copied, c.total, folders, error), c.lines);
        EXPECT_EQ(error, c.error) << c.copied;
    }
    std::string help = ReadBytes(WinPath(SWIRLO_HELP_DIR "/albumart.htm"));
    for (const wchar_t* line : {L"<i>Files copy completed.</i>", L"<i>12 image files copied to player.</i>"})
        EXPECT_NE(help.find(std::string(line, line + wcslen(line))), std::string::npos);
}

// The copy on the player is a plain file whatever the source's attributes (a player's own image is
// often hidden and system), also over a hidden, system or read-only old one; a failed copy leaves
// the old file as it was; in a folder whose paths run past 260 characters too.
TEST(CopySelect, ReplacingLeavesAPlainFileAndKeepsTheOldOneWhenTheCopyFails) {
    TempDir dir;
    constexpr DWORD hs = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM, rhs = hs | FILE_ATTRIBUTE_READONLY;
    const struct { std::wstring folder; DWORD sourceAttrs, oldAttrs; bool sourceThere; } cases[] = {  // oldAttrs 0: no old file
        {dir.Root(), hs, 0, true}, {dir.Root(), 0, rhs, true}, {DeepDir(dir), hs, rhs, true}, {dir.Root(), 0, rhs, false}};
    for (const auto& c : cases) {
        const std::wstring source = L"\\\\?\\" + c.folder + L"\\Folder.jpg", target = L"\\\\?\\" + c.folder + L"\\AlbumArt.jpg";
        ASSERT_TRUE(!c.sourceThere || (WriteBytes(source, "new image") && SetFileAttributesW(source.c_str(), c.sourceAttrs | FILE_ATTRIBUTE_ARCHIVE)));
        ASSERT_TRUE(!c.oldAttrs || (WriteBytes(target, "old image") && SetFileAttributesW(target.c_str(), c.oldAttrs)));
        EXPECT_EQ(ReplaceWithCopy(source.substr(4), target.substr(4)), c.sourceThere ? 1 : 0) << c.folder.size();
        EXPECT_EQ(ReadBytes(target), c.sourceThere ? "new image" : "old image");
        EXPECT_EQ(GetFileAttributesW(target.c_str()) & rhs, c.sourceThere ? 0 : c.oldAttrs);
        EXPECT_EQ(GetFileAttributesW(source.c_str()) & rhs, c.sourceThere ? c.sourceAttrs : INVALID_FILE_ATTRIBUTES & rhs);
        WIN32_FIND_DATAW fd;  // no temporary left
        EXPECT_EQ(UniqueFind(FindFirstFileW((L"\\\\?\\" + c.folder + L"\\*.tmp").c_str(), &fd)).Get(), INVALID_HANDLE_VALUE);
        for (const std::wstring& f : {source, target}) SetFileAttributesW(f.c_str(), FILE_ATTRIBUTE_NORMAL), DeleteFileW(f.c_str());
    }
}
