// The whole program on the file camera, driven through its main window as a user would:
// watch the annotated face, stop and play, choose Smile and Dwell, exit. Prints what the
// test needs to judge, one line each. Used by MainWindowEndToEndTest.
//
//   mainwindow-e2e-probe        (TOVRA_CAMERA_FILE names the clip; HOME a throw-away home)

#include "app/Startup.h"
#include "core/FacialDetectionApp.h"
#include "core/SettingsKeys.h"
#include "tests/support/DialogAnswerer.h"
#include "tracking/QTracker.h"
#include "ui/MainWindow.h"
#include "ui/QFixedAspectLabel.h"
#include "ui/QPreviewWindow.h"

#include <QApplication>
#include <QCursor>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPushButton>
#include <QSet>
#include <QTimer>
#include <QtTest/QTest>

#include <cstdio>

namespace {

const int MinimumLandmarkPixels = 20;

void say(const QString &line)
{
    std::printf("%s\n", qPrintable(line));
    std::fflush(stdout);
}

// The landmark drawing is pure green (or purple, or red); a photo has hardly any such pixels.
int landmarkPixels(const QImage &image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb px = image.pixel(x, y);
            const QColor c(px);
            if (c == QColor(0, 255, 0) || c == QColor(126, 0, 126) || c == QColor(255, 0, 0))
                ++count;
        }
    return count;
}

int distinctColours(const QImage &image)
{
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); y += 4)
        for (int x = 0; x < image.width(); x += 4)
            colours.insert(image.pixel(x, y));
    return colours.size();
}

// Whether the pointer travels more than a few pixels within the time.
bool pointerMovesWithin(int timeoutMs)
{
    const QPoint start = QCursor::pos();
    return QTest::qWaitFor([&] { return (QCursor::pos() - start).manhattanLength() > 4; },
                           timeoutMs);
}

MainWindow *findMainWindow()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *window = qobject_cast<MainWindow *>(w))
            return window;
    return nullptr;
}

QElapsedTimer exitClock;

void runScenario(FacialDetectionApp &app)
{
    MainWindow *window = findMainWindow();
    if (!window) {
        say("NO_MAIN_WINDOW");
        QCoreApplication::exit(3);
        return;
    }
    auto button = [window](const char *name) {
        return window->findChild<QPushButton *>(QString::fromLatin1(name));
    };
    QFixedAspectLabel *label = window->findChild<QPreviewWindow *>("previewFrame")->renderFrame();

    const bool annotated = QTest::qWaitFor(
        [&] { return landmarkPixels(label->grab().toImage()) >= MinimumLandmarkPixels; }, 60000);
    const QImage shot = label->grab().toImage();
    say(QString("PREVIEW annotated=%1 colours=%2").arg(annotated).arg(distinctColours(shot)));

    say(QString("MOVING %1").arg(pointerMovesWithin(60000)));

    button("tempStopButton")->click();
    // The pass under way when the user stopped may still finish its move.
    QTest::qWait(300);
    const QPoint stoppedAt = QCursor::pos();
    // The clip plays on; a stopped tracker moves nothing however long it plays.
    QTest::qWait(1500);
    say(QString("STOPPED paused=%1 moved=%2")
            .arg(app.tracker->isPaused())
            .arg((QCursor::pos() - stoppedAt).manhattanLength()));

    button("playButton")->click();
    say(QString("RESUMED paused=%1 moving=%2")
            .arg(app.tracker->isPaused())
            .arg(pointerMovesWithin(60000)));

    button("faceClickButton")->click();
    say(QString("SMILE %1").arg(app.getSetting(SettingKeys::CLICK_MODE).toInt()));
    button("dwellClickButton")->click();
    say(QString("DWELL %1").arg(app.getSetting(SettingKeys::CLICK_MODE).toInt()));

    exitClock.start();
    button("exitButton")->click();
    say("EXIT_CLICKED");
}

} // namespace

int main(int argc, char **argv)
{
    StartupHooks hooks;
    hooks.applicationCreated = [](FacialDetectionApp &app) {
        auto *answerer = new DialogAnswerer(&app);
        // The two questions of the scenario are answered Yes; anything else is closed.
        for (int i = 0; i < 100; ++i)
            answerer->enqueue([](QWidget *modal) {
                auto *box = qobject_cast<QMessageBox *>(modal);
                if (box && box->text().startsWith(QLatin1String("Are you sure")))
                    DialogAnswerer::pressButton(QStringLiteral("Yes"))(modal);
                else
                    modal->close();
            });
        QObject::connect(answerer, &DialogAnswerer::seen,
                         [](const QString &title, const QString &text) {
                             say("DIALOG " + title + " | " + QString(text).replace('\n', "\\n"));
                         });
        auto *watch = new QTimer(&app);
        QObject::connect(watch, &QTimer::timeout, [&app, watch] {
            if (!app.tracker || !app.tracker->isStarted())
                return;
            watch->stop();
            say("WORKER_STARTED");
            runScenario(app);
        });
        watch->start(20);
    };

    const int code = tovraMain(argc, argv, hooks);
    say(QString("EXIT %1 %2").arg(code).arg(exitClock.isValid() ? exitClock.elapsed() : -1));
    return code;
}
