#include "albumart/page/PreviewLoader.h"

#include <objbase.h>

namespace swirlo {

void PreviewLoader::Request(int side, const std::wstring& path) {
    m_sWanted[side] = path;
    ++m_nWanted[side];
    m_bReady[side] = false;
    ReadNext();
}

void PreviewLoader::Cancel(int side) {
    // Nothing outstanding: the side counts as served.
    ++m_nWanted[side];
    m_nDone[side] = m_nWanted[side];
    m_sWanted[side].clear();
    m_bReady[side] = false;
}

bool PreviewLoader::Take(int side, Image& out) {
    if (!m_bReady[side]) return false;
    out = std::move(m_result[side]);
    m_bReady[side] = false;
    return true;
}

bool PreviewLoader::Busy() const {
    for (int side = 0; side < 2; ++side)
        if (m_nDone[side] != m_nWanted[side] || m_bReady[side]) return true;
    return false;
}

void PreviewLoader::ReadNext() {
    if (m_job.Busy()) return;  // Finished comes back here
    for (int side = 0; side < 2; ++side) {
        if (m_nDone[side] == m_nWanted[side]) continue;
        m_nSide = side;
        m_nTicket = m_nWanted[side];
        m_reading = Image();
        m_reading.path = m_sWanted[side];
        if (!m_job.Start([this] { Read(); }, [this] { Finished(); })) {
            Read();  // no thread to be had: read it here
            Finished();
        }
        return;
    }
}

// On the job's thread: touches nothing but m_reading.
void PreviewLoader::Read() {
    // The picture decoder is a COM object.
    HRESULT init = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    m_reading.sized = m_reading.picture.Load(m_reading.path) == 1;
    m_reading.width = m_reading.picture.Width();
    m_reading.height = m_reading.picture.Height();
    if (SUCCEEDED(init)) CoUninitialize();
}

void PreviewLoader::Finished() {
    const int side = m_nSide;
    // A newer request or a cancel came in meanwhile: this image is nobody's any more.
    if (m_nTicket == m_nWanted[side]) {
        m_nDone[side] = m_nTicket;
        m_result[side] = std::move(m_reading);
        m_bReady[side] = true;
        PostMessageW(m_hNotify, m_nMsg, static_cast<WPARAM>(side), 0);
    }
    m_reading = Image();
    ReadNext();
}

}  // namespace swirlo
