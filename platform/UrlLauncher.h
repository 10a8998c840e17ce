// Opens web addresses in the user's default browser on behalf of the audio thread.
#pragma once

class CK_UrlLauncher {
public:
    virtual ~CK_UrlLauncher() = default;

    // Asks for url to be opened soon. Callable from the audio thread: it never locks, allocates or
    // waits; the process is started elsewhere. url must stay valid until then (a string constant).
    virtual void requestOpen(const char* url) = 0;
};
