#pragma once

#include <QString>
#include <QtGlobal>

class FacialMetricsState;

// A tracking session: the pointer bookkeeping starts afresh and the calibration prompts run
// (relax; in smile clicking also smile and open the mouth; then a reminder) while the click
// engine is suspended and the pointer is held at the screen centre. Worker thread only.
class TrackingSession
{
public:
    enum class Phase
    {
        Idle,
        Relax,
        Smile,
        Mouth,
        Final
    };

    // What the session needs of its surroundings; the tracker fills it in, tests fake it.
    struct Hooks
    {
        // The frame time of the current frame (the frame loop drops the old face on it).
        quint32 frameTimeMs = 0;
        // Called when a calibration really starts: the level histograms learn afresh.
        FacialMetricsState *metricsState = nullptr;
    };

    // Starts a session; `force` asks for the full calibration whatever the click mode.
    // Returns whether a calibration started (one begun less than 12 s ago is kept).
    bool startTrackingSession(bool force, const Hooks &hooks);
    // Advances the prompts; called once per processed frame.
    void calibrationTick(double headSpeed);

    bool isActive() const { return active; }
    Phase phase() const;
    // Set when a finished calibration asks the main window to minimise itself.
    bool takeMinimiseRequest();
    // True once after each session start, however it was started (at the loop's start, by a
    // setting, by a queued request between or inside frames): the first frame to look for
    // the face after it searches the whole image.
    bool takeWholeImageSearch();

    static constexpr qint64 kRestartGuardMs = 12000;

private:
    bool startCalibration(bool force);
    void enterPhase(Phase phase, int durationMs, const QString &text);
    void finishCalibration(bool smileMode);

    bool active = false;
    qint64 startMs = 0;
    Phase current = Phase::Idle;
    bool smileModeAtStart = false;
    // The engine-enabled value in force before the calibration suspended the engine.
    bool savedEngineState = false;
    qint32 savedEngineEnabled = 1;
    bool minimiseRequested = false;
    bool wholeImageSearchDue = false;
};
