// The scan over real folder trees in a temporary folder (Wine or Windows).
#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "FakePage.h"
#include "RandomAlbums.h"
#include "albumart/core/FolderScan.h"
#include "albumart/core/MatchFolders.h"
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
    ForEachEntry(dir + L"\\", [&](const WIN32_FIND_DATAW& fd) {
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) names.push_back(fd.cFileName);
    });
    return names;
}

// Scans the parent, which must give rc, and tells what came of it: the error boxes (one per line),
// "#", the log, "#", the number of albums recorded, "#" and the folders not read (each before "|").
std::wstring Scan(const std::wstring& parent, AlbumFolderArray&& a = AlbumFolderArray(), int cancelAtPump = -1,
                  int rc = 0) {
    FakePage page;
    page.cancelAtPump = cancelAtPump;
    EXPECT_EQ(ScanAlbumFolders(page, parent, L"Folder.jpg", a), rc);
    std::wstring out;
    for (const std::wstring& b : page.boxes) out += b + L"\n";
    out += L"#" + page.log.text + L"#" + std::to_wstring(a.Count()) + L"#";
    for (const std::wstring& f : page.Unread().named) out += f + L"|";
    return out;
}

}  // namespace

// The parent is given with a trailing backslash, as a drive root comes.
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
    AlbumFolderArray a(t.Path());
    ASSERT_EQ(ScanAlbumFolders(page, t.Path(), L"Folder.jpg", a), 1);
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
    EXPECT_EQ(a.GetFilePath1(0, L"x.jpg"), t.Path(a.GetRelPath(0) + L"\\x.jpg"));

    // The forms handed to the file functions (the album art end-to-end run reads and writes such
    // paths): a path past 259 characters gets the prefix.
    const std::wstring n(260, L'n');
    EXPECT_EQ(FileApiPath(L"C:\\" + n + L"/x") + L"|" + FileApiPath(L"\\\\server\\share\\" + n) + L"|" + FileApiPath(L"C:\\A"),
              L"\\\\?\\C:\\" + n + L"\\x|\\\\?\\UNC\\server\\share\\" + n + L"|C:\\A");
}

TEST(FolderScan, EmptyMissingAndAlbumlessParentsGiveTheirMessages) {
    TestTree t;
    EXPECT_EQ(Scan(t.Root()), L"No album folders found in " + t.Root() + L"\n##0#");
    EXPECT_EQ(Scan(t.Path(L"nowhere")), L"Nothing found for search pattern:|" + t.Path(L"nowhere\\*") + L"\n##0#");
    // Artists without albums are logged; with no album anywhere the scan fails.
    t.File(L"Lonely Artist\\notes.txt", 1);
    EXPECT_EQ(Scan(t.Root()), L"No album folders found in " + t.Root() + L"\n#12:34:56  No Album folders in\r\n"
                                    L"          " + t.Path(L"Lonely Artist\\*") + L"\r\n#0#");
}

// Folders that cannot be read (here names ending in a dot, made on another system) leave their
// albums out: each is logged, counted and named for the message at the end of Find, and the rest
// of the tree is read.
TEST(FolderScan, UnreadableFoldersAreLoggedCountedAndLeftOut) {
    const struct { const wchar_t *dir, *log, *pattern; } cases[] = {
        {L"Dotted.", L"Nothing found for search pattern:", L"\\*"},
        {L"Artist\\Dotted.", L"Album folder could not be read:", L""}};
    for (const auto& c : cases) {
        TestTree t;
        t.Dir(L"Artist\\Album");
        std::wstring dir = t.Path(c.dir);
        ASSERT_TRUE(CreateDirectoryW((L"\\\\?\\" + dir).c_str(), nullptr)) << GetLastError();
        ASSERT_TRUE(CreateDirectoryW((L"\\\\?\\" + dir + L"\\Album").c_str(), nullptr)) << GetLastError();
        EXPECT_EQ(Scan(t.Root(), AlbumFolderArray(), -1, 1),
                  L"#12:34:56  " + std::wstring(c.log) + L"\r\n          " + dir + c.pattern + L"\r\n#1#" + dir + L"|");
    }
    UnreadFolders five;
    for (const wchar_t* f : {L"A", L"B", L"C", L"D", L"E"}) five.Add(f);
    EXPECT_EQ(UnreadFoldersMessage(five, L"C:\\album art compare.txt"),
              (std::vector<std::wstring>{L"Non-fatal error: 5 folders could not be read, their albums are not in the list:",
                                         L"A\r\nB\r\nC\r\nand 2 more",
                                         L"Every one is listed in the log C:\\album art compare.txt"}));
}

TEST(FolderScan, StopAndRefusedAdditionsEndTheScan) {
    TestTree t;
    for (int i = 0; i < 5; ++i) t.Dir(L"Artist\\Album " + std::to_wstring(i));
    EXPECT_EQ(Scan(t.Root(), AlbumFolderArray(), 1), L"##0#");
    std::wstring fourth = L"Artist\\" + ListSubfolders(t.Path(L"Artist"))[3];
    EXPECT_EQ(Scan(t.Root(), AlbumFolderArray(t.Root(), L"", 3)),
              L"Error adding album for:|" + fourth + L"|\r\nError allocating album structure\r\nAlbum folders array is full (3 albums)\n##3#");
}
