// The scan over real folder trees in a temporary folder (Wine or Windows).
#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "FakePage.h"
#include "RandomAlbums.h"
#include "albumart/FolderScan.h"
#include "foundation/AppPaths.h"
#include "foundation/LogFile.h"
#include "tests/foundation/WinTestSupport.h"

using namespace swirlo;
using namespace swirlo::test;

namespace {

// The helper's tree, with every creation checked; a file's folders are made first.
class TestTree : public TempDir {
public:
    void Dir(const std::wstring& rel) { ASSERT_TRUE(TempDir::Dir(rel)) << GetLastError(); }
    void File(const std::wstring& rel, DWORD bytes) {
        if (rel.find(L'\\') != std::wstring::npos) Dir(rel.substr(0, rel.rfind(L'\\')));
        ASSERT_TRUE(TempDir::File(rel, bytes)) << GetLastError();
    }
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

// A scan expected to fail: its error boxes (one per line), "#", its log, "#" and the albums it kept.
std::wstring FailedScan(const std::wstring& parent, AlbumFolderArray&& a = AlbumFolderArray(), int cancelAtPump = -1) {
    FakePage page;
    page.cancelAtPump = cancelAtPump;
    EXPECT_EQ(ScanAlbumFolders(page, parent, L"Folder.jpg", a), 0);
    std::wstring out;
    for (const std::wstring& b : page.boxes) out += b + L"\n";
    return out + L"#" + page.log.text + L"#" + std::to_wstring(a.Count());
}

}  // namespace

TEST(FolderScan, RecordsEveryAlbumFolderInListingOrder) {
    const std::wstring splin = L"\u0421\u043f\u043b\u0438\u043d\\\u0410\u043b\u044c\u0431\u043e\u043c";
    TestTree t;
    t.File(L"Pink Floyd\\The Wall\\Folder.jpg", 123);
    t.Dir(L"Pink Floyd\\Animals");                      // no image: still recorded, size 0
    t.File(L"Pink Floyd\\Meddle\\FOLDER.JPG", 7);        // the file system ignores case
    t.Dir(L"Pink Floyd\\Meddle\\CD1");                  // deeper folders are never visited
    t.Dir(L"Pink Floyd\\Wish\\Folder.jpg");             // a folder with the image's name is no image
    t.File(L"Pink Floyd\\cover.jpg", 5);                // files in an artist folder are ignored
    t.File(L"readme.txt", 3);                           // and in the parent
    t.Dir(L".x\\..y");                                 // dot names other than "." and ".." are real
    t.Dir(L"Bj\u00f6rk\\Homogenic");
    t.File(splin + L"\\Folder.jpg", 9);                 // outside the ANSI code page
    t.Dir(L"\u6771\u4eac\u4e8b\u5909\\\u6559\u80b2");
    const std::map<std::wstring, int> sizes = {{L"Pink Floyd\\The Wall", 123}, {L"Pink Floyd\\Meddle", 7}, {splin, 9}};

    FakePage page;
    AlbumFolderArray a(t.Root());
    ASSERT_EQ(ScanAlbumFolders(page, t.Root(), L"Folder.jpg", a), 1);
    EXPECT_TRUE(page.boxes.empty());
    EXPECT_EQ(page.statuses.front(), L"Reading subfolders of parent folders ...");
    // The order is the listing's, artist by artist.
    std::vector<std::wstring> expected, got;
    for (const std::wstring& artist : ListSubfolders(t.Root()))
        for (const std::wstring& album : ListSubfolders(t.Path(artist))) {
            std::wstring rel = artist + L"\\" + album;
            expected.push_back(rel + L"|" + std::to_wstring(sizes.count(rel) ? sizes.at(rel) : 0));
        }
    for (int i = 0; i < a.Count(); ++i) got.push_back(a.GetRelPath(i) + L"|" + std::to_wstring(a.GetImageSize(i)));
    EXPECT_EQ(got, expected);
    EXPECT_EQ(got.size(), 8u);
}

TEST(FolderScan, EmptyMissingAndAlbumlessParentsGiveTheirMessages) {
    TestTree t;
    EXPECT_EQ(FailedScan(t.Root()), L"No album folders found in " + t.Root() + L"\n##0");
    EXPECT_EQ(FailedScan(t.Path(L"nowhere")), L"Nothing found for search pattern:|" + t.Path(L"nowhere\\*") + L"\n##0");
    // Artists without albums are logged; with no album anywhere the scan fails.
    t.File(L"Lonely Artist\\notes.txt", 1);
    EXPECT_EQ(FailedScan(t.Root()), L"No album folders found in " + t.Root() + L"\n#12:34:56  No Album folders in\r\n"
                                    L"          " + t.Path(L"Lonely Artist\\*") + L"\r\n#0");
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
    EXPECT_EQ(FailedScan(t.Root(), AlbumFolderArray(), 1), L"##0");
    std::wstring fourth = L"Artist\\" + ListSubfolders(t.Path(L"Artist"))[3];
    EXPECT_EQ(FailedScan(t.Root(), AlbumFolderArray(t.Root(), L"", 3)),
              L"Error adding album for:|" + fourth + L"|\r\nError allocating album structure\r\nAlbum folders array is full (3 albums)\n##3");
}

TEST(FolderScan, ParentGivenWithTrailingBackslash) {
    TestTree t;
    t.File(L"Artist\\Album\\AlbumArt.jpg", 42);
    FakePage page;
    AlbumFolderArray a(t.Root() + L"\\");
    ASSERT_EQ(ScanAlbumFolders(page, t.Root() + L"\\", L"AlbumArt.jpg", a), 1);
    ASSERT_EQ(a.Count(), 1);
    EXPECT_EQ(a.GetImageSize(0), 42);
    EXPECT_EQ(a.GetFilePath1(0, L"AlbumArt.jpg"), t.Path(L"Artist\\Album\\AlbumArt.jpg"));
}

// The whole run over two real trees, each side with its own image name, logged through the page's
// real log file: UTF-16 without a byte-order mark, the raw blocks and the stamped lines as written.
TEST(FolderScan, MatchFoldersOverTwoRealTreesIntoTheLogFile) {
    TestTree src, tgt, docs;
    src.File(L"The Beatles\\Abbey Road\\Folder.jpg", 100);
    src.File(L"Madonna\\Now 50\\Folder.jpg", 100);
    src.File(L"Pink Floyd\\The Wall\\Folder.jpg", 10);
    tgt.Dir(L"Beatles, The\\Abbey Road [Remastered]");
    tgt.File(L"Various Artists\\Now 50\\AlbumArt.jpg", 100);
    tgt.File(L"Various Artists\\Now 50\\Folder.jpg", 1);  // the source's image name means nothing on the player
    tgt.Dir(L"The Wall\\Pink Floyd");
    tgt.Dir(L"Muse\\Unit");
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
    ASSERT_EQ(MatchFolders(page, src.Root(), tgt.Root(), L"Folder.jpg", L"AlbumArt.jpg", true, result), 1);
    ASSERT_EQ(log.FinishLog(L"End compare"), 1);
    EXPECT_TRUE(page.boxes.empty());
    EXPECT_EQ(Rows(result), (std::vector<std::wstring>{
                                L"The Wall|Pink Floyd|Pink Floyd\\The Wall|0|10|1",
                                L"Beatles, The|Abbey Road [Remastered]|The Beatles\\Abbey Road|0|100|1",
                                L"Various Artists|Now 50|Madonna\\Now 50|100|100|4",
                                L"Muse|Unit|<No match found in source folders>|0|-1|6"}));

    const std::wstring text = ReadUtf16(docs.Path(L"album art compare.txt"));
    ASSERT_GT(text.size(), 15u);
    EXPECT_NE(text[0], L'\xFEFF');
    const std::wstring sep = L"\r\n" + std::wstring(79, L'=') + L"\r\n";
    for (const std::wstring& part :
         {std::wstring(L"  Start compare folders\r\n"), std::wstring(L"\r\n          3 album folders with image\r\n"),
          std::wstring(L"\r\n          4 album folders\r\n"),
          sep + L"  Comparison 3, exact case insensitive reverse match (match quality DULL GREEN)" + sep +
              L"\r\nPink Floyd\\The Wall\r\nThe Wall\\Pink Floyd\r\n\r\n",
          std::wstring(L"  Finished list unmatched source folders, 0\r\n\r\n")})
        EXPECT_NE(text.find(part), std::wstring::npos) << testing::PrintToString(part);
    std::size_t at = text.find(L"  Finished compare literal paths reversed, 1 matches (level 1)\r\n");
    ASSERT_TRUE(at != std::wstring::npos && at >= 8);
    EXPECT_EQ(text.substr(at - 6, 1) + text.substr(at - 3, 1), L"::");  // "HH:mm:ss" before the two blanks
    EXPECT_EQ(text.substr(text.size() - 15), L"  End compare\r\n");
}
