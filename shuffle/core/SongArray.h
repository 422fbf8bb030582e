// The list of songs of one shuffle: records of a path and an occurrence count (1 to 255), with a
// lookup by exact path and running totals. OS-free.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace swirlo {

class CSongArray {
public:
    static constexpr int kMaxOccurrences = 255;
    static constexpr int kInitialCapacity = 32768;

    CSongArray();
    CSongArray(const CSongArray&) = delete;
    CSongArray& operator=(const CSongArray&) = delete;

    int AddSong(const wchar_t* sPath, int nOccurrences);
    int AddOccurrences(int nIndex, const wchar_t* sPath, int nOccurrences);
    int AddOrIncrement(const wchar_t* sPath, int nOccurrences);
    int FindSong(const wchar_t* sPath) const;
    const wchar_t* GetSong(std::uint32_t nIndex) const;
    // The same path with its length (empty past the end): spares writers a search for the end.
    std::wstring_view GetSongView(std::uint32_t nIndex) const {
        return nIndex < m_records.size() ? std::wstring_view(m_records[nIndex].pPath, m_records[nIndex].nLen)
                                         : std::wstring_view();
    }
    int GetCount(std::uint32_t nIndex) const;
    std::uint32_t GetSize() const { return static_cast<std::uint32_t>(m_records.size()); }
    std::uint64_t GetTotal() const { return m_nTotal; }
    int GetMaxCount() const { return m_nMaxCount; }
    bool IsSameSong(std::uint32_t a, std::uint32_t b) const;
    // A hint that the path of the record will be read soon.
    void Prefetch(std::uint32_t nIndex) const {
#if defined(__GNUC__)
        if (nIndex < m_records.size()) __builtin_prefetch(m_records[nIndex].pPath);
#else
        (void)nIndex;
#endif
    }
    // The record index that stands for a song's identity: equal for records of equal paths.
    // Lets the placement compare songs without comparing texts.
    std::uint32_t SongId(std::uint32_t nIndex) const { return m_records[nIndex].nId; }
    void Clear();
    std::wstring GetError(bool bReset);
    bool IsUsable() const { return m_bUsable; }
    std::size_t Capacity() const { return m_nCapacity; }

private:
    // 24 bytes: the paths themselves live in the arena, so that reading the songs in order (as the
    // playlist writer does for a million entries) touches little memory besides the texts.
    struct Record {
        const wchar_t* pPath;  // in the arena, terminated
        std::uint32_t nLen;
        std::uint32_t nHashCheck;  // high half of the path's hash: most mismatches end here
        int nCount;
        std::uint32_t nId;  // index of the first record with this path
    };

    static std::uint64_t HashPath(const wchar_t* s, std::size_t n);
    int Lookup(const wchar_t* s, std::size_t n, std::uint64_t h) const;  // slot or -1
    // A terminated copy of the path in the arena; paths never move once copied.
    const wchar_t* CopyPath(const wchar_t* s, std::size_t n);
    void IndexInsert(std::uint32_t recordIndex, std::uint64_t h);
    bool RehashTo(std::size_t nSlots);
    bool Grow();
    void SetWrapped(const std::wstring& msg, const std::wstring& second = std::wstring());
    void SetBare(const std::wstring& msg);

    std::vector<Record> m_records;
    std::vector<std::unique_ptr<wchar_t[]>> m_chunks;  // the path arena
    wchar_t* m_pFree = nullptr;                        // unused end of the newest chunk
    std::size_t m_nFree = 0;
    std::size_t m_nCapacity = 0;
    // Open addressing: slot holds record index + 1 (0 = empty). Size is a power of two.
    std::vector<std::uint32_t> m_slots;
    std::uint64_t m_nTotal = 0;
    int m_nMaxCount = 0;
    bool m_bUsable = true;
    std::wstring m_sError;
};

}  // namespace swirlo
