// The program itself (build/bin/TovraMouse) with the mouth-open gesture mapped to F13 in its
// settings file, on a clip made from a real face photo that smiles with its teeth apart: its
// lower face warped shut along the landmarks the program's own tracker fits, then opened
// again. A window of the test has the focus and sees the key go down and up once per opening;
// ended while the mouth is open, the program leaves no key down.

#include "core/SettingsKeys.h"
#include "tests/app/DesktopView.h"
#include "tests/app/FaceClip.h"
#include "tests/app/ProgramRun.h"
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
    void takeFocus()
    {
        show();
        (void)QTest::qWaitForWindowExposed(this);
        xdotool({"windowactivate", "--sync", QString::number(winId())});
        (void)QTest::qWaitFor([this] { return isActiveWindow(); }, 10000);
    }
    struct Event
    {
        bool down;
        qint64 ms;
    };
    QList<Event> events;
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
        if (event->key() == Qt::Key_F13 && !event->isAutoRepeat())
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

// How far open the mouth is at `t` seconds, 0 to 1: shut for 3 s, open for 2 s, shut for 4 s,
// then open to the end of the clip at 16 s.
double opening(double t)
{
    const auto ramp = [](double t, double from) { return std::clamp((t - from) / 0.13, 0.0, 1.0); };
    if (t < 5.0)
        return ramp(t, 3.0);
    if (t < 9.0)
        return 1.0 - ramp(t, 5.0);
    return ramp(t, 9.0);
}

TEST(FacialGesturesEndToEnd, MouthOpenMappedToAKeyPressesAndReleasesItOncePerOpening)
{
    DesktopView desktop;
    ASSERT_TRUE(desktop.isOpen());
    QProcess compositor;
    startCompositorIfAsked(compositor);
    // Shut, the photo's lips still part by up to 7 % of the nose-to-lip span; open, by 17 %.
    ProgramRun program({{ACTIVATE_MOUTHOPEN_DETECTION, 1},
                        {FEMAP_INDEX_MOUTHOPEN, 7},
                        {MOUTHOPEN_THRESHOLD, 10}});
    const cv::Mat photo =
        fittedFacePhoto(QDir(TOVRA_FACE_PHOTOS).filePath("Tom_Cruise_avp_2014_4.jpg"));
    ASSERT_FALSE(photo.empty());
    const FaceShape face = fitLandmarks(photo);
    ASSERT_TRUE(face.isComplete());
    ASSERT_TRUE(writeClip(program.clipPath(), int(16 * kFps), [&](int i) {
        return shutMouth(photo, face, 1.0 - opening(i / kFps));
    }));

    const QRect mainWindow = program.start(desktop);
    ASSERT_FALSE(mainWindow.isNull());
    KeyWindow work;
    work.takeFocus();
    ASSERT_TRUE(work.isActiveWindow());

    // Three openings, the second ended by the clip starting over with the mouth shut.
    ASSERT_TRUE(QTest::qWaitFor([&] { return work.count(false) >= 3; }, 150000))
        << work.count(true) << " presses, " << work.count(false) << " releases";
    screenshot("mouth-open-1-three-openings");
    QString seen;
    for (const KeyWindow::Event &e : work.events)
        seen += QStringLiteral(" %1@%2").arg(e.down ? "down" : "up").arg(e.ms);
    SCOPED_TRACE(seen.toStdString());
    // Down once per opening and up at its end: the key stays down while the mouth is open,
    // and the shut mouth between openings lasts seconds (the file camera plays the clip at
    // its own pace, so only roughly: a gesture ending and starting again within one opening
    // would take one second).
    for (int i = 0; i < work.events.size(); ++i) {
        EXPECT_EQ(work.events[i].down, i % 2 == 0) << "event " << i;
        if (i >= 1)
            EXPECT_GE(work.events[i].ms - work.events[i - 1].ms, work.events[i].down ? 1500 : 200)
                << "event " << i;
    }

    // Ended with the mouth open and the key down: the key comes up.
    ASSERT_TRUE(QTest::qWaitFor([&] { return work.count(true) > work.count(false); }, 60000));
    screenshot("mouth-open-2-key-held");
    EXPECT_FALSE(desktop.keysDown().isEmpty());
    EXPECT_TRUE(program.quit(desktop, mainWindow));
    EXPECT_EQ(desktop.keysDown(), QList<int>());
}

} // namespace

int main(int argc, char **argv)
{
    return runTestsOnPrivateDesktop(argc, argv, false);
}
