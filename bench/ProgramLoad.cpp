// What the whole program costs while it tracks: the program itself (TovraMouse from
// TOVRA_BIN_DIR) with the file camera on a desktop of its own (Xvfb and openbox), started as a
// user starts it, calibrated, then watched for a number of seconds. Run through
// bench/program-load, which says what the options are.
//
// Standard output carries the result lines; progress and problems go to standard error.

#include "core/AppFilePaths.h"
#include "core/Clock.h"
#include "core/FacialDetectionApp.h"
#include "platform/Platform.h"
#include "tests/app/DesktopView.h"
#include "tests/app/FaceClip.h"
#include "tests/app/ProgramRun.h"
#include "tests/support/TestHome.h"
#include "tests/ui/PrivateDesktop.h"
// Before dlib's detector: the detector's filtering is the program's.
#include "vision/FhogFilter.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QProcess>
#include <QStringList>
#include <QtTest/QTest>

#include <dlib/image_processing/frontal_face_detector.h>
#include <dlib/opencv/cv_image.h>

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>
#include <opencv2/videoio.hpp>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <unistd.h>
#include <vector>

namespace {

// What is before the camera.
enum class Scene
{
    Face,       // a face, always in view
    NoFace,     // nobody: a room with things moving in it
    FaceLeaves, // a face that leaves for a third of the time and comes back
};

struct Options
{
    QString photo =
        QStringLiteral("/usr/share/doc/libdlib19.1/examples/faces/Tom_Cruise_avp_2014_4.jpg");
    // A scene without a face: the frames of a short video that Debian ships with dlib.
    QString sceneFrames = QStringLiteral("/usr/share/doc/libdlib19.1/examples/video_frames");
    Scene scene = Scene::Face;
    QString clip;
    int seconds = 20;
    cv::Size size = cv::Size(722, 406);
    QString screenshot;
    // The face's width in the program's picture at its default size, 0 for the photo fitted
    // into the clip; and the frames the face-leaves clip shows the empty room for.
    int faceWidth = 0;
    int awayFrames = 160;
};

struct ThreadTimes
{
    QString name;
    long long ticks = 0;
};

struct Sample
{
    std::chrono::steady_clock::time_point at;
    quint32 clockMs = 0;
    long long processTicks = 0;
    QMap<int, ThreadTimes> threads;
};

// utime + stime of one /proc stat line; the name is what stands between the brackets.
bool readStat(const QString &path, QString *name, long long *ticks)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray line = file.readAll();
    const int open = line.indexOf('('), close = line.lastIndexOf(')');
    if (open < 0 || close < open)
        return false;
    if (name)
        *name = QString::fromLocal8Bit(line.mid(open + 1, close - open - 1));
    // After the name: state is field 3, utime and stime are fields 14 and 15.
    const QList<QByteArray> fields = line.mid(close + 2).split(' ');
    if (fields.size() < 13)
        return false;
    *ticks = fields[11].toLongLong() + fields[12].toLongLong();
    return true;
}

Sample sample(qint64 pid)
{
    Sample s;
    s.at = std::chrono::steady_clock::now();
    s.clockMs = currentTimeMs32();
    const QString proc = QStringLiteral("/proc/%1").arg(pid);
    readStat(proc + "/stat", nullptr, &s.processTicks);
    for (const QString &task : QDir(proc + "/task").entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        ThreadTimes t;
        if (readStat(proc + "/task/" + task + "/stat", &t.name, &t.ticks))
            s.threads.insert(task.toInt(), t);
    }
    return s;
}

long long statusKb(qint64 pid, const char *field)
{
    QFile file(QStringLiteral("/proc/%1/status").arg(pid));
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : file.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(int(qstrlen(field))).trimmed().split(' ').value(0).toLongLong();
    return -1;
}

double percentile(std::vector<double> values, double fraction)
{
    if (values.empty())
        return -1.0;
    std::sort(values.begin(), values.end());
    const size_t rank = size_t(std::ceil(fraction * values.size()));
    return values[std::clamp<size_t>(rank, 1, values.size()) - 1];
}

// The pointer moved in each of `windows` seconds in a row: the head is being followed, so
// calibration is over (it holds the pointer still but for its jumps to the centre).
bool tracking(DesktopView &desktop, int windows, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    int inRow = 0;
    while (inRow < windows) {
        if (timer.elapsed() > timeoutMs)
            return false;
        const QPoint before = desktop.pointer();
        QTest::qWait(1000);
        inRow = (desktop.pointer() - before).manhattanLength() > 4 ? inRow + 1 : 0;
    }
    return true;
}

// The face-leaves clip: the face in view for its first kFaceFrames frames, then the empty
// scene (by default for a third of the time, five seconds at the program's pace).
constexpr int kFaceFrames = 320;
// The program's pace, frames a second, and the smaller side of its picture at its default
// settings.
constexpr double kProgramFps = 32.0;
constexpr int kDefaultProcessingSide = 406;

// The scene's frames fitted to `size` (cut to its shape), played forth and back so that the
// loop does not jump; empty when they cannot be read.
std::vector<cv::Mat> sceneFrames(const QString &folder, cv::Size size)
{
    std::vector<cv::Mat> frames;
    const QDir dir(folder);
    for (const QString &name : dir.entryList({QStringLiteral("*.jpg"), QStringLiteral("*.png")},
                                             QDir::Files, QDir::Name)) {
        const cv::Mat image = cv::imread(dir.filePath(name).toStdString());
        if (image.empty())
            continue;
        const double scale =
            std::max(double(size.width) / image.cols, double(size.height) / image.rows);
        cv::Mat scaled;
        cv::resize(image, scaled, cv::Size(), scale, scale, cv::INTER_AREA);
        const cv::Rect cut((scaled.cols - size.width) / 2, (scaled.rows - size.height) / 2,
                           size.width, size.height);
        frames.push_back(scaled(cut).clone());
    }
    for (int i = int(frames.size()) - 2; i > 0; --i)
        frames.push_back(frames[size_t(i)]);
    return frames;
}

// How the face moves: as a head before a webcam.
cv::Point2d headAt(double t)
{
    return cv::Point2d(60.0 * std::sin(t * 2.0), 20.0 * std::sin(t * 1.3));
}

// The face clip's frames: the photo fitted into the clip, or with a face width asked for, the
// photo shrunk to it over the empty scene, both moved as a head.
std::vector<cv::Mat> faceFrames(const Options &o, const std::vector<cv::Mat> &scene,
                                const QString &scratchPath)
{
    std::vector<cv::Mat> frames;
    if (o.faceWidth <= 0) {
        if (!writeFaceClip(o.photo, scratchPath, headAt, o.size))
            return frames;
        cv::VideoCapture face(scratchPath.toStdString());
        cv::Mat frame;
        while (face.read(frame))
            frames.push_back(frame.clone());
        QFile::remove(scratchPath);
        return frames;
    }
    const cv::Mat photo = cv::imread(o.photo.toStdString());
    if (photo.empty() || scene.empty())
        return frames;
    // The detector's box on the photo as it is, and the scale that makes it faceWidth pixels
    // wide in the program's picture.
    cv::Mat grey;
    cv::cvtColor(photo, grey, cv::COLOR_BGR2GRAY);
    dlib::frontal_face_detector detector = dlib::get_frontal_face_detector();
    const std::vector<dlib::rectangle> boxes = detector(dlib::cv_image<unsigned char>(grey));
    if (boxes.empty()) {
        std::fprintf(stderr, "program-load: no face in %s\n", qPrintable(o.photo));
        return frames;
    }
    const double clipPerPicture =
        double(std::min(o.size.width, o.size.height)) / kDefaultProcessingSide;
    const double k = o.faceWidth * clipPerPicture / double(boxes.front().width());
    const dlib::point middle = dlib::center(boxes.front());
    const cv::Point2d faceMiddle(middle.x(), middle.y());
    // Farther away, the same head movements are as much smaller as the face.
    const double fit =
        std::min(double(o.size.width) / photo.cols, double(o.size.height) / photo.rows);
    for (int i = 0; i < 240; ++i) {
        const cv::Point2d at =
            cv::Point2d(o.size.width / 2.0, o.size.height / 2.0) + headAt(i / 30.0) * (k / fit);
        const cv::Mat place = (cv::Mat_<double>(2, 3) << k, 0, at.x - faceMiddle.x * k, 0, k,
                               at.y - faceMiddle.y * k);
        cv::Mat frame = scene[size_t(i) % scene.size()].clone();
        cv::warpAffine(photo, frame, place, o.size, cv::INTER_AREA, cv::BORDER_TRANSPARENT);
        frames.push_back(frame);
    }
    return frames;
}

bool writeSceneClip(const Options &o, const QString &path)
{
    const std::vector<cv::Mat> scene = sceneFrames(o.sceneFrames, o.size);
    if (scene.empty())
        return false;
    if (o.scene == Scene::NoFace)
        return writeClip(
            path, int(scene.size()), [&](int i) { return scene[size_t(i)]; }, o.size);
    const std::vector<cv::Mat> face = faceFrames(o, scene, path + QStringLiteral(".face.avi"));
    if (face.empty())
        return false;
    // Forth and back through the face clip's frames for as long as the face stays.
    const auto faceFrame = [&](int i) {
        const int n = int(face.size()), k = i % (2 * n - 2);
        return face[size_t(k < n ? k : 2 * n - 2 - k)];
    };
    if (o.scene == Scene::Face)
        return writeClip(
            path, int(face.size()), [&](int i) { return face[size_t(i)]; }, o.size);
    // The face moves as in the face clip; then the room stays empty for a while.
    return writeClip(
        path, kFaceFrames + o.awayFrames,
        [&](int i) { return i < kFaceFrames ? faceFrame(i) : scene[size_t(i) % scene.size()]; },
        o.size);
}

// Without a face the pointer never follows: the calibration, which runs by time, is over
// this long after the main window.
constexpr int kCalibrationOverMs = 16000;

int usage()
{
    std::fprintf(stderr, "usage: program-load-run [--seconds N] [--photo FILE | --clip FILE | "
                         "--no-face | --face-leaves [--away-seconds S]] [--face-width N] "
                         "[--size WxH] [--screenshot FILE]\n");
    return 2;
}

bool parse(const QStringList &args, Options &o)
{
    for (int i = 0; i < args.size(); ++i) {
        const QString value = args.value(i + 1);
        if (args[i] == "--seconds") {
            o.seconds = value.toInt();
            if (o.seconds <= 0)
                return false;
        } else if (args[i] == "--photo") {
            o.photo = value;
        } else if (args[i] == "--clip") {
            o.clip = value;
        } else if (args[i] == "--no-face" || args[i] == "--face-leaves") {
            o.scene = args[i] == "--no-face" ? Scene::NoFace : Scene::FaceLeaves;
            continue;
        } else if (args[i] == "--size") {
            const QStringList wh = value.split('x');
            o.size = cv::Size(wh.value(0).toInt(), wh.value(1).toInt());
            if (o.size.width <= 0 || o.size.height <= 0)
                return false;
        } else if (args[i] == "--screenshot") {
            o.screenshot = value;
        } else if (args[i] == "--face-width") {
            o.faceWidth = value.toInt();
            if (o.faceWidth < 20)
                return false;
        } else if (args[i] == "--away-seconds") {
            o.awayFrames = int(std::lround(value.toDouble() * kProgramFps));
            if (o.awayFrames <= 0)
                return false;
        } else {
            return false;
        }
        ++i;
    }
    return true;
}

int measure(const Options &o)
{
    DesktopView desktop;
    if (!desktop.isOpen()) {
        std::fprintf(stderr, "program-load: no desktop\n");
        return 1;
    }
    ProgramRun program;
    const QString timingFile = QFileInfo(program.clipPath()).dir().filePath("frames.txt");
    qputenv("TOVRA_FRAME_TIMING", QFile::encodeName(timingFile));
    if (!o.clip.isEmpty()) {
        QFile::copy(o.clip, program.clipPath());
    } else if (o.scene != Scene::Face || o.faceWidth > 0) {
        if (!writeSceneClip(o, program.clipPath())) {
            std::fprintf(stderr, "program-load: cannot make a clip of %s\n",
                         qPrintable(o.sceneFrames));
            return 1;
        }
    } else if (!writeFaceClip(o.photo, program.clipPath(), headAt, o.size)) {
        std::fprintf(stderr, "program-load: cannot make a clip of %s\n", qPrintable(o.photo));
        return 1;
    }
    // TOVRA_SCREENSHOTS_COMPOSITED=1: a compositing manager on the desktop, as the tests do.
    QProcess compositor;
    startCompositorIfAsked(compositor);
    const QRect mainWindow = program.start(desktop);
    if (mainWindow.isNull()) {
        std::fprintf(stderr, "program-load: the program did not reach its main window\n");
        return 1;
    }
    std::fprintf(stderr, "program-load: started, calibrating\n");
    if (o.scene == Scene::NoFace) {
        QTest::qWait(kCalibrationOverMs);
    } else if (!tracking(desktop, 3, 90000)) {
        std::fprintf(stderr, "program-load: the pointer never followed the head\n");
        return 1;
    }
    const qint64 pid = program.process.processId();
    std::fprintf(stderr, "program-load: tracking; measuring %d s\n", o.seconds);
    const Sample first = sample(pid);
    QTest::qWait(o.seconds * 1000);
    const Sample last = sample(pid);
    const long long rssKb = statusKb(pid, "VmRSS:");
    const long long peakKb = statusKb(pid, "VmHWM:");
    if (!o.screenshot.isEmpty())
        desktop.grab(QRect(QPoint(0, 0), desktop.screenSize())).save(o.screenshot);
    const bool quitCleanly = program.quit(desktop, mainWindow);

    const double wall = std::chrono::duration<double>(last.at - first.at).count();
    const double tick = double(sysconf(_SC_CLK_TCK));
    auto share = [&](long long ticks) { return 100.0 * ticks / tick / wall; };

    // Threads grouped by name; the busiest of a group is shown beside its sum.
    struct Group
    {
        int threads = 0;
        long long ticks = 0, busiest = 0;
    };
    QMap<QString, Group> groups;
    for (auto it = last.threads.begin(); it != last.threads.end(); ++it) {
        const long long ticks = it->ticks - first.threads.value(it.key()).ticks;
        Group &g = groups[it->name];
        ++g.threads;
        g.ticks += ticks;
        g.busiest = std::max(g.busiest, ticks);
    }
    std::vector<std::pair<QString, Group>> sorted;
    for (auto it = groups.begin(); it != groups.end(); ++it)
        sorted.emplace_back(it.key(), it.value());
    std::sort(sorted.begin(), sorted.end(),
              [](const auto &a, const auto &b) { return a.second.ticks > b.second.ticks; });

    // The frames stamped inside the measured time. Each line is one frame read from the
    // clip, in order, so line i showed the clip's frame i modulo its length.
    int frames = 0, moves = 0;
    std::vector<double> latencyMs, passMs, returnMs;
    // Away spells at whose end a box was still held (carried over the empty scene).
    int keptWhileAway = 0;
    struct Line
    {
        quint32 at = 0;
        double passMs = 0.0;
        bool face = false;
    };
    std::vector<Line> lines;
    QFile timing(timingFile);
    if (timing.open(QIODevice::ReadOnly)) {
        for (const QByteArray &text : timing.readAll().split('\n')) {
            const QList<QByteArray> f = text.split(' ');
            if (f.size() < 3)
                continue;
            Line line{f[0].toUInt(), f[1].toLongLong() / 1000.0, f.value(3) == "1"};
            lines.push_back(line);
            if (elapsedMs(line.at, first.clockMs) >= 0x80000000u ||
                elapsedMs(last.clockMs, line.at) >= 0x80000000u)
                continue;
            ++frames;
            passMs.push_back(line.passMs);
            if (f[2].toLongLong() >= 0) {
                ++moves;
                latencyMs.push_back(f[2].toLongLong() / 1000.0);
            }
        }
    }
    // The face came back with the clip's frame kFaceFrames after being away: from that frame's
    // time stamp to the end of the first pass that has a face again.
    const size_t period = size_t(kFaceFrames + o.awayFrames);
    for (size_t back = period; o.scene == Scene::FaceLeaves && back < lines.size();
         back += period) {
        if (elapsedMs(lines[back].at, first.clockMs) >= 0x80000000u ||
            elapsedMs(last.clockMs, lines[back].at) >= 0x80000000u)
            continue;
        if (lines[back - 1].face) {
            ++keptWhileAway;
            continue;
        }
        for (size_t i = back; i < lines.size() && i < back + kFaceFrames; ++i) {
            if (lines[i].face) {
                returnMs.push_back(elapsedMs(lines[i].at, lines[back].at) + lines[i].passMs);
                break;
            }
        }
    }

    const QString kind = o.scene == Scene::NoFace ? QStringLiteral("without a face")
                         : o.scene == Scene::FaceLeaves
                             ? QStringLiteral("with a face that leaves: %1 frames in view, %2 away")
                                   .arg(kFaceFrames)
                                   .arg(o.awayFrames)
                         : o.clip.isEmpty() ? QStringLiteral("with a face")
                                            : QStringLiteral("of your own");
    const QString far = o.faceWidth > 0 && o.clip.isEmpty() && o.scene != Scene::NoFace
                            ? QStringLiteral(" (the face %1 px wide)").arg(o.faceWidth)
                            : QString();
    std::printf("clip %dx%d %s%s, %.1f s measured after calibration\n", o.size.width, o.size.height,
                qPrintable(kind), qPrintable(far), wall);
    std::printf("threads (CPU time as a share of one core):\n");
    for (const auto &[name, g] : sorted)
        std::printf("  %-16s %2d thread%s %6.1f %%   busiest %5.1f %%\n", qPrintable(name),
                    g.threads, g.threads == 1 ? " " : "s", share(g.ticks), share(g.busiest));
    std::printf("cpu_total_pct %.1f\n", share(last.processTicks - first.processTicks));
    std::printf("frames_per_second %.1f\n", frames / wall);
    std::printf("pass_ms_median %.2f\n", percentile(passMs, 0.5));
    std::printf("frames_with_pointer_move %d\n", moves);
    std::printf("latency_ms_median %.2f\n", percentile(latencyMs, 0.5));
    std::printf("latency_ms_p95 %.2f\n", percentile(latencyMs, 0.95));
    if (o.scene == Scene::FaceLeaves) {
        std::printf("face_returns %d\n", int(returnMs.size()));
        std::printf("face_return_track_ms_median %.0f\n", percentile(returnMs, 0.5));
        std::printf("face_return_track_ms_max %.0f\n", percentile(returnMs, 1.0));
        std::printf("face_kept_while_away %d\n", keptWhileAway);
    }
    std::printf("rss_mb %.1f\n", rssKb / 1024.0);
    std::printf("rss_peak_mb %.1f\n", peakKb / 1024.0);
    std::fflush(stdout);
    if (!quitCleanly)
        std::fprintf(stderr, "program-load: the program did not quit cleanly\n");
    return quitCleanly ? 0 : 1;
}

} // namespace

int main(int argc, char **argv)
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    Options options;
    if (!parse(args, options))
        return usage();
    if (qEnvironmentVariableIsEmpty("TOVRA_BIN_DIR")) {
        std::fprintf(stderr, "program-load: TOVRA_BIN_DIR names no program folder\n");
        return 2;
    }
    TestHome home;
    PrivateDesktop desktop;
    if (!desktop.problem().isEmpty()) {
        std::fprintf(stderr, "program-load: no desktop: %s\n", desktop.problem().constData());
        return 1;
    }
    qunsetenv("QT_QPA_PLATFORM");
    platform::installRecording();
    initDataFolder();
    initFileLocations();
    int result = 0;
    {
        FacialDetectionApp application(argc, argv);
        application.versionText = QStringLiteral("v3.1.3.2");
        result = measure(options);
    }
    platform::uninstall();
    return result;
}
