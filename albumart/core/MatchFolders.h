// Pairs the album folders of a target tree (the player) with those of a source tree (the
// computer) by their names, through fourteen comparisons from exact to loose, and writes
// "album art compare.txt" through the page's log. OS-free: the scan of a tree is passed in.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "albumart/core/AlbumFolderArray.h"
#include "albumart/core/MatchContext.h"

namespace swirlo {

// Fills arr with the albums under sParent, noting the size of sImageName in each; 1 or 0.
using AlbumScanFn = std::function<int(MatchContext& page, const std::wstring& sParent,
                                      const std::wstring& sImageName, AlbumFolderArray& arr)>;

// The whole run: scans both trees, matches, and fills result (root 1 = target folder, root 2 =
// source folder). Returns 1, or 0 after showing its error box (nothing is shown for a stop).
int MatchFolders(MatchContext& page, const AlbumScanFn& scan, const std::wstring& sSourceDir,
                 const std::wstring& sTargetDir, const std::wstring& sSourceImage,
                 const std::wstring& sTargetImage, bool bDetailLog, AlbumFolderArray& result);

// The message when Find ends with folders not read: its three parts. sLogPath is the album-art
// log that lists every one of them, empty when no log was written.
std::vector<std::wstring> UnreadFoldersMessage(const UnreadFolders& unread, const std::wstring& sLogPath);

// The comparisons and the unpaired lists over two scanned arrays (which it marks as it pairs).
int MatchAlbumArrays(MatchContext& page, AlbumFolderArray& src, AlbumFolderArray& tgt, bool bDetailLog,
                     AlbumFolderArray& result);

// One of the fourteen comparisons, in the order they run.
struct ComparisonInfo {
    int nNumber;               // as the log shows it (the three Various Artists ones are all 11)
    int nLevel;                // match quality: 0 bright green, 1 dull green, 2 yellow
    int nNormalizeBefore;      // normalization level applied to both arrays first, 0 for none
    bool bAllSources;          // already paired sources are tried again
    const wchar_t* sHeader;
    const wchar_t* sSummary;   // with %d for the number of pairs
    const wchar_t* sAddError;
};
constexpr int kComparisonCount = 14;
const ComparisonInfo& GetComparison(int k);

// The pieces both the program and its tests rely on.
// The runtime's case-insensitive equality in the default locale: only A-Z fold.
bool EqualNoCase(const std::wstring& a, const std::wstring& b);
// The shorter text occurs in the longer one (on equal length: the two are equal).
bool Contains(const std::wstring& t, const std::wstring& s);
// The code of a pair from the comparison's level and the two image sizes.
std::int32_t PairMatchCode(int nLevel, std::int32_t nSourceImage, std::int32_t nTargetImage);
// The detail log's "Matched" line of a containment test: the text searched in first.
std::wstring ContainedLine(const std::wstring& t, const std::wstring& s);
std::wstring MatchedLine(const std::wstring& a, const std::wstring& b);
// "\r\n", 79 "=", "\r\n".
const std::wstring& LogSeparator();

}  // namespace swirlo
