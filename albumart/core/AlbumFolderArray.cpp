#include "albumart/core/AlbumFolderArray.h"

#include <new>

#include "albumart/core/Normalize.h"

namespace swirlo {

std::wstring JoinPath(const std::wstring& sDir, const std::wstring& sName) {
    if (!sDir.empty() && (sDir.back() == L'\\' || sDir.back() == L'/')) return sDir + sName;
    return sDir + L"\\" + sName;
}

AlbumFolderArray::AlbumFolderArray(std::wstring sRoot1, std::wstring sRoot2, std::size_t maxRecords)
    : m_sRoot1(std::move(sRoot1)), m_sRoot2(std::move(sRoot2)), m_nMaxRecords(maxRecords) {}

int AlbumFolderArray::Add(const std::wstring& sArtist, const std::wstring& sAlbum, std::int32_t nImageSize,
                          std::int32_t nCounterpartImageSize, const wchar_t* sCounterpart,
                          std::int32_t nMatchCode) {
    if (m_records.size() >= m_nMaxRecords) {
        m_error.SetErrorParts(L"Error allocating album structure",
                              FormatW(L"Album folders array is full (%u albums)",
                                      static_cast<unsigned>(m_nMaxRecords)).c_str());
        return -1;
    }
    try {
        AlbumRecord r;
        r.sArtist = sArtist;
        r.sAlbum = sAlbum;
        r.sRelPath = sArtist + L"\\" + sAlbum;
        if (sCounterpart) r.sCounterpart = sCounterpart;
        r.nImageSize = nImageSize;
        r.nCounterpartImageSize = nCounterpartImageSize;
        r.nMatchCode = nMatchCode;
        m_records.push_back(std::move(r));
    } catch (const std::bad_alloc&) {
        m_error.SetErrorParts(L"Error allocating strings for album structure", sArtist.c_str(),
                              sAlbum.c_str());
        return -1;
    }
    return static_cast<int>(m_records.size()) - 1;
}

std::int32_t AlbumFolderArray::GetMatchCodeMax5(int i) const {
    std::int32_t n = GetMatchCode(i);
    return n > kMatchNoSourceImage ? kMatchNoSourceImage : n;
}

void AlbumFolderArray::SetPairing(int i, const std::wstring& sCounterpart, std::int32_t nMatchCode) {
    AlbumRecord& r = m_records[static_cast<std::size_t>(i)];
    r.sCounterpart = sCounterpart;
    r.nMatchCode = nMatchCode;
}

bool AlbumFolderArray::NormalizeAll(int level) {
    try {
        for (AlbumRecord& r : m_records)
            if (!Normalize(r.sArtist, level, r.sNmlArtist) || !Normalize(r.sAlbum, level, r.sNmlAlbum))
                return false;
    } catch (const std::bad_alloc&) {
        return false;
    }
    return true;
}

std::wstring AlbumFolderArray::GetPath1(int i) const { return JoinPath(m_sRoot1, GetRelPath(i)); }
std::wstring AlbumFolderArray::GetPath2(int i) const { return JoinPath(m_sRoot2, GetCounterpart(i)); }
std::wstring AlbumFolderArray::GetFilePath1(int i, const std::wstring& sFileName) const {
    return GetPath1(i) + L"\\" + sFileName;
}
std::wstring AlbumFolderArray::GetFilePath2(int i, const std::wstring& sFileName) const {
    return GetPath2(i) + L"\\" + sFileName;
}

}  // namespace swirlo
