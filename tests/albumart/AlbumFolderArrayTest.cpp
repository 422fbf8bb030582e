#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "albumart/AlbumFolderArray.h"

using namespace swirlo;

TEST(AlbumFolderArray, PathsOfBothSidesAndPairing) {
    AlbumFolderArray a(L"E:\\Music", L"C:\\Users\\me\\Music"), atRoot(L"P:\\", L"C:\\");
    EXPECT_EQ(a.Add(L"The Beatles", L"Abbey Road", 1234), 0);
    EXPECT_EQ(a.Add(L"...", L".hidden", 0, 77, L"Other\\Path", 3), 1);
    atRoot.Add(L"Artist", L"Album", 1, 1, L"A\\B", 4);
    a.SetPairing(0, L"X\\Y", 7);
    EXPECT_EQ((std::vector<std::wstring>{a.GetFilePath1(0, L"Folder.jpg"), a.GetPath2(0), a.GetPath1(1),
                                         a.GetFilePath2(1, L"AlbumArt.jpg"), atRoot.GetPath1(0),
                                         atRoot.GetFilePath2(0, L"Folder.jpg")}),
              (std::vector<std::wstring>{L"E:\\Music\\The Beatles\\Abbey Road\\Folder.jpg", L"C:\\Users\\me\\Music\\X\\Y",
                                         L"E:\\Music\\...\\.hidden", L"C:\\Users\\me\\Music\\Other\\Path\\AlbumArt.jpg",
                                         L"P:\\Artist\\Album", L"C:\\A\\B\\Folder.jpg"}));
    EXPECT_EQ(a.GetMatchCodeMax5(0), 5);
    EXPECT_EQ(a.GetMatchCodeMax5(1), 3);
}
