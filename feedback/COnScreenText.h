#pragma once

#include <QColor>
#include <QRect>
#include <QString>
#include <chrono>
#include <memory>
#include <mutex>
#include <thread>

// One line of text in a small borderless window with rounded corners, over every other
// program, slightly transparent and never taking mouse input. Each shown label runs its own
// thread with its own window, so it stays drawn while the thread that drives it (the tracker
// worker) is busy. The driving thread's calls return at once; the label's thread carries them
// out in the order made.
//
// Colours are given as 0x00BBGGRR values (red in the lowest byte).
class COnScreenText
{
public:
    static constexpr int MaxTextLength = 100;
    static constexpr int DefaultPointSize = 16;
    static constexpr int MinimumPointSize = 8;
    static constexpr int WindowAlpha = 220; // of 255
    static constexpr quint32 DefaultTextColor = 0xFFFFFF;
    static constexpr quint32 BackgroundColor = 0x7F7F7F;
    static constexpr int PaddingX = 20; // between the text and the left and right edges
    static constexpr int PaddingY = 5;  // between the text and the top and bottom edges

    // Shows the label at once when the text is not empty.
    explicit COnScreenText(const QString &text = QString(), int x = 0, int y = 0);
    virtual ~COnScreenText();
    COnScreenText(const COnScreenText &) = delete;
    COnScreenText &operator=(const COnScreenText &) = delete;

    // Shows the text with the window's top-left corner at (x, y). Nothing while a label is
    // started and not yet stopped, or when the text is empty.
    void Start(const QString &text, int x, int y);
    // Shows the text centred under a ring of outer diameter `ring` around an anchor point,
    // `gap` pixels below the ring. Nothing when gap < 0 or ring <= 0.
    void StartBelow(const QString &text, int anchorX, int anchorY, int gap, int ring);
    // Closes the window and ends the label's thread. Returns within 100 ms; any thread may
    // call it, any number of times.
    void Stop();
    // The same, returning by the deadline: a thread not ended by then ends by itself later.
    void Stop(std::chrono::steady_clock::time_point deadline);

    void SetPosition(int x, int y);
    void SetPosition(int anchorX, int anchorY, int gap, int ring);
    // Sizes below 8 points are ignored; while idle the size is kept for the next start.
    void SetSize(int points);
    // Refits the window to the text, keeping its horizontal centre.
    void SetText(const QString &text);
    void SetTextColor(quint32 colorRef);
    void BringToTop();

    // The window is shown (its thread made it and runs).
    bool isRunning() const;
    // The window's place and size while running; empty otherwise.
    QRect windowRect() const;
    int pointSize() const;
    quint32 textColor() const;

    // The first 100 characters.
    static QString TruncateText(const QString &text);
    // The diameter of the rounded corners of a w by h window.
    static int cornerFor(int w, int h);
    static QColor fromColorRef(quint32 colorRef);

private:
    struct LabelRun;

    // Starts the thread with the stored values. control held.
    void launch();
    // Stops the current thread, if any, waiting for it until the deadline. control held.
    void stopLocked(std::chrono::steady_clock::time_point deadline);
    // Hands a change to the running thread; false when no label is started. control held.
    template<class Change> bool post(Change change);

    mutable std::mutex control; // serialises start, stop and changes
    std::shared_ptr<LabelRun> run;
    std::thread worker;

    QString text;
    int x = 0;
    int y = 0;
    int points = DefaultPointSize;
    quint32 color = DefaultTextColor;
    bool anchored = false;
    int anchorX = 0;
    int anchorY = 0;
    int gap = 0;
    int ring = 0;
};

// The calibration prompt, above the middle of the primary screen.
extern COnScreenText CalibrationText;
