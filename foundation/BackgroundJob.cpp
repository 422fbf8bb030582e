#include "foundation/BackgroundJob.h"

#include <system_error>

#include "foundation/RunContext.h"
#include "foundation/WindowMessages.h"

namespace swirlo {

PostBack::PostBack() {
    static const wchar_t kClass[] = L"SwirloPostBack";
    WNDCLASSW wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kClass;
    RegisterClassW(&wc);  // fails harmlessly when already registered
    m_hWnd = CreateWindowExW(0, kClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    if (m_hWnd) SetWindowLongPtrW(m_hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

void PostBack::Post(std::function<void()> fn) {
    std::lock_guard<std::mutex> hold(m_lock);
    if (!m_hWnd) return;
    m_posted.push_back(std::move(fn));
    PostMessageW(m_hWnd, WM_APP_POSTED, 0, 0);
}

void PostBack::RunPosted() {
    for (;;) {
        std::function<void()> fn;
        {
            std::lock_guard<std::mutex> hold(m_lock);
            if (m_posted.empty()) return;
            fn = std::move(m_posted.front());
            m_posted.pop_front();
        }
        fn();  // may open a box, whose dispatch runs the next one
    }
}

void PostBack::Close() {
    HWND h;
    std::deque<std::function<void()>> dropped;
    {
        std::lock_guard<std::mutex> hold(m_lock);
        h = m_hWnd;
        m_hWnd = nullptr;
        dropped.swap(m_posted);
    }
    if (h) DestroyWindow(h);
}

LRESULT CALLBACK PostBack::Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg != WM_APP_POSTED) return DefWindowProcW(hwnd, msg, wParam, lParam);
    auto* self = reinterpret_cast<PostBack*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self) self->RunPosted();
    return 0;
}

BackgroundJob::~BackgroundJob() {
    if (m_thread.joinable()) m_thread.join();
}

bool BackgroundJob::Start(std::function<void()> work, std::function<void()> done) {
    if (Busy()) return false;
    const unsigned job = ++m_nJob;
    m_done = std::move(done);
    m_bWorking = true;
    try {
        m_thread = std::thread([this, job, work = std::move(work)] {
            try {
                work();
            } catch (...) {
                // no exception leaves the thread
            }
            m_bWorking = false;
            m_post.Post([this, job] {
                if (job == m_nJob) Finish();
            });
        });
    } catch (const std::system_error&) {
        m_bWorking = false;
        m_done = nullptr;
        return false;
    }
    return true;
}

void BackgroundJob::WaitDispatching(RunContext& ctx) {
    while (m_bWorking) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        ctx.PumpMessages();
    }
    Finish();
}

void BackgroundJob::Finish() {
    if (!m_thread.joinable()) return;
    m_thread.join();
    std::function<void()> done = std::move(m_done);
    m_done = nullptr;
    if (done) done();  // may start the next job
}

}  // namespace swirlo
