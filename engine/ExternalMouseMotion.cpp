#include "core/FacialDetectionApp.h"
#include "engine/ClickEngine.h"
#include "engine/EngineState.h"
#include "engine/SyntheticInput.h"
#include "engine/TrackingParameters.h"
#include "platform/Platform.h"
#include "platform/PointerScreens.h"
#include "vision/FrameRecords.h"

#include <QCoreApplication>

#include <algorithm>
#include <cstdlib>

namespace {

constexpr int kSecondLookMs = 25;
constexpr int kSmallestTolerance = 4;

cv::Point clampTo(cv::Point p, const QRect &screen)
{
    return {std::clamp(p.x, screen.left(), screen.left() + screen.width()),
            std::clamp(p.y, screen.top(), screen.top() + screen.height())};
}

bool readReal(PointerFrameRecord &rec)
{
    int x = rec.realPointerPos.x, y = rec.realPointerPos.y;
    if (!getCursorPosScaled(x, y))
        return false;
    rec.realPointerPos = cv::Point(x, y);
    return true;
}

bool apart(cv::Point a, cv::Point b, int tolerance)
{
    return std::abs(qint64(a.x) - b.x) > tolerance || std::abs(qint64(a.y) - b.y) > tolerance;
}

} // namespace

bool detectExternalMouseMotion()
{
    FacialDetectionApp *app = FacialDetectionApp::instance();
    PointerEngineState &engine = pointerEngineState;
    const QRect screen = platform::pointerScreens().logicalPrimaryScreen();
    if (!app || screen.isEmpty()) {
        engine.externalMotionCount = 0;
        return false;
    }
    const TrackingParameters &p = trackingParameters;
    const quint32 now = frameRecords.motion.timeMs;
    PointerFrameRecord &rec = currentPointerRecord();
    const cv::Point engineAt = clampTo(pointerRecords.previous.pointerPos, screen);
    const int threshold = std::max(p.MMM_THRESHOLD, 0);

    if (readReal(rec) && apart(engineAt, clampTo(rec.realPointerPos, screen), threshold)) {
        // A second look after a moment: a pointer that bounced back was no user.
        processQueuedCalls();
        inputPause(kSecondLookMs);
        readReal(rec);
        const int tolerance = std::max(threshold / 10, kSmallestTolerance);
        if (apart(engineAt, clampTo(rec.realPointerPos, screen), tolerance)) {
            engine.externalMotionCount += 1;
            rec.pointerPos = rec.realPointerPos;
            if (engine.externalMotionCount >= 2) {
                app->setExternalMotion(true, int(now));
                engine.externalLagPending = true;
                if (p.MMM_DISPLAY_OSW)
                    emit app->showExternalMouseMoveDetected();
                return true;
            }
            return false;
        }
    }

    engine.externalMotionCount = 0;
    app->setExternalMotion(false, 0);
    const qint32 d = qint32(now - quint32(app->externalMotionTime()));
    const qint32 lag = std::max(p.MMM_TIME_LAG, 0);
    if (!engine.externalLagPending)
        return false;
    if (d >= 0 && d <= lag)
        return true;
    if (d < 0)
        return false;
    // The first frame past the lag, even when the frame it ran out in was skipped.
    engine.externalLagPending = false;
    if (p.MMM_RECENTER)
        recenterWithSound();
    emit app->hideExternalMouseMoveDetected();
    return false;
}
