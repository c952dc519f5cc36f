#pragma once

// What the facial measurements read from the tracking parameters and the click engine on
// one frame. The frame loop fills it before each call of computeFacialMetrics.
struct MetricsInputs
{
    // ABSOLUTE_MODE.
    bool absoluteMode = false;
    // ABSOMODE_FZS_2: in absolute mode, head speeds up to this use the steadier trimmed shift.
    int absoluteModeSpeedLimit = 50;
    // SMILE_THRESHOLD.
    int smileThreshold = 60;
    // The pointer is frozen: the absolute position does not accumulate.
    bool pointerFrozen = false;
    // The smile gesture's pending flag.
    bool smilePending = false;
    // The smile is in its point, scroll or drag stage.
    bool smileStageActive = false;
    // A smile episode is in progress.
    bool smileInProgress = false;
    // Actions performed since tracking was started (the application's click counter).
    int actionCount = 0;
};
