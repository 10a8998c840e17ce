// An Xvfb display for the tests of one test program, started on first use and stopped at exit.
// Xvfb picks a free display number itself and writes it to a pipe, so test processes that run side
// by side never race for a number.
#pragma once

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace brelvik::test {

class XvfbServer {
public:
    // The display name (":N"), or empty when Xvfb cannot be started; sets DISPLAY to it.
    static const std::string& display()
    {
        static XvfbServer server;
        if (!server.display_.empty())
            setenv("DISPLAY", server.display_.c_str(), 1);
        return server.display_;
    }

    ~XvfbServer()
    {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
    }

private:
    XvfbServer()
    {
        int fds[2];
        if (pipe(fds) != 0)
            return;
        pid_ = fork();
        if (pid_ == 0) {
            close(fds[0]);
            const std::string fd = std::to_string(fds[1]);
            execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x480x24", "-nolisten", "tcp",
                   static_cast<char*>(nullptr));
            _exit(127);
        }
        close(fds[1]);
        if (pid_ < 0) {
            close(fds[0]);
            return;
        }
        std::string number;
        char c;
        while (read(fds[0], &c, 1) == 1 && c != '\n')
            number += c;
        close(fds[0]);
        if (number.empty()) {
            waitpid(pid_, nullptr, 0);
            pid_ = -1;
            return;
        }
        display_ = ":" + number;
    }

    pid_t pid_ = -1;
    std::string display_;
};

} // namespace brelvik::test
