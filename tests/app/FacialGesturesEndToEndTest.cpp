// The program itself (build/bin/TovraMouse) with a facial gesture mapped to F13 in its
// settings file, on clips made from a real face photo warped along the landmarks the
// program's own tracker fits: the mouth (the photo smiles with its teeth apart) warped shut
// and opened again, the brows and forehead lifted. A window of the test has the focus and
// sees the key go down and up once per gesture; ended mid-gesture, the program leaves no key
// down.

#include "core/SettingsKeys.h"
#include "tests/app/DesktopView.h"
#include "tests/app/FaceClip.h"
#include "tests/app/LeftButtonWatch.h"
#include "tests/app/ProgramRun.h"
#include "tests/support/Patience.h"
#include "tests/ui/DesktopTestMain.h"
#include "vision/FaceTracker.h"

#include <QDir>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QWidget>
#include <QtTest/QTest>
#include <gtest/gtest.h>

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>

using namespace SettingKeys;

namespace {

constexpr double kFps = 30.0;

// The window the user works in: it has the focus and notes when F13 goes down and up.
class KeyWindow : public QWidget
{
public:
    KeyWindow()
    {
        setWindowTitle(QStringLiteral("Work"));
        setGeometry(40, 700, 400, 300);
        clock.start();
    }
    void takeFocus() { giveFocus(this); }
    struct Event
    {
        bool down;
        qint64 ms;
    };
    QList<Event> events;
    // Presses the server repeated while the key was held.
    int repeats = 0;
    int count(bool down) const
    {
        return int(std::count_if(events.begin(), events.end(),
                                 [down](const Event &e) { return e.down == down; }));
    }

protected:
    void keyPressEvent(QKeyEvent *event) override { note(event, true); }
    void keyReleaseEvent(QKeyEvent *event) override { note(event, false); }

private:
    void note(QKeyEvent *event, bool down)
    {
        if (event->key() != Qt::Key_F13)
            return;
        if (event->isAutoRepeat())
            repeats += down ? 1 : 0;
        else
            events.push_back({down, clock.elapsed()});
    }
    QElapsedTimer clock;
};

FaceShape fitLandmarks(const cv::Mat &frame)
{
    FaceTracker tracker(qEnvironmentVariable("TOVRA_BIN_DIR"));
    cv::Mat grey;
    cv::cvtColor(frame, grey, cv::COLOR_BGR2GRAY);
    FaceBox whole;
    whole.left = whole.top = 0;
    whole.right = grey.cols - 1;
    whole.bottom = grey.rows - 1;
    FaceBox detectorBox, faceBox;
    FaceShape shape;
    tracker.track(grey, whole, FaceShape(), true, false, detectorBox, faceBox, shape);
    return shape;
}

// The photo's mouth, whose teeth show, shut by `shut` (0 as photographed, 1 shut): the lower
// lip lifted onto the upper one, the lift fading out towards the chin and the sides of the jaw.
cv::Mat shutMouth(const cv::Mat &frame, const FaceShape &face, double shut)
{
    if (shut <= 0.0)
        return frame.clone();
    const std::vector<cv::Point> &p = face.points;
    const double split = p[62].y;
    const double gap = shut * (p[66].y - p[62].y + 4.0);
    const double bottom = p[8].y + 10.0;
    const double left = p[48].x, right = p[54].x;
    const double jawLeft = p[3].x, jawRight = p[13].x;
    const auto across = [&](double x) {
        if (x >= left && x <= right)
            return 1.0;
        const double d = x < left ? (left - x) / std::max(1.0, left - jawLeft)
                                  : (x - right) / std::max(1.0, jawRight - right);
        return d >= 1.0 ? 0.0 : 0.5 * (1.0 + std::cos(M_PI * d));
    };
    cv::Mat mapX(frame.size(), CV_32F), mapY(frame.size(), CV_32F);
    for (int x = 0; x < frame.cols; ++x) {
        const double lift = gap * across(x);
        for (int y = 0; y < frame.rows; ++y) {
            double src = y;
            if (y >= split && y < bottom)
                src = y + lift * (bottom - y) / (bottom - split);
            mapX.at<float>(y, x) = float(x);
            mapY.at<float>(y, x) = float(src);
        }
    }
    cv::Mat out;
    cv::remap(frame, out, mapX, mapY, cv::INTER_LINEAR, cv::BORDER_REPLICATE);
    return out;
}

// The brows and the forehead above them lifted by `lift` pixels, the lift fading out down
// to the eye line and beyond the sides of the face.
cv::Mat liftBrows(const cv::Mat &frame, const FaceShape &face, double lift)
{
    if (lift <= 0.0)
        return frame.clone();
    const std::vector<cv::Point> &p = face.points;
    double brow = 0.0;
    for (int i = 17; i <= 26; ++i)
        brow = std::max(brow, double(p[i].y));
    const double eyes = (p[36].y + p[45].y) / 2.0;
    const double left = p[0].x, right = p[16].x, width = right - left;
    cv::Mat mapX(frame.size(), CV_32F), mapY(frame.size(), CV_32F);
    for (int x = 0; x < frame.cols; ++x) {
        const double out = std::max(left - x, x - right) / (0.3 * width);
        const double across = out <= 0.0   ? 1.0
                              : out >= 1.0 ? 0.0
                                           : 0.5 * (1.0 + std::cos(M_PI * out));
        for (int y = 0; y < frame.rows; ++y) {
            const double down = y <= brow ? 1.0 : y >= eyes ? 0.0 : (eyes - y) / (eyes - brow);
            mapX.at<float>(y, x) = float(x);
            mapY.at<float>(y, x) = float(y + lift * across * down);
        }
    }
    cv::Mat out;
    cv::remap(frame, out, mapX, mapY, cv::INTER_LINEAR, cv::BORDER_REPLICATE);
    return out;
}

// A gesture at `t` seconds, 0 to 1, rising over `rampS`: off for 3 s, on from 3 s to
// `firstEndS`, off until 9 s, then on to the end of the clip at 16 s.
double gestureAt(double t, double rampS, double firstEndS)
{
    const auto ramp = [rampS](double t, double from) {
        return std::clamp((t - from) / rampS, 0.0, 1.0);
    };
    if (t < firstEndS)
        return ramp(t, 3.0);
    if (t < 9.0)
        return 1.0 - ramp(t, firstEndS);
    return ramp(t, 9.0);
}

const double kClipS = 16.0;

// The program on the clip, the gesture's key pressed and released once per gesture (the
// second ended by the clip starting over), then ended mid-gesture.
// With `serverRepeats` the server's key repeat stays on, as on a user's desktop: the key the
// program holds must not repeat.
void pressesOncePerGesture(
    const char *name, const QList<QPair<QString, QVariant>> &settings,
    const std::function<cv::Mat(const cv::Mat &, const FaceShape &, double)> &warp,
    bool serverRepeats = false)
{
    DesktopView desktop;
    ASSERT_TRUE(desktop.isOpen());
    if (!serverRepeats)
        desktop.stopAutoRepeat();
    QProcess compositor;
    startCompositorIfAsked(compositor);
    ProgramRun program(settings);
    const cv::Mat photo =
        fittedFacePhoto(QDir(TOVRA_FACE_PHOTOS).filePath("Tom_Cruise_avp_2014_4.jpg"));
    ASSERT_FALSE(photo.empty());
    const FaceShape face = fitLandmarks(photo);
    ASSERT_TRUE(face.isComplete());
    ASSERT_TRUE(writeClip(program.clipPath(), int(kClipS * kFps),
                          [&](int i) { return warp(photo, face, i / kFps); }));

    const QRect mainWindow = program.start(desktop);
    ASSERT_FALSE(mainWindow.isNull());
    KeyWindow work;
    work.takeFocus();
    ASSERT_TRUE(work.isActiveWindow());

    ASSERT_TRUE(QTest::qWaitFor([&] { return work.count(false) >= 3; }, patientMs(150000)))
        << work.count(true) << " presses, " << work.count(false) << " releases";
    screenshot((std::string(name) + "-1-three-gestures").c_str());
    QString seen;
    for (const KeyWindow::Event &e : work.events)
        seen += QStringLiteral(" %1@%2").arg(e.down ? "down" : "up").arg(e.ms);
    SCOPED_TRACE(seen.toStdString());
    // Down once per gesture and up at its end: the key stays down through the gesture, and
    // the rest between gestures lasts seconds (the file camera plays the clip at its own pace,
    // so only roughly: a gesture ending and starting again at once would take one second).
    for (int i = 0; i < work.events.size(); ++i) {
        EXPECT_EQ(work.events[i].down, i % 2 == 0) << "event " << i;
        if (i >= 1) {
            EXPECT_GE(work.events[i].ms - work.events[i - 1].ms, work.events[i].down ? 1500 : 200)
                << "event " << i;
        }
    }

    EXPECT_EQ(work.repeats, 0);

    // Ended with the key down: the key comes up.
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return work.count(true) > work.count(false); }, patientMs(60000)));
    screenshot((std::string(name) + "-2-key-held").c_str());
    EXPECT_FALSE(desktop.keysDown().isEmpty());
    EXPECT_TRUE(program.quit(desktop, mainWindow));
    // Let go of by the program, or by its guardian a moment after the end.
    EXPECT_TRUE(QTest::qWaitFor([&] { return desktop.keysDown().isEmpty(); }, patientMs(1000)))
        << desktop.keysDown().size() << " keys down";
}

TEST(FacialGesturesEndToEnd, MouthOpenMappedToAKeyPressesAndReleasesItOncePerOpening)
{
    // Shut, the photo's lips still part by up to 7 % of the nose-to-lip span; open, by 17 %.
    pressesOncePerGesture(
        "mouth-open",
        {{ACTIVATE_MOUTHOPEN_DETECTION, 1}, {FEMAP_INDEX_MOUTHOPEN, 7}, {MOUTHOPEN_THRESHOLD, 10}},
        [](const cv::Mat &photo, const FaceShape &face, double t) {
            return shutMouth(photo, face, 1.0 - gestureAt(t, 0.13, 5.0));
        });
}

TEST(FacialGesturesEndToEnd, AKeyHeldByAGestureDoesNotRepeatWithTheServersRepeatOn)
{
    // Each opening holds the key for seconds, past the server's repeat delay.
    pressesOncePerGesture(
        "held-key-no-repeat",
        {{ACTIVATE_MOUTHOPEN_DETECTION, 1}, {FEMAP_INDEX_MOUTHOPEN, 7}, {MOUTHOPEN_THRESHOLD, 10}},
        [](const cv::Mat &photo, const FaceShape &face, double t) {
            return shutMouth(photo, face, 1.0 - gestureAt(t, 0.13, 5.0));
        },
        true);
}

// A still user, the mouth shut, resting for 30 s; then three openings of 2 s, 4 s apart, and
// rest again: the key goes down once per opening and never while the face rests.
TEST(FacialGesturesEndToEnd, AFaceAtRestPressesNothingAndEachOpeningPressesOnce)
{
    DesktopView desktop;
    ASSERT_TRUE(desktop.isOpen());
    desktop.stopAutoRepeat();
    // Dwell clicking as it comes: a dwell lands while the face rests.
    ProgramRun program({{ACTIVATE_MOUTHOPEN_DETECTION, 1},
                        {FEMAP_INDEX_MOUTHOPEN, 7},
                        {DWELL_CLICK_TIME, 1000},
                        {DWELL_ZONE_SIZE, 20}});
    const cv::Mat photo =
        fittedFacePhoto(QDir(TOVRA_FACE_PHOTOS).filePath("Tom_Cruise_avp_2014_4.jpg"));
    ASSERT_FALSE(photo.empty());
    const FaceShape face = fitLandmarks(photo);
    ASSERT_TRUE(face.isComplete());
    const double restS = 30.0, clipS = 56.0;
    const auto open = [&](double t) {
        double level = 0.0;
        for (int i = 0; i < 3; ++i) {
            const double from = restS + 6.0 * i;
            level =
                std::max(level, std::clamp(std::min(t - from, from + 2.0 - t) / 0.13, 0.0, 1.0));
        }
        return level;
    };
    // As a camera sees a user at rest: the sensor's noise, and a sway of under a pixel.
    ASSERT_TRUE(writeClip(program.clipPath(), int(clipS * kFps), [&](int i) {
        const double t = i / kFps;
        const cv::Mat shift = (cv::Mat_<double>(2, 3) << 1, 0, 0.6 * std::sin(t * 0.9), 0, 1,
                               0.4 * std::sin(t * 0.7));
        cv::Mat frame;
        cv::warpAffine(shutMouth(photo, face, 1.0 - open(t)), frame, shift, photo.size(),
                       cv::INTER_LINEAR, cv::BORDER_REPLICATE);
        cv::Mat noise(frame.size(), CV_16SC3);
        cv::RNG(unsigned(i + 1)).fill(noise, cv::RNG::NORMAL, 0, 3);
        frame.convertTo(frame, CV_16SC3);
        frame += noise;
        frame.convertTo(frame, CV_8UC3);
        return frame;
    }));

    const QRect mainWindow = program.start(desktop);
    ASSERT_FALSE(mainWindow.isNull());
    KeyWindow work;
    work.takeFocus();
    ASSERT_TRUE(work.isActiveWindow());
    // The clip's first pass: its rest, its openings and the rest after them.
    QTest::qWait(int(clipS * 1000) - 2000);
    QString seen;
    for (const KeyWindow::Event &e : work.events)
        seen += QStringLiteral(" %1@%2").arg(e.down ? "down" : "up").arg(e.ms);
    SCOPED_TRACE(seen.toStdString());
    EXPECT_EQ(work.count(true), 3);
    EXPECT_EQ(work.count(false), 3);
    if (!work.events.isEmpty()) {
        EXPECT_GE(work.events.first().ms, qint64(restS * 1000) - 8000);
    }
    EXPECT_TRUE(desktop.keysDown().isEmpty());
    EXPECT_TRUE(program.quit(desktop, mainWindow));
}

TEST(FacialGesturesEndToEnd, EyebrowRaiseMappedToAKeyPressesAndReleasesItOncePerRaise)
{
    // Six pixels in a quarter of a second: about a quarter of the nose length per second.
    pressesOncePerGesture("eyebrow-raise",
                          {{ACTIVATE_EYEBROWRAISE_DETECTION, 1}, {FEMAP_INDEX_EYEBROWRAISE, 7}},
                          [](const cv::Mat &photo, const FaceShape &face, double t) {
                              return liftBrows(photo, face, 6.0 * gestureAt(t, 0.25, 4.5));
                          });
}

TEST(FacialGesturesEndToEnd, MouthOpenOnTheLeftButtonWithTheDragOptionPicksUpDropsAndPicksUp)
{
    DesktopView desktop;
    ASSERT_TRUE(desktop.isOpen());
    QProcess compositor;
    startCompositorIfAsked(compositor);
    ProgramRun program({{ACTIVATE_MOUTHOPEN_DETECTION, 1},
                        {FEMAP_INDEX_MOUTHOPEN, 1},
                        {MOUTHOPEN_THRESHOLD, 10},
                        {CLICK_OPTION_DRAG_MODE, 1},
                        {CLICK_OPTION_DRAG_MODE_LOCKED, 1},
                        // Its window would sit where the pointer rests: a press there is a plain
                        // click, whatever the options.
                        {SHOW_CLICK_OPTIONS, 0}});
    const cv::Mat photo =
        fittedFacePhoto(QDir(TOVRA_FACE_PHOTOS).filePath("Tom_Cruise_avp_2014_4.jpg"));
    ASSERT_FALSE(photo.empty());
    const FaceShape face = fitLandmarks(photo);
    ASSERT_TRUE(face.isComplete());
    // Three openings of 2 s, 4 s apart, from 3 s on; the clip starts over at 20 s.
    const auto open = [](double t) {
        double level = 0.0;
        for (double from : {3.0, 9.0, 15.0})
            level =
                std::max(level, std::clamp(std::min(t - from, from + 2.0 - t) / 0.13, 0.0, 1.0));
        return level;
    };
    ASSERT_TRUE(writeClip(program.clipPath(), int(20 * kFps),
                          [&](int i) { return shutMouth(photo, face, 1.0 - open(i / kFps)); }));

    const QRect mainWindow = program.start(desktop);
    ASSERT_FALSE(mainWindow.isNull());
    // From here on (the start's own click on "ready" is over).
    LeftButtonWatch left;

    // Pick up: the button goes down and stays down through the rest after the opening.
    ASSERT_TRUE(QTest::qWaitFor([&] { return !left.events().isEmpty(); }, 60000));
    EXPECT_EQ(left.events(), QStringList{"down"});
    EXPECT_TRUE(left.isDown());
    screenshot("drag-1-picked-up");
    // Drop at the end of the second opening, pick up again at the third.
    ASSERT_TRUE(QTest::qWaitFor([&] { return left.events().size() >= 2; }, 30000));
    EXPECT_EQ(left.events(), (QStringList{"down", "up"}));
    EXPECT_FALSE(left.isDown());
    ASSERT_TRUE(QTest::qWaitFor([&] { return left.events().size() >= 3; }, 30000));
    EXPECT_EQ(left.events(), (QStringList{"down", "up", "down"}));
    EXPECT_TRUE(left.isDown());
    screenshot("drag-2-picked-up-again");

    // The drag held at the end goes up with the program.
    EXPECT_TRUE(program.quit(desktop, mainWindow));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !left.isDown(); }, patientMs(1000)));
}

} // namespace

int main(int argc, char **argv)
{
    return runTestsOnPrivateDesktop(argc, argv, false);
}
