// The scan over real folder trees in a temporary folder (Wine or Windows).
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "FakePage.h"
#include "albumart/FolderScan.h"
#include "foundation/AppPaths.h"
#include "foundation/LogFile.h"
#include "tests/foundation/WinTestSupport.h"

using namespace swirlo;
using namespace swirlo::test;

namespace {

// The helper's tree, with every creation checked.
class TestTree : public TempDir {
public:
    void Dir(const std::wstring& rel) { ASSERT_TRUE(TempDir::Dir(rel)) << GetLastError(); }
    void File(const std::wstring& rel, DWORD bytes) { ASSERT_TRUE(TempDir::File(rel, bytes)) << GetLastError(); }
};

// The subfolders of a folder in the platform's listing order, without "." and "..".
std::vector<std::wstring> ListSubfolders(const std::wstring& dir) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((dir + L"\\*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return names;
    do {
        std::wstring n = fd.cFileName;
        if ((fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && n != L"." && n != L"..") names.push_back(n);
    } while (FindNextFileW(h, &fd));
    FindClose(h);
    return names;
}

int Find(const AlbumFolderArray& a, const std::wstring& relPath) {
    for (int i = 0; i < a.Count(); ++i)
        if (a.GetRelPath(i) == relPath) return i;
    return -1;
}

}  // namespace

TEST(FolderScan, RecordsEveryAlbumFolderInListingOrder) {
    TestTree t;
    t.Dir(L"Pink Floyd\\The Wall");
    t.File(L"Pink Floyd\\The Wall\\Folder.jpg", 123);
    t.Dir(L"Pink Floyd\\Animals");                      // no image: still recorded, size 0
    t.Dir(L"Pink Floyd\\Meddle");
    t.File(L"Pink Floyd\\Meddle\\FOLDER.JPG", 7);        // the file system ignores case
    t.Dir(L"Pink Floyd\\Meddle\\CD1");                  // deeper folders are never visited
    t.Dir(L"Pink Floyd\\Wish");
    t.Dir(L"Pink Floyd\\Wish\\Folder.jpg");             // a folder with the image's name is no image
    t.File(L"Pink Floyd\\cover.jpg", 5);                // files in an artist folder are ignored
    t.File(L"readme.txt", 3);                           // and in the parent
    t.Dir(L".x\\..y");                                 // dot names other than "." and ".." are real
    t.Dir(L"Bj\u00f6rk\\Homogenic");
    t.Dir(L"\u0421\u043f\u043b\u0438\u043d\\\u0410\u043b\u044c\u0431\u043e\u043c");  // outside the ANSI code page
    t.File(L"\u0421\u043f\u043b\u0438\u043d\\\u0410\u043b\u044c\u0431\u043e\u043c\\Folder.jpg", 9);
    t.Dir(L"\u6771\u4eac\u4e8b\u5909\\\u6559\u80b2");

    FakePage page;
    AlbumFolderArray a(t.Root());
    ASSERT_EQ(ScanAlbumFolders(page, t.Root(), L"Folder.jpg", a), 1);
    EXPECT_TRUE(page.boxes.empty());
    EXPECT_EQ(page.statuses.front(), L"Reading subfolders of parent folders ...");
    ASSERT_EQ(a.Count(), 8);

    EXPECT_EQ(a.GetImageSize(Find(a, L"Pink Floyd\\The Wall")), 123);
    EXPECT_EQ(a.GetImageSize(Find(a, L"Pink Floyd\\Animals")), 0);
    EXPECT_EQ(a.GetImageSize(Find(a, L"Pink Floyd\\Meddle")), 7);
    EXPECT_EQ(a.GetImageSize(Find(a, L"Pink Floyd\\Wish")), 0);
    EXPECT_GE(Find(a, L".x\\..y"), 0);
    EXPECT_GE(Find(a, L"Bj\u00f6rk\\Homogenic"), 0);
    EXPECT_EQ(a.GetImageSize(Find(a, L"\u0421\u043f\u043b\u0438\u043d\\\u0410\u043b\u044c\u0431\u043e\u043c")), 9);
    EXPECT_GE(Find(a, L"\u6771\u4eac\u4e8b\u5909\\\u6559\u80b2"), 0);

    // The order is the listing's, artist by artist.
    std::vector<std::wstring> expected;
    for (const std::wstring& artist : ListSubfolders(t.Root()))
        for (const std::wstring& album : ListSubfolders(t.Path(artist))) expected.push_back(artist + L"\\" + album);
    std::vector<std::wstring> got;
    for (int i = 0; i < a.Count(); ++i) got.push_back(a.GetRelPath(i));
    EXPECT_EQ(got, expected);
    for (int i = 0; i < a.Count(); ++i) {
        EXPECT_EQ(a.GetCounterpartImageSize(i), -1);
        EXPECT_EQ(a.GetMatchCode(i), -1);
        EXPECT_EQ(a.GetCounterpart(i), L"");
    }
}

TEST(FolderScan, EmptyMissingAndAlbumlessParentsGiveTheirMessages) {
    TestTree t;
    FakePage empty;
    AlbumFolderArray a;
    EXPECT_EQ(ScanAlbumFolders(empty, t.Root(), L"Folder.jpg", a), 0);
    ASSERT_EQ(empty.boxes.size(), 1u);
    EXPECT_EQ(empty.boxes[0], L"No album folders found in " + t.Root());

    FakePage missing;
    EXPECT_EQ(ScanAlbumFolders(missing, t.Path(L"nowhere"), L"Folder.jpg", a), 0);
    ASSERT_EQ(missing.boxes.size(), 1u);
    EXPECT_EQ(missing.boxes[0], L"Nothing found for search pattern:|" + t.Path(L"nowhere\\*"));

    // A file where the parent folder is expected.
    t.File(L"not a folder.txt", 3);
    FakePage file;
    EXPECT_EQ(ScanAlbumFolders(file, t.Path(L"not a folder.txt"), L"Folder.jpg", a), 0);
    ASSERT_EQ(file.boxes.size(), 1u);
    EXPECT_EQ(file.boxes[0], L"Nothing found for search pattern:|" + t.Path(L"not a folder.txt\\*"));

    // Artists without albums are logged; with no album anywhere the scan fails.
    t.Dir(L"Lonely Artist");
    t.File(L"Lonely Artist\\notes.txt", 1);
    FakePage albumless;
    EXPECT_EQ(ScanAlbumFolders(albumless, t.Root(), L"Folder.jpg", a), 0);
    ASSERT_EQ(albumless.boxes.size(), 1u);
    EXPECT_EQ(albumless.boxes[0], L"No album folders found in " + t.Root());
    EXPECT_EQ(albumless.log.text, L"12:34:56  No Album folders in\r\n          " + t.Path(L"Lonely Artist\\*") + L"\r\n");
    EXPECT_EQ(a.Count(), 0);
}

TEST(FolderScan, LogLinesOnlyWhenTheLogIsOpenAndScanGoesOn) {
    TestTree t;
    t.Dir(L"Empty Artist");
    t.Dir(L"Artist\\Album");
    FakePage page;
    page.log.open = false;
    AlbumFolderArray a;
    EXPECT_EQ(ScanAlbumFolders(page, t.Root(), L"Folder.jpg", a), 1);
    EXPECT_EQ(page.log.text, L"");
    EXPECT_EQ(a.Count(), 1);
}

// Folder names ending in a dot (made on another system), "..." among them (not "." or ".."), cannot
// be listed through the usual path rules: the artist is logged and skipped, the rest of the tree is read.
TEST(FolderScan, UnreadableArtistFolderIsLoggedAndSkipped) {
    for (const wchar_t* name : {L"Dotted.", L"..."}) {
        TestTree t;
        t.Dir(L"Artist\\Album");
        ASSERT_TRUE(CreateDirectoryW((L"\\\\?\\" + t.Path(name)).c_str(), nullptr)) << GetLastError();
        ASSERT_TRUE(CreateDirectoryW((L"\\\\?\\" + t.Path(name) + L"\\Album").c_str(), nullptr)) << GetLastError();
        FakePage page;
        AlbumFolderArray a;
        EXPECT_EQ(ScanAlbumFolders(page, t.Root(), L"Folder.jpg", a), 1);
        EXPECT_TRUE(page.boxes.empty());
        EXPECT_EQ(a.Count(), 1);
        EXPECT_EQ(page.log.text, L"12:34:56  Nothing found for search pattern:\r\n          " + t.Path(name) + L"\\*\r\n");
    }
}

TEST(FolderScan, StopAndRefusedAdditionsEndTheScan) {
    TestTree t;
    for (int i = 0; i < 5; ++i) t.Dir(L"Artist\\Album " + std::to_wstring(i));

    FakePage stopped;
    stopped.cancelAtPump = 1;
    AlbumFolderArray a;
    EXPECT_EQ(ScanAlbumFolders(stopped, t.Root(), L"Folder.jpg", a), 0);
    EXPECT_TRUE(stopped.boxes.empty());
    EXPECT_EQ(stopped.checksAfterCancel, 1);

    FakePage full;
    AlbumFolderArray small(t.Root(), L"", 3);
    EXPECT_EQ(ScanAlbumFolders(full, t.Root(), L"Folder.jpg", small), 0);
    ASSERT_EQ(full.boxes.size(), 1u);
    std::wstring fourth = L"Artist\\" + ListSubfolders(t.Path(L"Artist"))[3];
    EXPECT_EQ(full.boxes[0], L"Error adding album for:|" + fourth +
                                 L"|\r\nError allocating album structure\r\nAlbum folders array is full (3 albums)");
    EXPECT_EQ(small.ErrorText(), L"");  // taken by the box
    EXPECT_EQ(small.Count(), 3);
}

TEST(FolderScan, ParentGivenWithTrailingBackslash) {
    TestTree t;
    t.Dir(L"Artist\\Album");
    t.File(L"Artist\\Album\\AlbumArt.jpg", 42);
    FakePage page;
    AlbumFolderArray a(t.Root() + L"\\");
    ASSERT_EQ(ScanAlbumFolders(page, t.Root() + L"\\", L"AlbumArt.jpg", a), 1);
    ASSERT_EQ(a.Count(), 1);
    EXPECT_EQ(a.GetImageSize(0), 42);
    EXPECT_EQ(a.GetFilePath1(0, L"AlbumArt.jpg"), t.Path(L"Artist\\Album\\AlbumArt.jpg"));
}

TEST(FolderScan, MatchFoldersOverTwoRealTrees) {
    TestTree src, tgt;
    src.Dir(L"The Beatles\\Abbey Road");
    src.File(L"The Beatles\\Abbey Road\\Folder.jpg", 100);
    src.Dir(L"Madonna\\Now 50");
    src.File(L"Madonna\\Now 50\\Folder.jpg", 100);
    tgt.Dir(L"Beatles, The\\Abbey Road [Remastered]");
    tgt.Dir(L"Various Artists\\Now 50");
    tgt.File(L"Various Artists\\Now 50\\AlbumArt.jpg", 100);
    tgt.Dir(L"Muse\\Unit");
    FakePage page;
    AlbumFolderArray result(tgt.Root(), src.Root());
    ASSERT_EQ(MatchFolders(page, src.Root(), tgt.Root(), L"Folder.jpg", L"AlbumArt.jpg", true, result), 1);
    EXPECT_TRUE(page.boxes.empty());
    ASSERT_EQ(result.Count(), 3);
    int beatles = Find(result, L"Beatles, The\\Abbey Road [Remastered]");
    int various = Find(result, L"Various Artists\\Now 50");
    ASSERT_GE(beatles, 0);
    ASSERT_GE(various, 0);
    EXPECT_EQ(result.GetMatchCode(beatles), 1);  // maximum normalization, target lacks the image
    EXPECT_EQ(result.GetCounterpart(beatles), L"The Beatles\\Abbey Road");
    EXPECT_EQ(result.GetMatchCode(various), 4);  // equal sizes
    EXPECT_EQ(result.GetFilePath2(various, L"Folder.jpg"), src.Path(L"Madonna\\Now 50\\Folder.jpg"));
    EXPECT_EQ(result.GetMatchCode(2), 6);
    EXPECT_EQ(result.GetAlbum(2), L"Unit");
    EXPECT_NE(page.log.text.find(L"          2 album folders with image\r\n"), std::wstring::npos);
    EXPECT_NE(page.log.text.find(L"          3 album folders\r\n"), std::wstring::npos);
}

// The compare log through the page's real log file: UTF-16 without a byte-order mark, the raw
// blocks and the stamped lines as the run writes them.
TEST(FolderScan, CompareLogThroughTheLogFile) {
    TestTree src, tgt, docs;
    src.Dir(L"Pink Floyd\\The Wall");
    src.File(L"Pink Floyd\\The Wall\\Folder.jpg", 10);
    tgt.Dir(L"The Wall\\Pink Floyd");
    AppPaths paths;
    paths.gsAppDocsDirSlash = docs.Root() + L"\\";
    paths.sIniDirSlash = paths.gsAppDocsDirSlash;
    LogFile log(&paths, L"Copy Album Art to Player", L" - Error");
    ASSERT_EQ(log.StartLog(L"album art compare.txt", L"Start compare folders", false), 1) << log.Error().Text();

    class LoggingPage : public FakePage {
    public:
        LogSink* sink = nullptr;
        LogSink* Log() override { return sink; }
    } page;
    page.sink = &log;
    AlbumFolderArray result(tgt.Root(), src.Root());
    ASSERT_EQ(MatchFolders(page, src.Root(), tgt.Root(), L"Folder.jpg", L"Folder.jpg", true, result), 1);
    ASSERT_EQ(log.FinishLog(L"End compare"), 1);

    const std::wstring text = ReadUtf16(docs.Path(L"album art compare.txt"));
    ASSERT_FALSE(text.empty());
    ASSERT_NE(text[0], L'\xFEFF');
    EXPECT_NE(text.find(L"  Start compare folders\r\n"), std::wstring::npos);
    const std::wstring sep = L"\r\n" + std::wstring(79, L'=') + L"\r\n";
    EXPECT_NE(text.find(sep + L"  Comparison 3, exact case insensitive reverse match (match quality DULL GREEN)" + sep +
                        L"\r\nPink Floyd\\The Wall\r\nThe Wall\\Pink Floyd\r\n\r\n"),
              std::wstring::npos);
    std::size_t at = text.find(L"  Finished compare literal paths reversed, 1 matches (level 1)\r\n");
    ASSERT_NE(at, std::wstring::npos);
    ASSERT_GE(at, 8u);
    EXPECT_EQ(text[at - 6], L':');  // "HH:mm:ss" before the two blanks
    EXPECT_EQ(text[at - 3], L':');
    EXPECT_NE(text.find(L"  Finished list unmatched source folders, 0\r\n\r\n"), std::wstring::npos);
    EXPECT_EQ(text.substr(text.size() - 15), L"  End compare\r\n");
}
