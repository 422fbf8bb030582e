#include <gtest/gtest.h>

#include <string>

#include "albumart/AlbumFolderArray.h"

using namespace swirlo;

TEST(AlbumFolderArray, AddKeepsNamesAndBuildsPaths) {
    AlbumFolderArray a(L"E:\\Music", L"C:\\Users\\me\\Music");
    EXPECT_EQ(a.Add(L"The Beatles", L"Abbey Road", 1234), 0);
    EXPECT_EQ(a.Add(L"...", L".hidden", 0, 77, L"Other\\Path", 3), 1);
    ASSERT_EQ(a.Count(), 2);
    EXPECT_EQ(a.GetRelPath(0), L"The Beatles\\Abbey Road");
    EXPECT_EQ(a.GetNmlArtist(0), L"");
    EXPECT_EQ(a.GetCounterpart(0), L"");
    EXPECT_EQ(a.GetImageSize(0), 1234);
    EXPECT_EQ(a.GetCounterpartImageSize(0), -1);
    EXPECT_EQ(a.GetMatchCode(0), -1);
    EXPECT_FALSE(a.IsPaired(0));
    EXPECT_EQ(a.GetCounterpart(1), L"Other\\Path");
    EXPECT_EQ(a.GetMatchCode(1), 3);

    EXPECT_EQ(a.GetPath1(0), L"E:\\Music\\The Beatles\\Abbey Road");
    EXPECT_EQ(a.GetPath2(1), L"C:\\Users\\me\\Music\\Other\\Path");
    EXPECT_EQ(a.GetFilePath1(0, L"Folder.jpg"), L"E:\\Music\\The Beatles\\Abbey Road\\Folder.jpg");
    EXPECT_EQ(a.GetFilePath2(1, L"AlbumArt.jpg"), L"C:\\Users\\me\\Music\\Other\\Path\\AlbumArt.jpg");

    a.SetPairing(0, L"X\\Y", 7);
    EXPECT_EQ(a.GetCounterpart(0), L"X\\Y");
    EXPECT_EQ(a.GetMatchCode(0), 7);
    EXPECT_EQ(a.GetMatchCodeMax5(0), 5);
    EXPECT_EQ(a.GetMatchCodeMax5(1), 3);
}

TEST(AlbumFolderArray, DriveRootGetsNoSecondBackslash) {
    AlbumFolderArray a(L"P:\\", L"C:\\");
    a.Add(L"Artist", L"Album", 1, 1, L"A\\B", 4);
    EXPECT_EQ(a.GetPath1(0), L"P:\\Artist\\Album");
    EXPECT_EQ(a.GetFilePath2(0, L"Folder.jpg"), L"C:\\A\\B\\Folder.jpg");
    EXPECT_EQ(JoinPath(L"", L"x"), L"\\x");
}

TEST(AlbumFolderArray, NormalizeAllReplacesKeys) {
    AlbumFolderArray a;
    EXPECT_TRUE(a.NormalizeAll(2));  // empty array
    a.Add(L"The Beatles", L"Abbey Road [Remastered]", 0);
    ASSERT_TRUE(a.NormalizeAll(1));
    EXPECT_EQ(a.GetNmlArtist(0), L"beatles");
    EXPECT_EQ(a.GetNmlAlbum(0), L"abbey road remastered");
    ASSERT_TRUE(a.NormalizeAll(3));
    EXPECT_EQ(a.GetNmlAlbum(0), L"abbeyroad");
    EXPECT_FALSE(a.NormalizeAll(4));
}

// Past 32768 albums the array grows; at its limit it refuses with a message, never overwrites.
TEST(AlbumFolderArray, GrowsPastInitialCapacityAndRefusesAtItsLimit) {
    AlbumFolderArray big;
    for (int i = 0; i < 40000; ++i) ASSERT_EQ(big.Add(L"A" + std::to_wstring(i), L"B", i), i);
    EXPECT_EQ(big.GetRelPath(39999), L"A39999\\B");
    EXPECT_EQ(big.GetImageSize(32768), 32768);

    AlbumFolderArray small(L"R", L"", 2);
    EXPECT_EQ(small.Add(L"a", L"b", 0), 0);
    EXPECT_EQ(small.Add(L"c", L"d", 0), 1);
    EXPECT_EQ(small.Add(L"e", L"f", 0), -1);
    EXPECT_EQ(small.Count(), 2);
    EXPECT_EQ(small.GetRelPath(1), L"c\\d");
    EXPECT_EQ(small.TakeWindowError(), L"\r\nError allocating album structure\r\nAlbum folders array is full (2 albums)");
    EXPECT_EQ(small.ErrorText(), L"");
}
