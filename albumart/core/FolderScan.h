// The scan of one Artist\Album tree over the Win32 directory listing, and the matching run that
// scans with it.
#pragma once
#include <string>

#include "albumart/core/AlbumFolderArray.h"
#include "albumart/core/MatchContext.h"

namespace swirlo {

// Adds every album folder two levels below sParent to arr in listing order, with the size of
// sImageName in it (0 when it has none). Returns 1, or 0 after the page's error box (a stop shows
// nothing). Records added before a failure stay in arr.
int ScanAlbumFolders(MatchContext& page, const std::wstring& sParent, const std::wstring& sImageName,
                     AlbumFolderArray& arr);

// MatchFolders with this scan.
int MatchFolders(MatchContext& page, const std::wstring& sSourceDir, const std::wstring& sTargetDir,
                 const std::wstring& sSourceImage, const std::wstring& sTargetImage, bool bDetailLog,
                 AlbumFolderArray& result);

}  // namespace swirlo
