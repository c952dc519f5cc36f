#include "engine/PointerMotion.h"

#include "core/FacialDetectionApp.h"
#include "engine/ActionDispatch.h"
#include "engine/ClickEngine.h"
#include "engine/EngineSignals.h"
#include "engine/EngineState.h"
#include "engine/SyntheticInput.h"
#include "engine/TrackingParameters.h"
#include "platform/Platform.h"
#include "platform/PointerScreens.h"
#include "vision/FrameRecords.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

constexpr std::array<double, 11> kSensitivityMultipliers{0.0,  0.2, 0.4, 0.6, 0.8, 1.0,
                                                         1.42, 2.0, 3.0, 4.4, 6.8};

constexpr std::array<double, 40> kAccelerationCurve{
    0.0,         1.0,         0.5,         0.5,         0.5,         0.6,         0.666666667,
    0.714285714, 0.75,        0.777777778, 0.8,         0.840909091, 0.875,       0.903846154,
    0.928571429, 0.95,        0.984375,    1.014705882, 1.041666667, 1.065789474, 1.0875,
    1.130952381, 1.170454545, 1.206521739, 1.239583333, 1.31,        1.375,       1.435185185,
    1.491071429, 1.577586207, 1.658333333, 1.733870968, 1.875,       2.007575758, 2.132352941,
    2.25,        2.5,         2.736486486, 2.960526316, 3.397435897};

constexpr double kFlatGain = 2.0;
constexpr double kSmoothWeight = 0.6910000000000001;
constexpr double kNewWeight = 0.309;
constexpr double kPixelLimit = 1.0e6;

int sensitivityLevel(int level)
{
    return std::clamp(level, 1, 10);
}

double finiteOrZero(double value)
{
    return std::isfinite(value) ? value : 0.0;
}

// Index into the curve: |d| scaled, rounded half away from zero, clamped before the cast.
int curveIndex(double magnitude)
{
    magnitude = finiteOrZero(magnitude);
    if (magnitude >= 39.5)
        return 39;
    return int(std::round(std::max(0.0, magnitude)));
}

double axisGain(double d, int level, bool flatCurve)
{
    d = finiteOrZero(d);
    const double m = kSensitivityMultipliers[size_t(sensitivityLevel(level))];
    if (level >= 5) {
        const int n = curveIndex(std::fabs(d) * m);
        return (flatCurve ? kFlatGain : kAccelerationCurve[size_t(n)]) * d;
    }
    const int n = curveIndex(std::fabs(d));
    return (flatCurve ? kFlatGain : kAccelerationCurve[size_t(n)]) * d * m;
}

void emitImage(const QString &name)
{
    if (EngineSignals *t = engineSignals())
        emit t->MotionSN_SetImagePath(name);
}

int smooth(int prev, int in)
{
    return toPixels(prev * kSmoothWeight + in * kNewWeight);
}

int half(int prev, int in)
{
    return toPixels((prev * kSmoothWeight + in * kNewWeight + in) * 0.5);
}

int strong(int prev, int in)
{
    return toPixels(prev * 0.80842 + in * 0.19158);
}

cv::Point smoothPoint(cv::Point prev, cv::Point in)
{
    return {smooth(prev.x, in.x), smooth(prev.y, in.y)};
}

cv::Point halfPoint(cv::Point prev, cv::Point in)
{
    return {half(prev.x, in.x), half(prev.y, in.y)};
}

cv::Point strongPoint(cv::Point prev, cv::Point in)
{
    return {strong(prev.x, in.x), strong(prev.y, in.y)};
}

struct Speeds
{
    double s0, s125, s250, p0, p125, p250, t2;
    bool nowSlow() const { return s0 <= t2 || s125 <= t2 || s250 <= t2; }
    bool beforeSlow() const { return p0 <= t2 || p125 <= t2 || p250 <= t2; }
};

// Smooth the axes whose velocity is low now or was in the previous frame.
cv::Point perAxis(cv::Point prev, cv::Point in, const Speeds &s)
{
    const cv::Point2d v = frameRecords.motion.smoothedPointerVelocity;
    const cv::Point2d pv = frameRecords.previousMotion.smoothedPointerVelocity;
    cv::Point out = in;
    if (std::fabs(v.x) <= s.t2 || std::fabs(pv.x) <= s.t2)
        out.x = smooth(prev.x, in.x);
    if (std::fabs(v.y) <= s.t2 || std::fabs(pv.y) <= s.t2)
        out.y = smooth(prev.y, in.y);
    return out;
}

cv::Point comboRule(cv::Point prev, cv::Point in, const Speeds &s)
{
    if (s.nowSlow())
        return smoothPoint(prev, in);
    if (s.beforeSlow())
        return halfPoint(prev, in);
    return perAxis(prev, in, s);
}

int followSmaller(int prev, int a, int b)
{
    if ((a > 0 && b > 0) || (a <= 0 && b <= 0))
        return prev + (std::abs(a) < std::abs(b) ? a : b);
    return prev;
}

cv::Point rawPosition(const QRect &screen, cv::Point2d offset)
{
    const double mx =
        kSensitivityMultipliers[size_t(sensitivityLevel(pointerSettings.MOUSE_SENSIVITY_X))];
    const double my =
        kSensitivityMultipliers[size_t(sensitivityLevel(pointerSettings.MOUSE_SENSIVITY_Y))];
    return {toPixels(std::round(screen.left() + screen.width() * 0.5 + offset.x * 32 * mx)),
            toPixels(std::round(screen.top() + screen.height() * 0.5 + offset.y * 32 * my))};
}

bool stillThisFrame(const StillnessDetector &detector)
{
    return detector.lastStillMs == frameRecords.motion.timeMs;
}

// Percent of the park time the head has been still, in steps of 5 (0 to 20+).
int parkSteps(quint32 durationMs)
{
    const int parkTime = trackingParameters.DWELL_PARK_TIME;
    if (parkTime <= 0)
        return 20;
    const qint64 percent = qint64(durationMs) * 100 / parkTime;
    return int(std::min<qint64>(percent / 5, 1000));
}

bool parkTimeReached(quint32 durationMs)
{
    const int parkTime = trackingParameters.DWELL_PARK_TIME;
    return parkTime <= 0 || durationMs >= quint32(parkTime);
}

bool countdownImagesShown()
{
    const TrackingParameters &p = trackingParameters;
    return p.ANIM_DWELL_PARK && clickOptionState.CLICK_MODE == 0 &&
           smileModeState.scrollingActive == 0 && p.ESCAPE_VELOCITY >= 0;
}

void countdownImage(quint32 durationMs)
{
    if (!countdownImagesShown())
        return;
    const int k = 20 - parkSteps(durationMs);
    emitImage(k <= 0 ? QStringLiteral("d0.png") : QStringLiteral("d%1.png").arg(k));
}

void countUpImage(quint32 durationMs)
{
    if (!countdownImagesShown())
        return;
    emitImage(QStringLiteral("dd%1.png").arg(std::min(parkSteps(durationMs), 19)));
}

// The smile's pointing images, shared by both motion modes.
void pointingImages(const StillnessDetector &detector, bool countUp)
{
    const TrackingParameters &p = trackingParameters;
    if (!stillThisFrame(detector)) {
        if (p.ANIM_MOUSE_MOTION)
            emitImage(QStringLiteral("d20.png"));
    } else if (parkTimeReached(detector.stillDurationMs)) {
        if (smileOnset.current.confirmed) {
            if (p.ANIM_MOUSE_MOTION)
                emitImage(QStringLiteral("d20.png"));
        } else if (p.ANIM_MOUSE_STICKINESS) {
            emitImage(QStringLiteral("d15.png"));
        }
    } else if (countUp) {
        countUpImage(detector.stillDurationMs);
    } else {
        countdownImage(detector.stillDurationMs);
    }
}

} // namespace

int toPixels(double value)
{
    if (!std::isfinite(value))
        return value > 0 ? int(kPixelLimit) : value < 0 ? -int(kPixelLimit) : 0;
    return int(std::clamp(value, -kPixelLimit, kPixelLimit));
}

void applyPointerGain(double dx, double dy, double frameIntervalMs, double &stepX, double &stepY,
                      bool flatCurve)
{
    const double scale = finiteOrZero(frameIntervalMs) / 60.0;
    stepX = axisGain(dx, pointerSettings.MOUSE_SENSIVITY_X, flatCurve) * scale;
    stepY = axisGain(dy, pointerSettings.MOUSE_SENSIVITY_Y, flatCurve) * scale;
}

void mapHeadToScreen(int &x, int &y)
{
    const TrackingParameters &p = trackingParameters;
    const HeadMotionState &m = frameRecords.motion;
    const HeadMotionState &pm = frameRecords.previousMotion;
    PointerFrameRecord &rec = currentPointerRecord();
    const PointerFrameRecord &prev = pointerRecords.previous;
    const QRect screen = platform::pointerScreens().logicalPrimaryScreen();

    const Speeds s{m.headSpeed,         m.headSpeedMean[0],  m.headSpeedMean[1],      pm.headSpeed,
                   pm.headSpeedMean[0], pm.headSpeedMean[1], double(p.ABSOMODE_FZS_2)};

    rec.absoluteRaw = rawPosition(screen, m.absolutePosition);
    rec.absoluteTrueSm = smoothPoint(prev.absoluteTrueSm, rec.absoluteRaw);

    auto &c = rec.absoluteCombo;
    const auto &pc = prev.absoluteCombo;
    c[0] = pm.headSpeed > p.ABSOMODE_FZS ? rec.absoluteRaw : smoothPoint(pc[0], rec.absoluteRaw);
    c[1] = comboRule(pc[1], c[0], s);
    c[2] = comboRule(pc[2], rawPosition(screen, m.absolutePositionMean[0]), s);

    double sx = 0.0, sy = 0.0;
    applyPointerGain(m.smoothedPointerVelocity.x, m.smoothedPointerVelocity.y, m.frameIntervalMs,
                     sx, sy);
    if (s.s0 <= s.t2 || s.s125 <= s.t2)
        c[3] = {toPixels(pc[3].x + sx), toPixels(pc[3].y + sy)};
    else if (s.s250 <= s.t2)
        c[3] = {toPixels((pc[3].x + sx + c[0].x) * 0.5), toPixels((pc[3].y + sy + c[0].y) * 0.5)};
    else if (s.beforeSlow())
        c[3] = halfPoint(pc[3], c[0]);
    else
        c[3] = c[0];

    if (s.s0 <= s.t2)
        c[4] = s.beforeSlow() ? strongPoint(pc[4], c[0]) : smoothPoint(pc[4], c[0]);
    else if (s.s125 <= s.t2)
        c[4] = strongPoint(pc[4], c[0]);
    else if (s.s250 <= s.t2)
        c[4] = smoothPoint(pc[4], c[0]);
    else if (s.beforeSlow())
        c[4] = halfPoint(pc[4], c[0]);
    else
        c[4] = perAxis(pc[4], c[0], s);

    if (s.nowSlow()) {
        c[5] = {followSmaller(pc[5].x, c[0].x - pc[0].x, c[1].x - pc[1].x),
                followSmaller(pc[5].y, c[0].y - pc[0].y, c[1].y - pc[1].y)};
    } else {
        c[5] = c[1];
    }

    cv::Point chosen = rec.absoluteRaw;
    if (p.ABSO_TRUERAW)
        chosen = rec.absoluteRaw;
    else if (p.ABSO_TRUESM)
        chosen = rec.absoluteTrueSm;
    else if (p.ABSO_COMBO1)
        chosen = c[0];
    else if (p.ABSO_COMBO2)
        chosen = c[1];
    else if (p.ABSO_COMBO3)
        chosen = c[2];
    else if (p.ABSO_COMBO4)
        chosen = c[3];
    else if (p.ABSO_COMBO5)
        chosen = c[4];
    else if (p.ABSO_COMBO6)
        chosen = c[5];
    x = chosen.x;
    y = chosen.y;
}

void movePointer(int x, int y)
{
    if (trackingParameters.CAMERA_MMIS)
        return;
    if (trackingParameters.ABSOLUTE_MODE)
        movePointerAbsolute(x, y);
    else
        movePointerRelative(x, y);
    if (EngineSignals *t = engineSignals()) {
        emit t->MotionSN_UpdateMousePosition();
        emit t->FaceSN_UpdateMousePosition();
        emit t->SmileSN_UpdateMousePosition();
    }
}

void procPointerMotion(StillnessDetector &detector)
{
    const TrackingParameters &p = trackingParameters;
    const HeadMotionState &m = frameRecords.motion;
    PointerFrameRecord &rec = currentPointerRecord();
    SmileModeState &smile = smileModeState;
    PointerEngineState &engine = pointerEngineState;

    const double v = std::hypot(m.smoothedPointerVelocity.x, m.smoothedPointerVelocity.y);
    const double pv = std::hypot(frameRecords.previousMotion.smoothedPointerVelocity.x,
                                 frameRecords.previousMotion.smoothedPointerVelocity.y);
    double r = p.TREMOR_CONTROL;
    bool suppress = false;
    const int escape = p.STICKINESS_OFF_UNDER_POINTER ? 0 : p.ESCAPE_VELOCITY;
    const bool still = stillThisFrame(detector);

    if (clickOptionState.MOTION_MODE == 0) {
        if (smile.smileActive == 1 && smile.pointingActive == 1) {
            r = p.TREMOR_CONTROL;
            pointingImages(detector, true);
        } else {
            emitImage(QStringLiteral("invisible.png"));
        }
    } else if (smile.smileActive && !smileEpisode.rejected) {
        r = p.TREMOR_CONTROL;
        if (smile.pointingActive != 1) {
            if (p.ANIM_MOUSE_STICKINESS)
                emitImage(QStringLiteral("d15.png"));
        } else {
            pointingImages(detector, false);
        }
    } else if (engine.parkState == 0) {
        if (!still) {
            r = std::max(p.TREMOR_CONTROL, p.DWELL_PARK_THRESHOLD);
            emitImage(QStringLiteral("invisible.png"));
            if (p.ANIM_MOUSE_MOTION)
                emitImage(QStringLiteral("d20.png"));
        } else if (parkTimeReached(detector.stillDurationMs)) {
            if (detector.stillSinceMs != engine.lastParkEpisode) {
                engine.lastParkEpisode = detector.stillSinceMs;
                if (p.SOUND_ENDMOUSEMOTION)
                    playSoundFile(SoundId::Tock);
                emitImage(QStringLiteral("invisible.png"));
            }
            engine.parkState = 1;
            r = std::max(p.TREMOR_CONTROL, escape);
            suppress = !detector.brokeOut;
        } else {
            r = p.TREMOR_CONTROL;
            countdownImage(detector.stillDurationMs);
        }
    } else {
        r = std::max(p.TREMOR_CONTROL, escape);
        if (v < r) {
            const int k = int((int(v * 100 / r) - 30) / 3.5);
            if (p.ANIM_MOUSE_STICKINESS)
                emitImage(k > 0 ? QStringLiteral("d%1.png").arg(k)
                                : QStringLiteral("invisible.png"));
        } else if (v - pv < 0.162 * r) {
            if (p.ANIM_MOUSE_STICKINESS)
                emitImage(QStringLiteral("d19.png"));
            suppress = true;
        } else {
            engine.parkState = 0;
            r = std::max(p.TREMOR_CONTROL, p.DWELL_PARK_THRESHOLD);
            if (p.SOUND_STARTMOUSEMOTION)
                playSoundFile(SoundId::Tick);
            if (p.ANIM_MOUSE_MOTION)
                emitImage(QStringLiteral("d20.png"));
            clearStillnessDetector(detector);
        }
    }

    if (!(v >= r) || suppress || engine.pointerFrozen)
        return;
    bool moves = false;
    if (clickOptionState.MOTION_MODE == 0) {
        moves = smile.smileActive && smile.pointingActive;
    } else {
        moves = smile.pointingActive ||
                (smile.scrollingActive == 0 && ((smile.smileActive && smileEpisode.rejected) ||
                                                (!smile.smileActive && !isMouthOpenInProgress())));
    }
    if (!moves)
        return;

    if (p.ABSOLUTE_MODE) {
        int x = 0, y = 0;
        mapHeadToScreen(x, y);
        if (frameRecords.detection.faceFound) {
            movePointer(x, y);
            rec.pointerPos = cv::Point(x, y);
        } else {
            int rx = rec.pointerPos.x, ry = rec.pointerPos.y;
            getCursorPosScaled(rx, ry);
            rec.pointerPos = cv::Point(rx, ry);
        }
        rec.pointerDelta = rec.pointerPos - pointerRecords.previous.pointerPos;
        return;
    }

    applyPointerGain(m.smoothedPointerVelocity.x, m.smoothedPointerVelocity.y, m.frameIntervalMs,
                     rec.gainStep.x, rec.gainStep.y);
    auto &remainder = smileEpisode.pointerRemainder;
    remainder[0] = finiteOrZero(remainder[0] + rec.gainStep.x);
    remainder[1] = finiteOrZero(remainder[1] + rec.gainStep.y);
    const int nx = toPixels(std::round(remainder[0]));
    const int ny = toPixels(std::round(remainder[1]));
    movePointer(nx, ny);
    rec.sentStep = cv::Point(nx, ny);
    // What could not be sent (a step beyond the pixel range) is dropped, not carried.
    remainder[0] = std::clamp(remainder[0] - nx, -1.0, 1.0);
    remainder[1] = std::clamp(remainder[1] - ny, -1.0, 1.0);
    int x = rec.pointerPos.x, y = rec.pointerPos.y;
    getCursorPosScaled(x, y);
    rec.pointerPos = cv::Point(x, y);
}
