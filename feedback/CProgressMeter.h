#pragma once

#include <QPoint>
#include <QString>
#include <chrono>
#include <memory>
#include <mutex>
#include <thread>

class COnScreenText;

// A coloured ring around the pointer that fills clockwise from 12 o'clock in 4-degree steps
// over a set duration, over every other program and never taking mouse input, with a text
// label centred below it. It either closes itself when full (auto-close) or starts again
// until stopped. While shown, one thread of its own owns the window and draws a step per
// period; the driving thread's calls return at once.
//
// Colours are given as 0x00BBGGRR values (red in the lowest byte).
class CProgressMeter
{
public:
    static constexpr int StepDegrees = 4;
    static constexpr int StepsPerTurn = 90;
    static constexpr int Margin = 30; // added to the window's side around the ring
    static constexpr int WindowAlpha = 200;
    static constexpr int DefaultDiameter = 100;
    static constexpr int DefaultThickness = 30;
    static constexpr quint32 DefaultColor = 0xFF0000; // blue
    static constexpr int DefaultDuration = 1000;
    static constexpr int LabelGap = 50;

    CProgressMeter();
    virtual ~CProgressMeter();
    CProgressMeter(const CProgressMeter &) = delete;
    CProgressMeter &operator=(const CProgressMeter &) = delete;

    // Shows the ring around the pointer and the text below it (none when empty). Nothing
    // while the ring is started and not yet stopped: stop it first to show another text.
    void Start(const QString &text, bool autoClose);
    // Closes ring and label. Returns within 100 ms; any thread, any number of times.
    void Stop();

    // Each setter ignores a value that is unchanged or out of range.
    void SetColor(quint32 colorRef);
    void SetDiameter(int diameter);   // 1 to 2000 pixels, the arc's centre line
    void SetThickness(int thickness); // 1 to 100 pixels
    void SetDuration(int ms);         // 50 to 20000, one full turn
    void SetLabelSize(int points);

    bool isRunning() const;
    // The pointer position the ring was started at.
    QPoint centre() const;
    int diameter() const;
    int thickness() const;
    int duration() const;
    quint32 color() const;
    COnScreenText &label() { return *labelText; }

    // The time between two steps for a full turn of durationMs: ceil(durationMs / 90).
    static int periodFor(int durationMs);

private:
    struct Settings;
    struct RingRun;

    // Stops the ring's thread, waiting for it until the deadline. control held.
    void stopWindowLocked(std::chrono::steady_clock::time_point deadline);
    void moveLabel();

    std::shared_ptr<Settings> settings;
    std::shared_ptr<COnScreenText> labelText;
    mutable std::mutex control; // serialises start, stop and region changes
    std::shared_ptr<RingRun> run;
    std::thread worker;
    QPoint at;
    QString text;
    bool autoClose = false;
};

// The ring of the smile hold stages and the calibration.
extern CProgressMeter GlobalProgressMeter;
