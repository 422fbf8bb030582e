#include "albumart/PreviewLoader.h"

#include <objbase.h>

namespace swirlo {

PreviewLoader::PreviewLoader(HWND notify, UINT msg) : m_hNotify(notify), m_nMsg(msg) {
    m_thread = std::thread([this] { Run(); });
}

PreviewLoader::~PreviewLoader() {
    {
        std::lock_guard<std::mutex> hold(m_lock);
        m_bQuit = true;
    }
    m_wake.notify_all();
    if (m_thread.joinable()) m_thread.join();
}

void PreviewLoader::Request(int side, const std::wstring& path) {
    {
        std::lock_guard<std::mutex> hold(m_lock);
        m_sWanted[side] = path;
        ++m_nWanted[side];
        m_bReady[side] = false;
    }
    m_wake.notify_all();
}

void PreviewLoader::Cancel(int side) {
    std::lock_guard<std::mutex> hold(m_lock);
    // Nothing outstanding: the side counts as served.
    ++m_nWanted[side];
    m_nDone[side] = m_nWanted[side];
    m_sWanted[side].clear();
    m_bReady[side] = false;
}

bool PreviewLoader::Take(int side, Image& out) {
    std::lock_guard<std::mutex> hold(m_lock);
    if (!m_bReady[side]) return false;
    out = std::move(m_result[side]);
    m_bReady[side] = false;
    return true;
}

bool PreviewLoader::Busy() const {
    std::lock_guard<std::mutex> hold(m_lock);
    for (int side = 0; side < 2; ++side)
        if (m_nDone[side] != m_nWanted[side] || m_bReady[side]) return true;
    return false;
}

void PreviewLoader::Run() {
    // The picture decoder and the image library may create COM objects of their own.
    HRESULT init = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    std::unique_lock<std::mutex> hold(m_lock);
    for (;;) {
        int side = -1;
        m_wake.wait(hold, [&] {
            if (m_bQuit) return true;
            for (int s = 0; s < 2 && side < 0; ++s)
                if (m_nDone[s] != m_nWanted[s]) side = s;
            return side >= 0;
        });
        if (m_bQuit) break;
        unsigned ticket = m_nWanted[side];
        Image image;
        image.path = m_sWanted[side];
        hold.unlock();
        image.picture.Load(image.path);
        image.sized = GetImagePixelSize(image.path, image.width, image.height);
        hold.lock();
        // A newer request or a cancel came in meanwhile: this image is nobody's any more.
        if (ticket != m_nWanted[side]) continue;
        m_nDone[side] = ticket;
        m_result[side] = std::move(image);
        m_bReady[side] = true;
        PostMessageW(m_hNotify, m_nMsg, static_cast<WPARAM>(side), 0);
    }
    hold.unlock();
    // Pictures read here are released on the window's thread; only the results dropped above go here.
    if (SUCCEEDED(init)) CoUninitialize();
}

}  // namespace swirlo
