#include "platform/UrlLauncherSystem.h"

#include <atomic>
#include <cstdio>
#include <thread>

#ifdef _WIN32
#include <climits>
#include <process.h>
#include <windows.h>
#else
#include <cerrno>
#include <semaphore.h>
#include <spawn.h>
#include <sys/wait.h>
extern char** environ;
#endif

namespace {

// A counting semaphore: posting never blocks and is allowed on the audio thread.
class WakeSignal {
public:
#ifdef _WIN32
    WakeSignal() : handle_(CreateSemaphoreW(nullptr, 0, LONG_MAX, nullptr)) {}
    ~WakeSignal()
    {
        if (handle_)
            CloseHandle(handle_);
    }
    bool valid() const { return handle_ != nullptr; }
    void post() { ReleaseSemaphore(handle_, 1, nullptr); }
    void wait() { WaitForSingleObject(handle_, INFINITE); }

private:
    HANDLE handle_;
#else
    WakeSignal() : valid_(sem_init(&semaphore_, 0, 0) == 0) {}
    ~WakeSignal()
    {
        if (valid_)
            sem_destroy(&semaphore_);
    }
    bool valid() const { return valid_; }
    void post() { sem_post(&semaphore_); }
    void wait()
    {
        while (sem_wait(&semaphore_) != 0 && errno == EINTR) {
        }
    }

private:
    sem_t semaphore_;
    bool valid_;
#endif
};

static_assert(std::atomic<const char*>::is_always_lock_free, "the audio thread hands addresses over lock-free");

} // namespace

struct CK_SystemUrlLauncher::Worker {
    explicit Worker(Opener openUrl) : opener(openUrl)
    {
        if (!signal.valid())
            return;
        try {
            thread = std::thread([this] { run(); });
        } catch (...) {
            // Without a worker, requests are simply not served.
        }
    }
    ~Worker()
    {
        if (!thread.joinable())
            return;
        stop.store(true, std::memory_order_release);
        signal.post();
        thread.join();
    }

    void run()
    {
        for (;;) {
            signal.wait();
            if (stop.load(std::memory_order_acquire))
                return;
            if (const char* url = pending.exchange(nullptr, std::memory_order_acq_rel))
                opener(url);
        }
    }

    Opener opener;
    WakeSignal signal;
    std::atomic<const char*> pending{nullptr};
    std::atomic<bool> stop{false};
    std::thread thread;
};

CK_SystemUrlLauncher::CK_SystemUrlLauncher(Opener opener) : worker_(std::make_unique<Worker>(opener)) {}

CK_SystemUrlLauncher::~CK_SystemUrlLauncher() = default;

void CK_SystemUrlLauncher::requestOpen(const char* url)
{
    if (!url)
        return;
    // Only the first request of a burst wakes the worker; later ones replace the pending address.
    if (worker_->pending.exchange(url, std::memory_order_acq_rel) == nullptr)
        worker_->signal.post();
}

#ifdef _WIN32

void CK_SystemUrlLauncher::openInDefaultBrowser(const char* url)
{
    char command[512];
    std::snprintf(command, sizeof command, "/C start %s", url);
    _spawnlp(_P_DETACH, "cmd.exe", "cmd.exe", command, nullptr);
}

#else

void CK_SystemUrlLauncher::openInDefaultBrowser(const char* url)
{
    // The shell starts xdg-open in the background and exits at once: the opener is adopted by the
    // system instead of becoming a child of the host, and the address travels as an argument, never
    // as shell text.
    static const char kScript[] = "xdg-open \"$1\" </dev/null >/dev/null 2>&1 &";
    char* const argv[] = {const_cast<char*>("sh"), const_cast<char*>("-c"), const_cast<char*>(kScript),
                          const_cast<char*>("sh"), const_cast<char*>(url), nullptr};
    posix_spawn_file_actions_t actions;
    if (posix_spawn_file_actions_init(&actions) != 0)
        return;
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 34))
    // The browser must not keep the host's files and devices open.
    posix_spawn_file_actions_addclosefrom_np(&actions, 3);
#endif
    pid_t shell = 0;
    if (posix_spawn(&shell, "/bin/sh", &actions, nullptr, argv, environ) == 0)
        while (waitpid(shell, nullptr, 0) < 0 && errno == EINTR) {
        }
    posix_spawn_file_actions_destroy(&actions);
}

#endif
