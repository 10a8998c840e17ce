// The launcher of the running system: a worker thread that starts the platform's browser opener
// detached ("xdg-open" on Linux, the command shell's "start" on Windows). The audio thread only
// stores the address in an atomic slot and posts a semaphore; requests that arrive while one is
// still pending are merged into one.
#pragma once

#include <memory>

#include "platform/UrlLauncher.h"

class CK_SystemUrlLauncher : public CK_UrlLauncher {
public:
    using Opener = void (*)(const char* url);

    // Starts the worker thread; opener runs on it for every request (tests pass a stand-in).
    explicit CK_SystemUrlLauncher(Opener opener = &openInDefaultBrowser);
    // Stops and joins the worker; a request still pending is dropped.
    ~CK_SystemUrlLauncher() override;

    CK_SystemUrlLauncher(const CK_SystemUrlLauncher&) = delete;
    CK_SystemUrlLauncher& operator=(const CK_SystemUrlLauncher&) = delete;

    void requestOpen(const char* url) override;

    // Starts the platform's opener for url without waiting for the browser.
    static void openInDefaultBrowser(const char* url);

private:
    struct Worker;
    std::unique_ptr<Worker> worker_;
};
