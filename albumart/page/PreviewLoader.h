// Reads the preview images of the copy-selection dialog off the window thread, so that the window
// keeps painting while a cover is decoded: one image at a time, as a background job. Each side (0
// source, 1 target) keeps only its newest request; when a side's image is read the window gets the
// message given, with the side as wParam, and takes the result. The decoded picture is plain memory,
// handed over to the window's thread, which alone uses it from then on.
#pragma once
#include <windows.h>

#include <string>

#include "albumart/page/Picture.h"
#include "foundation/BackgroundJob.h"

namespace swirlo {

class PreviewLoader {
public:
    struct Image {
        std::wstring path;
        CPicture picture;    // decoded when IsLoaded()
        bool sized = false;  // width and height read with the picture
        int width = 0;
        int height = 0;
    };

    // On the window thread, as every call.
    PreviewLoader(HWND notify, UINT msg) : m_hNotify(notify), m_nMsg(msg) {}
    // Waits for the image being read, if any; results not taken are dropped.
    ~PreviewLoader() = default;
    PreviewLoader(const PreviewLoader&) = delete;
    PreviewLoader& operator=(const PreviewLoader&) = delete;

    // Reads path for the side, replacing whatever the side asked for before.
    void Request(int side, const std::wstring& path);
    // The side wants nothing any more: a pending request or a result not yet taken is dropped.
    void Cancel(int side);
    // The side's newest image, when it has been read and not taken yet.
    bool Take(int side, Image& out);
    // Some request has not been taken yet.
    bool Busy() const;

private:
    // Starts reading the oldest side's request when no image is being read.
    void ReadNext();
    void Read();
    void Finished();

    HWND m_hNotify;
    UINT m_nMsg;
    // Per side: the newest request and its number, the result of the last one read.
    std::wstring m_sWanted[2];
    unsigned m_nWanted[2] = {0, 0};
    unsigned m_nDone[2] = {0, 0};
    Image m_result[2];
    bool m_bReady[2] = {false, false};
    // The image being read: its side, its request number, and what the job fills in.
    int m_nSide = 0;
    unsigned m_nTicket = 0;
    Image m_reading;
    BackgroundJob m_job;  // last: destroyed first, so the job never outlives what it fills in
};

}  // namespace swirlo
