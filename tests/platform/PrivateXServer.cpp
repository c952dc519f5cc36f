#include "tests/platform/PrivateXServer.h"

#include <QtGlobal>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

PrivateXServer::PrivateXServer()
    : oldDisplay(qgetenv("DISPLAY"))
{
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0)
        return;
    // Xvfb picks a free display number and writes it to the descriptor given by -displayfd.
    const int childFd = 3;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], childFd);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const std::string fd = std::to_string(childFd);
    const char *argv[] = {"Xvfb",    "-displayfd", fd.c_str(),   "-nolisten", "tcp",
                          "-screen", "0",          "640x480x24", "-noreset",  nullptr};
    if (posix_spawnp(&pid, "Xvfb", &actions, nullptr, const_cast<char **>(argv), environ) != 0)
        pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);

    QByteArray number;
    pollfd p{fds[0], POLLIN, 0};
    while (pid > 0 && !number.endsWith('\n') && poll(&p, 1, 30000) > 0) {
        char c;
        if (read(fds[0], &c, 1) != 1)
            break;
        number += c;
    }
    close(fds[0]);
    if (number.trimmed().isEmpty())
        return;
    display = ':' + number.trimmed();
    qputenv("DISPLAY", display);
}

PrivateXServer::~PrivateXServer()
{
    if (pid > 0) {
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
    }
    if (oldDisplay.isNull())
        qunsetenv("DISPLAY");
    else
        qputenv("DISPLAY", oldDisplay);
}
