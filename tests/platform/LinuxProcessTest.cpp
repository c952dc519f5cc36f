#include "platform/linux/LinuxProcess.h"
#include "tests/platform/WarningCounter.h"

#include <condition_variable>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using platform::LinuxProcess;

namespace {
int niceOf(id_t tid)
{
    return getpriority(PRIO_PROCESS, tid);
}
} // namespace

TEST(LinuxProcess, RaisesEveryThreadOrReportsFailureAndLowersThemBack)
{
    // A second thread that exists while the priority is raised.
    std::mutex mutex;
    std::condition_variable cv;
    bool done = false;
    pid_t helperTid = 0;
    std::thread helper([&] {
        std::unique_lock<std::mutex> lock(mutex);
        helperTid = pid_t(syscall(SYS_gettid));
        cv.notify_all();
        cv.wait(lock, [&] { return done; });
    });
    {
        std::unique_lock<std::mutex> lock(mutex);
        cv.wait(lock, [&] { return helperTid != 0; });
    }
    const int niceBefore = niceOf(0);

    LinuxProcess process;
    // Nothing raised yet: lowering leaves every thread alone.
    EXPECT_TRUE(process.lowerPriority());
    EXPECT_EQ(niceOf(0), niceBefore);
    const bool raised = process.raisePriority();
    if (raised) {
        EXPECT_LE(niceOf(0), LinuxProcess::raisedNice);
        EXPECT_LE(niceOf(id_t(helperTid)), LinuxProcess::raisedNice);
    } else {
        EXPECT_EQ(niceOf(0), niceBefore);
    }
    EXPECT_TRUE(process.lowerPriority());
    EXPECT_EQ(niceOf(0), niceBefore);
    EXPECT_EQ(niceOf(id_t(helperTid)), niceBefore);
    {
        std::lock_guard<std::mutex> lock(mutex);
        done = true;
    }
    cv.notify_all();
    helper.join();
}

TEST(LinuxProcess, AnOrdinaryUserGetsFalseAndOneLogLine)
{
    // In a child process that has no right to raise its priority.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        setpriority(PRIO_PROCESS, 0, 0);
        const rlimit none{0, 0};
        setrlimit(RLIMIT_NICE, &none);
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
            _exit(3);
        WarningCounter warnings("cannot raise the priority");
        LinuxProcess process;
        const bool first = process.raisePriority();
        const bool second = process.raisePriority();
        _exit(!first && !second && warnings.count() == 1 && niceOf(0) == 0 ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}
