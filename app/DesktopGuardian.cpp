#include "app/DesktopGuardian.h"

#include "platform/InputSynthesis.h"
#include "platform/Platform.h"

#include <QDir>
#include <QFile>
#include <QtGlobal>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char **environ;

namespace {

constexpr char Ready = 'R';
constexpr char CleanEnd = 'E';
// Followed by what the input service holds, to the end of the line.
constexpr char Held = 'H';
constexpr int ReadyWaitMs = 2000;
constexpr int EndWaitMs = 1000;
// Where the guardian finds its end of the link, and its share of the run's lock.
constexpr int GuardianLinkFd = 3;
constexpr int GuardianRunLockFd = 4;

// The program's end of the link; -1 when no guardian runs. Read by the fatal-signal handler.
std::atomic<int> linkFd{-1};
// Writes to the link and its closing: the worker tells what it holds while the GUI thread
// may end the link.
std::mutex linkMutex;
std::atomic<pid_t> guardianPid{-1};
std::atomic<bool> started{false};
std::mutex markMutex;
QString markFile;
// Held (flock) for the whole run, by this process and its guardian; -1 when not claimed.
int runLockFd = -1;

// A descriptor of its own for the same file, above those the guardian's are moved to, so
// that moving one into place cannot close another on the way.
int aboveGuardiansFds(int fd)
{
    return fcntl(fd, F_DUPFD_CLOEXEC, 10);
}

// Tells the guardian what the input service holds. Never blocks the thread that pressed:
// the guardian reads at once, and a line it cannot take is one log line.
void tellHeld(const std::string &held)
{
    std::lock_guard<std::mutex> lock(linkMutex);
    const int fd = linkFd.load();
    if (fd < 0)
        return;
    const std::string line = Held + held + '\n';
    const ssize_t sent = send(fd, line.data(), line.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
    if (sent != ssize_t(line.size()))
        qWarning("Guardian: cannot tell it what is held: %s",
                 sent < 0 ? std::strerror(errno) : "cut short");
}

// Waits for the guardian's one-byte answer; false on a timeout or a closed link.
bool readyWithin(int fd, int timeoutMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return false;
        pollfd p{fd, POLLIN, 0};
        const int n = poll(&p, 1, int(left.count()));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        char byte = 0;
        const ssize_t got = read(fd, &byte, 1);
        if (got < 0 && errno == EINTR)
            continue;
        return got == 1 && byte == Ready;
    }
}

// Reaps the guardian once it has ended, waiting `timeoutMs` at most; a guardian that does
// not end by then is left to end by itself.
void reap(pid_t pid, int timeoutMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (waitpid(pid, nullptr, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() >= deadline) {
            qWarning("Guardian: still running %d ms after the clean end", timeoutMs);
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

} // namespace

bool DesktopGuardian::start(const QString &programFolder)
{
    if (started.exchange(true))
        return running();
    const QByteArray path = QFile::encodeName(QDir(programFolder).filePath(executableName()));
    if (access(path.constData(), X_OK) != 0) {
        qWarning("Guardian: %s cannot be run (%s); a crash would leave the desktop changed",
                 path.constData(), std::strerror(errno));
        return false;
    }
    int pair[2] = {-1, -1};
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair) != 0) {
        qWarning("Guardian: no link to it: %s", std::strerror(errno));
        return false;
    }
    // The guardian finds its end as descriptor 3 and its share of the run's lock as 4, so
    // that the next run waits for it too (dup2 clears close-on-exec there).
    const int theirs = aboveGuardiansFds(pair[1]);
    close(pair[1]);
    if (theirs < 0) {
        close(pair[0]);
        qWarning("Guardian: no link to it: %s", std::strerror(errno));
        return false;
    }
    const int lock = runLockFd >= 0 ? aboveGuardiansFds(runLockFd) : -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, theirs, GuardianLinkFd);
    if (lock >= 0)
        posix_spawn_file_actions_adddup2(&actions, lock, GuardianRunLockFd);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    // A group of its own: the terminal's Ctrl+C and a group kill meant for the program leave
    // the guardian to do its work.
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK |
                                              POSIX_SPAWN_SETSIGDEF);
    posix_spawnattr_setpgroup(&attributes, 0);
    sigset_t none, defaults;
    sigemptyset(&none);
    sigfillset(&defaults);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    char *const arguments[] = {const_cast<char *>(path.constData()), nullptr};
    pid_t pid = -1;
    const int spawned =
        posix_spawn(&pid, path.constData(), &actions, &attributes, arguments, environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    close(theirs);
    if (lock >= 0)
        close(lock);
    if (spawned != 0) {
        close(pair[0]);
        qWarning("Guardian: cannot start %s: %s", path.constData(), std::strerror(spawned));
        return false;
    }
    if (!readyWithin(pair[0], ReadyWaitMs)) {
        // It failed and said why, or hangs: either way the program must not wait on it.
        close(pair[0]);
        kill(pid, SIGKILL);
        reap(pid, EndWaitMs);
        qWarning("Guardian: did not start; a crash would leave the desktop changed");
        return false;
    }
    guardianPid = pid;
    linkFd = pair[0];
    platform::inputSynthesis().setHeldListener(tellHeld);
    return true;
}

void DesktopGuardian::endCleanly()
{
    {
        std::lock_guard<std::mutex> lock(markMutex);
        if (!markFile.isEmpty())
            QFile::remove(markFile);
        markFile.clear();
    }
    if (linkFd.load() < 0)
        return;
    platform::inputSynthesis().setHeldListener({});
    std::unique_lock<std::mutex> link(linkMutex);
    const int fd = linkFd.exchange(-1);
    if (fd < 0)
        return;
    if (send(fd, &CleanEnd, 1, MSG_NOSIGNAL) != 1)
        qWarning("Guardian: cannot tell it of the clean end: %s", std::strerror(errno));
    close(fd);
    link.unlock();
    const pid_t pid = guardianPid.exchange(-1);
    if (pid > 0)
        reap(pid, EndWaitMs);
}

void DesktopGuardian::dropLinkNow()
{
    const int fd = linkFd.load();
    if (fd >= 0)
        shutdown(fd, SHUT_RDWR);
}

bool DesktopGuardian::running()
{
    return linkFd.load() >= 0;
}

bool DesktopGuardian::markRun(const QString &dataFolder)
{
    std::lock_guard<std::mutex> lock(markMutex);
    markFile = QDir(dataFolder).filePath(QStringLiteral("TovraMouse.running"));
    const bool leftBefore = QFile::exists(markFile);
    QFile mark(markFile);
    if (!mark.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qWarning("Guardian: cannot write %s", qPrintable(markFile));
    else
        mark.write(QByteArray::number(qint64(getpid())) + '\n');
    return leftBefore;
}

bool DesktopGuardian::claimRun(const QString &dataFolder, int waitMs)
{
    if (runLockFd >= 0)
        return true;
    const QByteArray path =
        QFile::encodeName(QDir(dataFolder).filePath(QStringLiteral("TovraMouse.lock")));
    const int fd = open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        qWarning("Guardian: cannot open %s (%s); a second run would not be noticed",
                 path.constData(), std::strerror(errno));
        return true;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    for (;;) {
        if (flock(fd, LOCK_EX | LOCK_NB) == 0) {
            runLockFd = fd;
            return true;
        }
        if (errno != EWOULDBLOCK && errno != EINTR) {
            qWarning("Guardian: cannot lock %s (%s); a second run would not be noticed",
                     path.constData(), std::strerror(errno));
            close(fd);
            return true;
        }
        if (std::chrono::steady_clock::now() >= deadline)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    close(fd);
    return false;
}
