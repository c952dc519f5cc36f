#pragma once

#include <QString>

// The program's side of the guardian (TovraGuardian beside the program): a separate process
// that puts the desktop back when the program ends without doing it itself (a crash, SIGKILL,
// the out-of-memory killer, a worker that does not stop). Started once, before the program
// changes anything, and told from then on what the input service holds on the desktop, so
// that it lets go of that and of nothing other programs hold; told of a clean end, it ends
// at once. A run also leaves a mark in the data folder until its clean end, so that the next
// start knows the last one did not end well.
class DesktopGuardian
{
public:
    // Starts the guardian from `programFolder` and waits (two seconds at most) until it has
    // noted the desktop. Once per process; false, with one log line, when it does not run:
    // the program goes on unguarded.
    static bool start(const QString &programFolder);
    // The desktop is back: the guardian ends at once and the run's mark goes. Only once the
    // worker has stopped and everything is released: a press after it would stay down for
    // good. Any thread.
    static void endCleanly();
    // For a fatal signal's handler (async-signal-safe): the guardian sees the program go now,
    // not after a core dump is written.
    static void dropLinkNow();
    static bool running();

    // Whether the last run left its mark (it did not end cleanly); sets this run's mark.
    static bool markRun(const QString &dataFolder);

    // Makes this process the data folder's one run, waiting `waitMs` at most for one that is
    // ending (or whose guardian still puts the desktop back). False while another lives;
    // true, too, when the folder cannot hold the lock (nothing can be told then). The claim
    // lasts until this process and its guardian have both ended.
    static bool claimRun(const QString &dataFolder, int waitMs);

    static QString executableName() { return QStringLiteral("TovraGuardian"); }
};
