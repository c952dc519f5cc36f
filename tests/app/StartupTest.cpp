// The program's start-up and exit, run for real in a child process on a temporary home.

#include "tests/support/Patience.h"
#include "tests/support/TestHome.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QThread>
#include <cmath>
#include <gtest/gtest.h>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>
#include <opencv2/videoio.hpp>

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
// Xlib's macros clash with the test framework and Qt.
#undef None
#undef Bool
#undef Status

namespace {

struct ProbeRun
{
    int exitCode = -1;
    QStringList lines;

    QStringList starting(const QString &prefix) const
    {
        QStringList found;
        for (const QString &line : lines)
            if (line.startsWith(prefix))
                found << line;
        return found;
    }
    int indexOf(const QString &prefix) const
    {
        for (int i = 0; i < lines.size(); ++i)
            if (lines[i].startsWith(prefix))
                return i;
        return -1;
    }
    QString value(const QString &prefix) const
    {
        return starting(prefix).value(0).mid(prefix.size());
    }
};

class Startup : public ::testing::Test
{
protected:
    ProbeRun probe(QStringList args, bool native = false, const QString &cameraFile = QString())
    {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        if (!cameraFile.isEmpty())
            env.insert("TOVRA_CAMERA_FILE", cameraFile);
        // The recording runs need no display; the native ones talk to the test's X server.
        if (native) {
            args << "--backend=native";
            env.remove("QT_QPA_PLATFORM");
        } else {
            env.insert("QT_QPA_PLATFORM", "offscreen");
        }
        process.setProcessEnvironment(env);
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start(qEnvironmentVariable("TOVRA_BIN_DIR") + "/startup-probe", args);
        EXPECT_TRUE(process.waitForFinished(280000));
        ProbeRun run;
        run.exitCode = process.exitCode();
        run.lines =
            QString::fromLocal8Bit(process.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
        return run;
    }

    QString setting(const char *key)
    {
        QSettings file(home.settingsFile(), QSettings::IniFormat);
        return file.value(key).toString();
    }

    TestHome home;
};

TEST_F(Startup, AFreshHomeRunsOnTheResetDefaultsAfterOneReset)
{
    const ProbeRun run = probe({});
    EXPECT_EQ(run.value("EXIT "), "0");
    // Exactly one reset, after the main window is up and before the worker starts.
    ASSERT_EQ(run.starting("RESET").size(), 1);
    EXPECT_EQ(run.starting("RESET").first(), "RESET mainWindowShown=1 workerStarted=0");
    EXPECT_LT(run.indexOf("RESET"), run.indexOf("WORKER_STARTED"));

    QSettings file(home.settingsFile(), QSettings::IniFormat);
    // Every setting, beside the geometries of the windows that were shown and hidden.
    EXPECT_EQ(file.childKeys().size(), 179);
    EXPECT_EQ(setting("FIRST_RUN_ON_V3X"), "0");
    EXPECT_EQ(setting("ADDITIONAL_ETSYS"), "10");
    EXPECT_FALSE(QFile::exists(home.dataFolder() + "/TovraMouse.ini.bak"));
    EXPECT_TRUE(QFile::exists(home.dataFolder() + "/DebugMessages.txt"));

    // Speed 10 and one wheel line while running; the user's values afterwards.
    EXPECT_TRUE(run.value("DURING ").endsWith("speed=10 lines=1"));
    EXPECT_EQ(run.value("AFTER "), run.value("BEFORE "));
}

TEST_F(Startup, TheNextStartKeepsTheSettingsAndBacksThemUp)
{
    probe({});
    {
        QSettings file(home.settingsFile(), QSettings::IniFormat);
        // Camera names from the system hold characters the line check otherwise refuses.
        file.setValue("DEFAULT_CAMERA", "HD Webcam: HD Webcam (usb-0000:00:14.0-1)");
        file.setValue("MOUSE_SENSIVITY_X", 9);
        file.setValue("HK_KEYSEQ_RECENTER", "Shift+Alt+,");
    }
    for (int start = 0; start < 2; ++start) {
        const ProbeRun run = probe({});
        EXPECT_EQ(run.value("EXIT "), "0");
        EXPECT_TRUE(run.starting("RESET").isEmpty());
        EXPECT_TRUE(run.starting("DIALOG Configuration File Issues").isEmpty());
    }
    EXPECT_EQ(setting("DEFAULT_CAMERA"), "HD Webcam: HD Webcam (usb-0000:00:14.0-1)");
    EXPECT_EQ(setting("MOUSE_SENSIVITY_X"), "9");
    EXPECT_EQ(setting("HK_KEYSEQ_RECENTER"), "Shift+Alt+,");
    EXPECT_EQ(setting("FIRST_RUN_ON_V3X"), "0");
    EXPECT_TRUE(QFile::exists(home.dataFolder() + "/TovraMouse.ini.bak"));
    EXPECT_FALSE(QFile::exists(home.dataFolder() + "/TovraMouse.ini.rejected"));
}

TEST_F(Startup, ADamagedFileIsKeptAsideAndTheDefaultsRunAfterAReset)
{
    const QByteArray damaged = "[General]\nCLICK_MODE=1\nMOUSE_SENSIVITY_X=5,5\n";
    TestHome::writeFile(home.settingsFile(), damaged);
    const ProbeRun run = probe({"--answer=OK"});
    EXPECT_EQ(run.value("EXIT "), "0");
    EXPECT_EQ(run.starting("DIALOG ").value(0), "DIALOG Configuration File Issues");
    EXPECT_EQ(run.starting("RESET").size(), 1);
    EXPECT_EQ(TestHome::readFile(home.dataFolder() + "/TovraMouse.ini.rejected"), damaged);
    EXPECT_EQ(setting("MOUSE_SENSIVITY_X"), "5");
    EXPECT_EQ(setting("FIRST_RUN_ON_V3X"), "0");
}

TEST_F(Startup, AFileFromBeforeVersion3IsMigratedAndTheProgramStops)
{
    TestHome::writeFile(home.settingsFile(), "[General]\nCLICK_MODE=0\n");
    const QString saved = home.path() + "/old settings.ini";
    const ProbeRun run = probe(
        {"--answer=OK", "--answer=save-as", "--save-as=" + saved, "--answer=OK", "--answer=OK"});
    EXPECT_EQ(run.value("EXIT "), "-199");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(
        run.starting("DIALOG "),
        (QStringList{"DIALOG Welcome to Version 3.x!",
                     "DIALOG Select a location to save your OLD settings as a Backup",
                     "DIALOG Backup Old Settings", "DIALOG Thank you for upgrading to v3.x!"}));
    EXPECT_EQ(TestHome::readFile(saved), "[General]\nCLICK_MODE=0\n");
    EXPECT_FALSE(QFile::exists(home.settingsFile()));
    EXPECT_TRUE(run.starting("WORKER_STARTED").isEmpty());

    // The next start is a fresh one.
    const ProbeRun next = probe({});
    EXPECT_EQ(next.value("EXIT "), "0");
    EXPECT_EQ(next.starting("RESET").size(), 1);
}

TEST_F(Startup, WithoutACameraTheProgramStopsAndLeavesTheMouseAlone)
{
    const ProbeRun run = probe({"--camera=fail"});
    EXPECT_EQ(run.value("EXIT "), "-99");
    EXPECT_EQ(run.starting("DIALOG ").value(0), "DIALOG Error:  No Camera Found");
    EXPECT_TRUE(run.starting("DURING").isEmpty());
    EXPECT_EQ(run.value("AFTER "), run.value("BEFORE "));
}

TEST_F(Startup, AnUnwritableDataFolderStillStartsAndStopsCleanly)
{
    // A file where the data folder belongs: nothing can be written there, even by root.
    TestHome::writeFile(home.path() + "/.local/share/Quillorent Devices/Tovra Mouse", "x");
    const ProbeRun run = probe({});
    EXPECT_EQ(run.value("EXIT "), "0");
    EXPECT_EQ(run.starting("RESET").size(), 1);
    EXPECT_EQ(run.value("AFTER "), run.value("BEFORE "));
}

// The real X server's pointer control, read and written from the test itself.
class XPointer
{
public:
    XPointer()
        : display(XOpenDisplay(nullptr))
    {}
    ~XPointer()
    {
        if (display)
            XCloseDisplay(display);
    }
    bool available() const { return display != nullptr; }
    void set(int num, int den, int threshold)
    {
        XChangePointerControl(display, 1, 1, num, den, threshold);
        XSync(display, 0);
    }
    unsigned buttonsDown()
    {
        Window root = 0, child = 0;
        int rootX = 0, rootY = 0, x = 0, y = 0;
        unsigned mask = 0;
        XQueryPointer(display, DefaultRootWindow(display), &root, &child, &rootX, &rootY, &x, &y,
                      &mask);
        return mask & (Button1Mask | Button2Mask | Button3Mask);
    }
    void releaseButton(unsigned button)
    {
        XTestFakeButtonEvent(display, button, False, CurrentTime);
        XSync(display, 0);
    }
    QString get()
    {
        int num = 0, den = 0, threshold = 0;
        XGetPointerControl(display, &num, &den, &threshold);
        return QString("%1/%2 threshold=%3").arg(num).arg(den).arg(threshold);
    }
    // The control once it reads `wanted`, or as it reads at the end of a second (more under a
    // sanitizer): after an end the program puts it back, or its guardian a moment later.
    QString awaited(const QString &wanted)
    {
        QElapsedTimer waited;
        waited.start();
        QString now = get();
        while (now != wanted && waited.elapsed() < patientMs(1000)) {
            QThread::msleep(10);
            now = get();
        }
        return now;
    }

private:
    Display *display;
};

TEST_F(Startup, TheDesktopsPointerSettingsComeBackAfterQuitAndAfterSigterm)
{
    XPointer pointer;
    if (!pointer.available())
        FAIL() << "this test needs the X server that scripts/test.sh starts";
    for (const char *end : {"--end=quit", "--end=sigterm"}) {
        pointer.set(3, 1, 6);
        const ProbeRun run = probe({end}, true);
        EXPECT_EQ(run.value("EXIT "), "0") << end;
        EXPECT_TRUE(run.value("BEFORE ").startsWith("3/1 threshold=6")) << end;
        // While running: unscaled linear motion.
        EXPECT_TRUE(run.value("DURING ").startsWith("1/1 threshold=1")) << end;
        EXPECT_EQ(pointer.awaited("3/1 threshold=6"), "3/1 threshold=6") << end;
    }
    pointer.set(2, 1, 4);
}

// A worker that does not stop (stuck in a call that never returns) and presses the left button
// again whenever it goes up: however the program is ended (the end of the event loop, the
// quit sequence of a logout, a second signal), it ends without the worker and without
// telling its guardian of a clean end, and the guardian lets go once nothing can press. (An
// end that let go itself and told "clean" with the worker still running left it down.)
TEST_F(Startup, AWorkerThatDoesNotStopLeavesNoButtonDownHoweverTheProgramEnds)
{
    XPointer pointer;
    if (!pointer.available())
        FAIL() << "this test needs the X server that scripts/test.sh starts";
    for (const char *end : {"--end=quit", "--end=sigterm", "--end=sigterm-twice"}) {
        const ProbeRun run = probe({"--stuck-worker", end}, true);
        EXPECT_GE(run.indexOf("WORKER_STARTED"), 0) << end;
        QElapsedTimer sinceEnd;
        sinceEnd.start();
        while (pointer.buttonsDown() != 0 && sinceEnd.elapsed() < patientMs(3000))
            QThread::msleep(10);
        EXPECT_EQ(pointer.buttonsDown(), 0u) << end << ": the button is still down";
        if (pointer.buttonsDown() != 0)
            pointer.releaseButton(1);
    }
}

// A clip of one of dlib's face photos, drifting a little left and right, as a camera would
// deliver it.
QString makeFaceClip(const QString &folder)
{
    const cv::Mat photo = cv::imread(TOVRA_FACE_PHOTOS "/Tom_Cruise_avp_2014_4.jpg");
    if (photo.empty())
        return {};
    const QString path = folder + "/face.avi";
    cv::VideoWriter writer(path.toStdString(), cv::VideoWriter::fourcc('M', 'J', 'P', 'G'), 30,
                           cv::Size(640, 480));
    cv::Mat scaled;
    const double scale = 640.0 / photo.cols * 0.9;
    cv::resize(photo, scaled, cv::Size(), scale, scale);
    for (int i = 0; i < 60; ++i) {
        cv::Mat frame(480, 640, CV_8UC3, cv::Scalar(0, 0, 0));
        const int dx = int(10 * std::sin(i / 10.0));
        cv::Rect source(std::max(0, (scaled.cols - 640) / 2 + dx),
                        std::max(0, (scaled.rows - 480) / 2), 640, 480);
        source &= cv::Rect(0, 0, scaled.cols, scaled.rows);
        scaled(source).copyTo(frame(cv::Rect(0, 0, source.width, source.height)));
        writer.write(frame);
    }
    return path;
}

// A clip whose face rests (through the calibration), moves right in the camera's picture,
// back left, and rests again.
QString makeMovingFaceClip(const QString &folder)
{
    const cv::Mat photo = cv::imread(TOVRA_FACE_PHOTOS "/Tom_Cruise_avp_2014_4.jpg");
    if (photo.empty())
        return {};
    const QString path = folder + "/moving-face.avi";
    cv::VideoWriter writer(path.toStdString(), cv::VideoWriter::fourcc('M', 'J', 'P', 'G'), 15,
                           cv::Size(640, 480));
    cv::Mat scaled;
    const double scale = 640.0 / photo.cols * 0.7;
    cv::resize(photo, scaled, cv::Size(), scale, scale);
    auto frameAt = [&](int offset) {
        cv::Mat frame(480, 640, CV_8UC3, cv::Scalar(30, 30, 30));
        const int x = (640 - scaled.cols) / 2 + offset;
        const int y = (480 - scaled.rows) / 2;
        const cv::Rect target = cv::Rect(x, y, scaled.cols, scaled.rows) & cv::Rect(0, 0, 640, 480);
        scaled(cv::Rect(target.x - x, target.y - y, target.width, target.height))
            .copyTo(frame(target));
        return frame;
    };
    int offset = 0;
    for (int i = 0; i < 135; ++i) // 9 s of rest at 15 frames a second
        writer.write(frameAt(offset));
    for (int i = 0; i < 20; ++i) // right in the picture
        writer.write(frameAt(offset += 4));
    for (int i = 0; i < 20; ++i) // and back
        writer.write(frameAt(offset -= 4));
    for (int i = 0; i < 150; ++i) // 10 s of rest
        writer.write(frameAt(offset));
    return path;
}

TEST_F(Startup, AFaceThatMovesAndRestsMovesThePointerAndDwellClicks)
{
    const QString clip = makeMovingFaceClip(home.path());
    ASSERT_FALSE(clip.isEmpty());
    TestHome::writeFile(home.settingsFile(),
                        "[General]\nFIRST_RUN_ON_V3X=0\nFIRST_RUN_EVER=0\n"
                        "HK_ACTIVATE_PLAYPAUSE=0\nCAMERA_FRAMERATE=15\nCLICK_MODE=1\n");
    const ProbeRun run =
        probe({"--camera=file", "--run-ms=19000", "--end=sigterm", "--trace"}, true, clip);
    EXPECT_EQ(run.value("EXIT "), "0");
    struct Sample
    {
        int ms, x, y, engine, clicks;
    };
    QVector<Sample> samples;
    for (const QString &line : run.starting("TRACE ")) {
        const QStringList f = line.split(' ');
        samples.append({f[1].toInt(), f[2].toInt(), f[3].toInt(), f[4].toInt(), f[5].toInt()});
    }
    ASSERT_GT(samples.size(), 100);
    // While the engine runs, the pointer first goes left (the picture is mirrored, as the
    // user sees it), then back right, then rests; resting clicks.
    int start = -1;
    for (int i = 0; i < samples.size(); ++i)
        if (samples[i].engine == 1 && samples[i].ms > 8000) {
            start = i;
            break;
        }
    ASSERT_GE(start, 0) << "the calibration never ended";
    int minX = samples[start].x, minAt = start;
    for (int i = start; i < samples.size(); ++i)
        if (samples[i].x < minX) {
            minX = samples[i].x;
            minAt = i;
        }
    EXPECT_LT(minX, samples[start].x - 20) << "the pointer did not follow the head left";
    EXPECT_GT(samples.last().x, minX + 20) << "the pointer did not come back right";
    // A click happened after the head came to rest, where the pointer rested.
    const int clicksBefore = samples[minAt].clicks;
    EXPECT_GT(samples.last().clicks, clicksBefore);
    EXPECT_EQ(run.value("HELD "), "0");
    EXPECT_EQ(run.value("AFTER "), run.value("BEFORE "));
}

TEST_F(Startup, ALongRunOnALoopingClipLeavesNothingHeldAndTheMouseAsItWas)
{
    const QString clip = makeMovingFaceClip(home.path());
    ASSERT_FALSE(clip.isEmpty());
    TestHome::writeFile(home.settingsFile(),
                        "[General]\nFIRST_RUN_ON_V3X=0\nFIRST_RUN_EVER=0\n"
                        "HK_ACTIVATE_PLAYPAUSE=0\nCAMERA_FRAMERATE=15\nCLICK_MODE=1\n"
                        "CLICK_OPTION_DRAG_MODE=1\nCLICK_OPTION_DRAG_MODE_LOCKED=1\n");
    XPointer pointer;
    ASSERT_TRUE(pointer.available());
    pointer.set(3, 1, 6);
    // Three minutes of dwelling with the drag option locked on: presses and releases by turns.
    const ProbeRun run = probe({"--camera=file", "--run-ms=180000", "--end=sigterm"}, true, clip);
    EXPECT_EQ(run.value("EXIT "), "0");
    EXPECT_EQ(run.value("HELD "), "0");
    EXPECT_EQ(pointer.awaited("3/1 threshold=6"), "3/1 threshold=6");
    EXPECT_EQ(pointer.buttonsDown(), 0u);
    pointer.set(2, 1, 4);
}

TEST_F(Startup, WithTheFileCameraTheWholeProgramTracksAFaceAndEndsInOrder)
{
    const QString clip = makeFaceClip(home.path());
    ASSERT_FALSE(clip.isEmpty());
    // A version 3 file that asks for no reset: tracking starts straight away at 15 frames a
    // second, a pace the detector keeps even while it runs on every frame at first.
    TestHome::writeFile(home.settingsFile(), "[General]\nFIRST_RUN_ON_V3X=0\n"
                                             "HK_ACTIVATE_PLAYPAUSE=0\nCAMERA_FRAMERATE=15\n");
    const ProbeRun run = probe({"--camera=file", "--run-ms=5000", "--end=sigterm"}, true, clip);
    EXPECT_EQ(run.value("EXIT "), "0");
    EXPECT_EQ(run.value("PREVIEW_SIZE "), "541x406");
    const double rate = run.value("PREVIEW_RATE ").toDouble();
    EXPECT_GT(rate, 15 * 0.8);
    EXPECT_LT(rate, 15 * 1.1);
    EXPECT_EQ(run.value("FACE_IMAGE "), "faceGreen.png");
    EXPECT_EQ(run.value("CALIBRATING "), "1");
    // Calibration holds the pointer at the centre of the primary screen.
    const QStringList pointer = run.value("POINTER ").split(' ');
    ASSERT_EQ(pointer.size(), 5);
    EXPECT_EQ(pointer[0], pointer[3]);
    EXPECT_EQ(pointer[1], pointer[4]);
    EXPECT_EQ(run.value("HELD "), "0");
    EXPECT_EQ(run.value("AFTER "), run.value("BEFORE "));
    EXPECT_EQ(setting("DEFAULT_CAMERA"), "Video File");
}

} // namespace
