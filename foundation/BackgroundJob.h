// Long work off the window thread, the one way: BackgroundJob runs a piece of work on a thread of
// its own and hands its end back to the window thread, which runs the job's finishing step in its
// message dispatch (or at once, for a caller that waits while the window keeps running). PostBack
// is the hand-over: functions posted from any thread run on the window thread that made it.
// Both belong to the window thread that made them.
#pragma once
#include <windows.h>

#include <atomic>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace swirlo {

class RunContext;

class PostBack {
public:
    PostBack();  // a message-only window of the calling thread
    ~PostBack() { Close(); }
    PostBack(const PostBack&) = delete;
    PostBack& operator=(const PostBack&) = delete;

    // From any thread; dropped once closed.
    void Post(std::function<void()> fn);
    // On the window thread: runs what is waiting now, in the order posted.
    void RunPosted();
    // On the window thread: nothing posted runs any more, and the window is gone. Another thread
    // that keeps a PostBack past its owner's use calls Post harmlessly.
    void Close();

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    std::mutex m_lock;
    HWND m_hWnd = nullptr;
    std::deque<std::function<void()>> m_posted;
};

class BackgroundJob {
public:
    BackgroundJob() = default;
    // Waits for the work; a finishing step not run yet is dropped.
    ~BackgroundJob();
    BackgroundJob(const BackgroundJob&) = delete;
    BackgroundJob& operator=(const BackgroundJob&) = delete;

    // Starts work on a new thread; done runs on the window thread after work has returned. False
    // (nothing started) while another job of this object is not finished, or when no thread can be
    // had. work must not throw.
    bool Start(std::function<void()> work, std::function<void()> done = {});
    // Started and its finishing step not run yet.
    bool Busy() const { return m_thread.joinable(); }
    // For a caller that needs the result before it goes on: lets the window's messages run
    // through ctx (on its budget) until the work has returned, then finishes the job here.
    void WaitDispatching(RunContext& ctx);

private:
    void Finish();

    PostBack m_post;
    std::thread m_thread;
    std::atomic<bool> m_bWorking{false};
    unsigned m_nJob = 0;  // a hand-over of an earlier job, already finished by a wait, is ignored
    std::function<void()> m_done;
};

}  // namespace swirlo
