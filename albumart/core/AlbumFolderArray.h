// The album folders of one tree (Artist\Album), and the same array as the result of matching two
// trees. OS-free.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "foundation/ErrorText.h"
#include "foundation/TextUtil.h"

namespace swirlo {

// How a result record's albums were paired, shown as the list's colour; 0 to 2 are the strictness
// of the comparison that paired them. Kept in AlbumRecord::nMatchCode.
enum MatchCode : std::int32_t {
    kMatchNone = -1,          // not paired
    kMatchBrightGreen = 0,    // paired, the target lacks the image
    kMatchDullGreen = 1,
    kMatchYellow = 2,
    kMatchOrange = 3,         // both have the image, sizes differ
    kMatchRed = 4,            // both have the image, sizes equal
    kMatchNoSourceImage = 5,  // the source lacks the image
    kMatchNoSource = 6,       // a target without source
    kMatchNoTarget = 7,       // a source without target
};

struct AlbumRecord {
    std::wstring sRelPath;      // artist + "\" + album
    std::wstring sArtist;
    std::wstring sNmlArtist;    // key at the level in force while matching
    std::wstring sAlbum;
    std::wstring sNmlAlbum;
    std::wstring sCounterpart;  // relative path of the partner on the other side, or a placeholder
    std::int32_t nImageSize = 0;
    std::int32_t nCounterpartImageSize = -1;
    std::int32_t nMatchCode = kMatchNone;
};

class AlbumFolderArray {
public:
    // The array grows as albums are added, well past 32768 (a player tree and a computer tree with
    // nothing in common need room for both in the result), up to maxRecords, past which Add
    // refuses with a message.
    static constexpr std::size_t kDefaultMaxRecords = 1u << 20;

    explicit AlbumFolderArray(std::wstring sRoot1 = std::wstring(), std::wstring sRoot2 = std::wstring(),
                              std::size_t maxRecords = kDefaultMaxRecords);
    AlbumFolderArray(const AlbumFolderArray&) = delete;
    AlbumFolderArray& operator=(const AlbumFolderArray&) = delete;

    // Index of the new record, or -1 with the error text set and the count unchanged.
    int Add(const std::wstring& sArtist, const std::wstring& sAlbum, std::int32_t nImageSize,
            std::int32_t nCounterpartImageSize = -1, const wchar_t* sCounterpart = nullptr,
            std::int32_t nMatchCode = kMatchNone);
    int Count() const { return static_cast<int>(m_records.size()); }

    const AlbumRecord& Record(int i) const { return m_records[static_cast<std::size_t>(i)]; }
    const std::wstring& GetArtist(int i) const { return Record(i).sArtist; }
    const std::wstring& GetAlbum(int i) const { return Record(i).sAlbum; }
    const std::wstring& GetNmlArtist(int i) const { return Record(i).sNmlArtist; }
    const std::wstring& GetNmlAlbum(int i) const { return Record(i).sNmlAlbum; }
    const std::wstring& GetRelPath(int i) const { return Record(i).sRelPath; }
    const std::wstring& GetCounterpart(int i) const { return Record(i).sCounterpart; }
    std::int32_t GetImageSize(int i) const { return Record(i).nImageSize; }
    std::int32_t GetCounterpartImageSize(int i) const { return Record(i).nCounterpartImageSize; }
    std::int32_t GetMatchCode(int i) const { return Record(i).nMatchCode; }
    // The list has colours up to kMatchNoSourceImage only.
    std::int32_t GetMatchCodeMax5(int i) const;
    bool IsPaired(int i) const { return Record(i).nMatchCode != kMatchNone; }

    void SetPairing(int i, const std::wstring& sCounterpart, std::int32_t nMatchCode);

    // Replaces every record's keys by Normalize at level (1 to 3). False if any key fails.
    bool NormalizeAll(int level);

    const std::wstring& GetRoot1() const { return m_sRoot1; }
    const std::wstring& GetRoot2() const { return m_sRoot2; }
    // root 1 \ relative path; root 2 \ counterpart path; and the same with a file name appended.
    std::wstring GetPath1(int i) const;
    std::wstring GetPath2(int i) const;
    std::wstring GetFilePath1(int i, const std::wstring& sFileName) const;
    std::wstring GetFilePath2(int i, const std::wstring& sFileName) const;

    const std::wstring& ErrorText() const { return m_error.Text(); }
    // The error text of the last failed addition, emptied by the taking.
    std::wstring TakeWindowError() { return m_error.Take(true); }

private:
    std::wstring m_sRoot1;
    std::wstring m_sRoot2;
    std::size_t m_nMaxRecords;
    std::vector<AlbumRecord> m_records;
    ErrorRecord m_error;
};

// Joins a folder and a name with one backslash; a folder that already ends in one (a drive root
// such as "P:\") gets no second.
std::wstring JoinPath(const std::wstring& sDir, const std::wstring& sName);


}  // namespace swirlo
