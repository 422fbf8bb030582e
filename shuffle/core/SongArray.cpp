#include "shuffle/core/SongArray.h"

#include <algorithm>
#include <cwchar>
#include <new>

#include "foundation/AllocHook.h"
#include "foundation/ErrorText.h"

namespace swirlo {

namespace {
const wchar_t kNoError[] = L"No error recorded in SongArray class";
}

CSongArray::CSongArray() : m_sError(kNoError) {
    try {
        m_records.reserve(kInitialCapacity);
        m_slots.assign(kInitialCapacity * 2, 0);
        m_nCapacity = kInitialCapacity;
    } catch (const std::bad_alloc&) {
        m_bUsable = false;
        m_nCapacity = 0;
        SetWrapped(L"Error allocating memory for song structure array");
    }
}

void CSongArray::SetWrapped(const std::wstring& msg, const std::wstring& second) {
    std::wstring s = L"SongArray class error:\r\n" + msg;
    if (!second.empty()) s += L"\r\n" + second;
    if (s.size() > kWindowErrorCap) s.resize(kWindowErrorCap);
    m_sError = s;
}

void CSongArray::SetBare(const std::wstring& msg) {
    m_sError = msg.size() > kWindowErrorCap ? msg.substr(0, kWindowErrorCap) : msg;
}

// 64-bit FNV-1a over the UTF-16 code units, finished with a multiply-xorshift so that the low bits
// used for the slot are well mixed. Equal paths give equal hashes.
std::uint64_t CSongArray::HashPath(const wchar_t* s, std::size_t n) {
    std::uint64_t h = 1469598103934665603ull;
    for (std::size_t i = 0; i < n; ++i) {
        h ^= static_cast<std::uint32_t>(s[i]);
        h *= 1099511628211ull;
    }
    h ^= h >> 32;
    h *= 0xd6e8feb86659fd93ull;
    h ^= h >> 32;
    return h;
}

namespace {
inline std::uint32_t HashCheck(std::uint64_t h) { return static_cast<std::uint32_t>(h >> 32); }
constexpr std::size_t kChunkChars = 1 << 18;
}  // namespace

int CSongArray::Lookup(const wchar_t* s, std::size_t n, std::uint64_t h) const {
    const std::size_t mask = m_slots.size() - 1;
    const std::uint32_t check = HashCheck(h);
    for (std::size_t i = h & mask;; i = (i + 1) & mask) {
        std::uint32_t v = m_slots[i];
        if (v == 0) return -1;
        const Record& r = m_records[v - 1];
        if (r.nHashCheck == check && r.nLen == n && std::wmemcmp(r.pPath, s, n) == 0)
            return static_cast<int>(i);
    }
}

// Slots are found from the full hash; records keep only its check half, so rebuilding the index
// (at each doubling) hashes the paths again.
void CSongArray::IndexInsert(std::uint32_t recordIndex, std::uint64_t h) {
    const Record& r = m_records[recordIndex];
    const std::size_t mask = m_slots.size() - 1;
    for (std::size_t i = h & mask;; i = (i + 1) & mask) {
        std::uint32_t v = m_slots[i];
        if (v == 0) { m_slots[i] = recordIndex + 1; return; }
        const Record& o = m_records[v - 1];
        if (o.nHashCheck == r.nHashCheck && o.nLen == r.nLen && std::wmemcmp(o.pPath, r.pPath, r.nLen) == 0) {
            m_slots[i] = recordIndex + 1;
            return;
        }
    }
}

const wchar_t* CSongArray::CopyPath(const wchar_t* s, std::size_t n) {
    if (n + 1 > m_nFree) {
        const std::size_t size = std::max(kChunkChars, n + 1);
        m_chunks.push_back(std::make_unique<wchar_t[]>(size));
        m_pFree = m_chunks.back().get();
        m_nFree = size;
    }
    wchar_t* p = m_pFree;
    std::wmemcpy(p, s, n);
    p[n] = L'\0';
    m_pFree += n + 1;
    m_nFree -= n + 1;
    return p;
}

bool CSongArray::RehashTo(std::size_t nSlots) {
    std::vector<std::uint32_t> slots(nSlots, 0);
    slots.swap(m_slots);
    // Newest record of a path wins: insert in order so later ones overwrite earlier ones.
    for (std::uint32_t i = 0; i < m_records.size(); ++i) IndexInsert(i, HashPath(m_records[i].pPath, m_records[i].nLen));
    return true;
}

bool CSongArray::Grow() {
    const std::size_t newCap = m_nCapacity * 2;
    const std::wstring prefix = FormatW(
        L"Error while increasing song array size to %d\r\nError allocating memory for",
        static_cast<int>(newCap));
    try {
        CheckAlloc(AllocSite::SongTableGrowth);
        m_records.reserve(newCap);
    } catch (const std::bad_alloc&) {
        SetBare(prefix + L" replacement array");
        return false;
    }
    try {
        RehashTo(newCap * 2);
    } catch (const std::bad_alloc&) {
        // The old index was swapped out before the failure: rebuild it at the old size, which fits.
        m_slots.assign(m_nCapacity * 2, 0);
        for (std::uint32_t i = 0; i < m_records.size(); ++i) IndexInsert(i, HashPath(m_records[i].pPath, m_records[i].nLen));
        SetBare(prefix + L" replacement array");
        return false;
    }
    m_nCapacity = newCap;
    return true;
}

int CSongArray::AddSong(const wchar_t* sPath, int nOccurrences) {
    if (m_records.size() >= m_nCapacity) {
        if (!m_bUsable) return 0;
        if (!Grow()) return 0;
    }
    if (nOccurrences > kMaxOccurrences) {
        SetBare(FormatW(L"Number of song occurrences %d greater than max allowed %d\r\n%ls",
                        nOccurrences, kMaxOccurrences, sPath ? sPath : L""));
        return 0;
    }
    if (nOccurrences == 0) {
        SetWrapped(L"Attempted to add song with 0 occurrences");
        return 0;
    }
    if (nOccurrences < 0) {
        // Negative counts would corrupt the totals; the program never passes one.
        SetWrapped(FormatW(L"Invalid number of song occurrences %d", nOccurrences));
        return 0;
    }
    if (!sPath || !*sPath) {
        SetWrapped(L"Null or empty song file parameter");
        return 0;
    }
    const std::uint32_t index = static_cast<std::uint32_t>(m_records.size());
    try {
        CheckAlloc(AllocSite::SongPathCopy);
        const std::size_t n = std::wcslen(sPath);
        if (n > 0xFFFFFFFFu) throw std::bad_alloc();
        const std::uint64_t h = HashPath(sPath, n);
        int slot = Lookup(sPath, n, h);
        std::uint32_t id = slot >= 0 ? m_records[m_slots[slot] - 1].nId : index;
        const wchar_t* copy = CopyPath(sPath, n);
        m_records.push_back(Record{copy, static_cast<std::uint32_t>(n), HashCheck(h), nOccurrences, id});
        if (slot >= 0) m_slots[slot] = index + 1;
        else IndexInsert(index, h);
    } catch (const std::bad_alloc&) {
        SetBare(FormatW(L"Error allocating memory for playlist line (array index %d)", static_cast<int>(index)));
        return 0;
    }
    if (nOccurrences > m_nMaxCount) m_nMaxCount = nOccurrences;
    m_nTotal += static_cast<std::uint64_t>(nOccurrences);
    return nOccurrences;
}

int CSongArray::AddOccurrences(int nIndex, const wchar_t* sPath, int nOccurrences) {
    if (nIndex < 0 || static_cast<std::size_t>(nIndex) >= m_records.size()) {
        SetWrapped(FormatW(L"Song index %d out of range", nIndex));
        return 0;
    }
    Record& r = m_records[nIndex];
    const int nNew = r.nCount + nOccurrences;
    if (nNew > kMaxOccurrences) {
        SetBare(FormatW(L"Attempt to add %d repetitions for song\r\n%ls\r\nwould raise total repetitions to %d\r\nMaximum allowed is %d",
                        nOccurrences, sPath ? sPath : L"", nNew, kMaxOccurrences));
        return 0;
    }
    if (nOccurrences < 0 || nNew < 1) {
        SetWrapped(FormatW(L"Invalid number of song occurrences %d", nOccurrences));
        return 0;
    }
    r.nCount = nNew;
    m_nTotal += static_cast<std::uint64_t>(nOccurrences);
    if (nNew > m_nMaxCount) m_nMaxCount = nNew;
    return nNew;
}

int CSongArray::AddOrIncrement(const wchar_t* sPath, int nOccurrences) {
    if (nOccurrences == 0) {
        SetWrapped(L"Attempted to increment song by 0 occurrences");
        return 0;
    }
    int ix = FindSong(sPath);
    if (ix >= 0) return AddOccurrences(ix, sPath, nOccurrences);
    return AddSong(sPath, nOccurrences);
}

int CSongArray::FindSong(const wchar_t* sPath) const {
    if (!sPath || m_slots.empty()) return -1;
    const std::size_t n = std::wcslen(sPath);
    int slot = Lookup(sPath, n, HashPath(sPath, n));
    return slot < 0 ? -1 : static_cast<int>(m_slots[slot] - 1);
}

const wchar_t* CSongArray::GetSong(std::uint32_t nIndex) const {
    return nIndex < m_records.size() ? m_records[nIndex].pPath : nullptr;
}

int CSongArray::GetCount(std::uint32_t nIndex) const {
    return nIndex < m_records.size() ? m_records[nIndex].nCount : 0;
}

bool CSongArray::IsSameSong(std::uint32_t a, std::uint32_t b) const {
    if (a >= m_records.size() || b >= m_records.size()) return false;
    return m_records[a].nId == m_records[b].nId;
}

void CSongArray::Clear() {
    m_records.clear();
    m_chunks.clear();
    m_pFree = nullptr;
    m_nFree = 0;
    std::fill(m_slots.begin(), m_slots.end(), 0u);
    m_nTotal = 0;
    m_nMaxCount = 0;
}

std::wstring CSongArray::GetError(bool bReset) {
    std::wstring s = m_sError;
    if (bReset) m_sError = kNoError;
    return s;
}

}  // namespace swirlo
