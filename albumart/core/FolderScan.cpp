#include "albumart/core/FolderScan.h"

#include <windows.h>

#include "albumart/core/MatchFolders.h"
#include "foundation/WinHandles.h"

namespace swirlo {

namespace {

// "." and "..", but not names such as ".x" or "..." which are real folders.
bool IsDotEntry(const wchar_t* name) {
    std::size_t n = wcslen(name);
    if (n == 0 || n >= 3 || name[0] != L'.') return false;
    return n == 1 || name[1] == L'.';
}

bool IsSubfolder(const WIN32_FIND_DATAW& fd) {
    return (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !IsDotEntry(fd.cFileName);
}

void LogPattern(MatchContext& page, const wchar_t* text, const std::wstring& pattern) {
    LogSink* log = page.Log();
    if (log && log->IsOpen()) log->LogLine(text, pattern.c_str());
}

// A folder that could not be read, or not to its end: its albums are missing from the result,
// which must not look complete. Counted for the message at the end of Find and logged.
void NotRead(MatchContext& page, const wchar_t* text, const std::wstring& folder, const std::wstring& logged) {
    page.Unread().Add(folder);
    LogPattern(page, text, logged);
}

// A listing ended by anything but its last entry (the drive removed, a network error).
bool ListingBroken() { return GetLastError() != ERROR_NO_MORE_FILES; }

// Low 32 bits of the image's size, 0 when the album folder has no such file; -1 when the folder
// itself cannot be read (no access, a name ending in a dot, the drive gone).
std::int32_t ImageSize(const std::wstring& sPath) {
    WIN32_FILE_ATTRIBUTE_DATA fa;
    if (!GetFileAttributesExW(FileApiPath(sPath).c_str(), GetFileExInfoStandard, &fa)) {
        DWORD err = GetLastError();  // an image name no file can have is no image either
        return err == ERROR_FILE_NOT_FOUND || err == ERROR_INVALID_NAME ? 0 : -1;
    }
    if (fa.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return 0;
    return static_cast<std::int32_t>(fa.nFileSizeLow);
}

enum class ArtistResult { Ok, Stopped, Failed };

ArtistResult ScanArtist(MatchContext& page, PumpGate& gate, const std::wstring& sParent, const std::wstring& sArtist,
                        const std::wstring& sImageName, AlbumFolderArray& arr) {
    std::wstring sArtistDir = JoinPath(sParent, sArtist);
    std::wstring pattern = sArtistDir + L"\\*";
    WIN32_FIND_DATAW fd;
    UniqueFind find(FindFirstFileW(FileApiPath(pattern).c_str(), &fd));
    if (!find) {
        // Not even "." and "..": an empty folder where the file system keeps none (exFAT).
        if (GetLastError() == ERROR_FILE_NOT_FOUND) LogPattern(page, L"No Album folders in", pattern);
        else NotRead(page, L"Nothing found for search pattern:", sArtistDir, pattern);
        return ArtistResult::Ok;
    }
    int albums = 0;
    do {
        if (gate.Stopped()) return ArtistResult::Stopped;
        if (!IsSubfolder(fd)) continue;
        std::wstring sAlbum = fd.cFileName;
        std::wstring sAlbumDir = sArtistDir + L"\\" + sAlbum;
        std::int32_t size = ImageSize(sAlbumDir + L"\\" + sImageName);
        if (size < 0) {
            // Not known to have the image or not: left out rather than offered for a copy.
            NotRead(page, L"Album folder could not be read:", sAlbumDir, sAlbumDir);
            ++albums;
            continue;
        }
        if (arr.Add(sArtist, sAlbum, size) < 0) {
            std::wstring relPath = sArtist + L"\\" + sAlbum;
            page.ShowErrorBox(L"Error adding album for:", relPath.c_str(), arr.TakeWindowError().c_str());
            return ArtistResult::Failed;
        }
        ++albums;
    } while (FindNextFileW(find.Get(), &fd));
    if (ListingBroken()) NotRead(page, L"Listing ended by an error for search pattern:", sArtistDir, pattern);
    else if (albums == 0) LogPattern(page, L"No Album folders in", pattern);
    return ArtistResult::Ok;
}

}  // namespace

int ScanAlbumFolders(MatchContext& page, const std::wstring& sParent, const std::wstring& sImageName,
                     AlbumFolderArray& arr) {
    page.SetStatus(L"Reading subfolders of parent folders ...");
    std::wstring pattern = JoinPath(sParent, L"*");
    WIN32_FIND_DATAW fd;
    UniqueFind find(FindFirstFileW(FileApiPath(pattern).c_str(), &fd));
    if (!find) {
        page.ShowErrorBox(L"Nothing found for search pattern:", pattern.c_str());
        return 0;
    }
    PumpGate gate(page);
    do {
        if (gate.Stopped()) return 0;
        if (!IsSubfolder(fd)) continue;
        // The artist's entry is overwritten by its own listing; keep the name.
        std::wstring sArtist = fd.cFileName;
        ArtistResult r = ScanArtist(page, gate, sParent, sArtist, sImageName, arr);
        if (r != ArtistResult::Ok) return 0;
    } while (FindNextFileW(find.Get(), &fd));
    if (ListingBroken()) NotRead(page, L"Listing ended by an error for search pattern:", sParent, pattern);
    if (arr.Count() == 0) {
        page.ShowErrorBox(FormatW(L"No album folders found in %ls", sParent.c_str()).c_str());
        return 0;
    }
    return 1;
}

int MatchFolders(MatchContext& page, const std::wstring& sSourceDir, const std::wstring& sTargetDir,
                 const std::wstring& sSourceImage, const std::wstring& sTargetImage, bool bDetailLog,
                 AlbumFolderArray& result) {
    return MatchFolders(page, ScanAlbumFolders, sSourceDir, sTargetDir, sSourceImage, sTargetImage, bDetailLog,
                        result);
}

}  // namespace swirlo
