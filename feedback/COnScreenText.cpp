#include "feedback/COnScreenText.h"

#include "feedback/OverlayRun.h"

#include "platform/OverlayWindow.h"
#include "platform/OverlayWindows.h"
#include "platform/Platform.h"
#include "platform/PointerScreens.h"
#include "platform/ThreadName.h"

#include <QtMath>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>

COnScreenText CalibrationText;

namespace {
constexpr std::chrono::milliseconds StopWait{100};
const char *const FontFamily = "Tahoma";
constexpr int FontWeight = 600;
} // namespace

// Everything one shown label's thread uses. Shared with the label object, so that a thread
// that outlives a Stop (or the object) still has all it touches.
struct COnScreenText::LabelRun
{
    std::mutex mutex; // guards window (its lifetime), changes, ended and rect
    std::condition_variable endedCondition;
    std::unique_ptr<platform::OverlayWindow> window;
    std::deque<std::function<void(LabelRun &)>> changes;
    std::atomic<bool> ended{false};
    QRect rect;
    std::atomic<bool> stop{false};
    std::atomic<bool> running{false};
    // Past its window's life (it closed or was refused): a new start need not wait for it.
    std::atomic<bool> finishing{false};

    // The thread's own copies, set before it starts.
    QString text;
    int x = 0, y = 0;
    int points = DefaultPointSize;
    quint32 color = DefaultTextColor;
    bool anchored = false;
    int anchorX = 0, anchorY = 0, gap = 0, ring = 0;

    platform::OverlayWindow::Font font() const
    {
        return {QString::fromLatin1(FontFamily), points, FontWeight};
    }

    void publish()
    {
        const QRect now = window->scene().geometry;
        std::lock_guard<std::mutex> lock(mutex);
        rect = now;
    }

    void paintText()
    {
        window->setText({text, QPoint(PaddingX, PaddingY), font(), fromColorRef(color)});
        window->update();
    }

    // Sizes the window to the text; centred on centreX when it is positive, else at x. A text
    // wider than the screens is drawn smaller, down to the smallest size, until it fits: on a
    // screen scaled by 2 the calibration heading is wider than the screen.
    void fit(int centreX)
    {
        QSize extent = window->textExtent(text, font());
        if (!extent.isValid())
            return; // the window keeps its size
        const int room = platform::pointerScreens().virtualScreen().width() - 2 * PaddingX;
        while (room > 0 && extent.width() > room && points > MinimumPointSize) {
            points = qMax(MinimumPointSize, qMin(points - 1, points * room / extent.width()));
            const QSize smaller = window->textExtent(text, font());
            if (!smaller.isValid())
                break;
            extent = smaller;
        }
        const int w = extent.width() + 2 * PaddingX;
        const int h = extent.height() + 2 * PaddingY;
        if (centreX > 0)
            x = centreX - (w >> 1);
        window->setGeometry(QRect(onScreen(QPoint(x, y), QSize(w, h)), QSize(w, h)));
        window->setRoundedShape(cornerFor(w, h));
        publish();
        paintText();
    }

    // The top-left corner that keeps a window of `size` whole on the screens, as near to `at`
    // as it can (screen pixels: the overlay's own).
    static QPoint onScreen(QPoint at, QSize size)
    {
        const QRect screen = platform::pointerScreens().virtualScreen();
        if (screen.isEmpty())
            return at;
        return {qMax(screen.left(), qMin(at.x(), screen.left() + screen.width() - size.width())),
                qMax(screen.top(), qMin(at.y(), screen.top() + screen.height() - size.height()))};
    }

    int centreX() const
    {
        const QRect g = window->scene().geometry;
        return g.x() + g.width() / 2;
    }

    void moveTo(int newX, int newY)
    {
        // Kept, so that a later refit stays where the window now is.
        x = newX;
        y = newY;
        const QSize size = window->scene().geometry.size();
        window->setGeometry(QRect(onScreen(QPoint(x, y), size), size));
        publish();
        window->update();
    }

    void placeBelow(int atX, int atY, int gapBelow, int ringSize)
    {
        const int w = window->scene().geometry.width();
        moveTo(atX - (w >> 1), atY + gapBelow + ringSize / 2);
    }

    void applyChanges()
    {
        for (;;) {
            std::function<void(LabelRun &)> change;
            {
                std::lock_guard<std::mutex> lock(mutex);
                if (changes.empty() || stop)
                    return;
                change = std::move(changes.front());
                changes.pop_front();
            }
            change(*this);
        }
    }

    static void threadMain(std::shared_ptr<LabelRun> run)
    {
        platform::nameCurrentThread("tovra-label");
        platform::OverlayWindow &window = *run->window;
        // A stop may come while the desktop makes the window: then nothing is shown.
        if (!run->stop && window.open(WindowAlpha / 255.0) && !run->stop) {
            window.setBackground(fromColorRef(BackgroundColor));
            run->fit(0);
            run->running = true;
            if (run->anchored)
                run->placeBelow(run->anchorX, run->anchorY, run->gap, run->ring);
            window.show();
            while (!run->stop) {
                run->applyChanges();
                if (run->stop || window.waitForEvents(-1) == platform::OverlayWindow::Wake::Failed)
                    break;
            }
        }
        run->finishing = true;
        run->running = false;
        std::unique_ptr<platform::OverlayWindow> closing;
        {
            std::lock_guard<std::mutex> lock(run->mutex);
            closing = std::move(run->window);
        }
        closing.reset(); // the window goes with the thread that made it
        {
            std::lock_guard<std::mutex> lock(run->mutex);
            run->ended = true;
            run->rect = QRect();
            run->changes.clear();
        }
        run->endedCondition.notify_all();
    }
};

COnScreenText::COnScreenText(const QString &initialText, int initialX, int initialY)
{
    if (!initialText.isEmpty())
        Start(initialText, initialX, initialY);
}

COnScreenText::~COnScreenText()
{
    Stop();
}

QString COnScreenText::TruncateText(const QString &value)
{
    return value.left(MaxTextLength);
}

int COnScreenText::cornerFor(int w, int h)
{
    const double area = double(w) * h;
    if (area <= 0)
        return 0;
    return int(2 * std::sqrt(area * 0.01 / M_PI));
}

QColor COnScreenText::fromColorRef(quint32 colorRef)
{
    return QColor(int(colorRef & 0xff), int(colorRef >> 8 & 0xff), int(colorRef >> 16 & 0xff));
}

void COnScreenText::launch()
{
    auto next = std::make_shared<LabelRun>();
    next->window = platform::overlayWindows().create();
    next->text = text;
    next->x = x;
    next->y = y;
    next->points = points;
    next->color = color;
    next->anchored = anchored;
    next->anchorX = anchorX;
    next->anchorY = anchorY;
    next->gap = gap;
    next->ring = ring;
    run = next;
    worker = std::thread(&LabelRun::threadMain, next);
}

void COnScreenText::stopLocked(std::chrono::steady_clock::time_point deadline)
{
    endOverlayRun(run, worker, deadline);
}

template<class Change> bool COnScreenText::post(Change change)
{
    if (!run || run->stop)
        return false;
    std::lock_guard<std::mutex> lock(run->mutex);
    if (run->ended)
        return false;
    run->changes.emplace_back(std::move(change));
    if (run->window)
        run->window->wake();
    return true;
}

void COnScreenText::Start(const QString &newText, int newX, int newY)
{
    std::lock_guard<std::mutex> lock(control);
    if ((run && !run->ended && !run->finishing) || newText.isEmpty())
        return;
    // One that ended by itself (a refused window) may still be closing: it gets a moment.
    stopLocked(std::chrono::steady_clock::now() + StopWait);
    anchored = false;
    text = TruncateText(newText);
    x = newX;
    y = newY;
    launch();
}

void COnScreenText::StartBelow(const QString &newText, int atX, int atY, int newGap, int newRing)
{
    std::lock_guard<std::mutex> lock(control);
    if ((run && !run->ended && !run->finishing) || newText.isEmpty() || newGap < 0 ||
        newRing <= 0)
        return;
    stopLocked(std::chrono::steady_clock::now() + StopWait);
    anchored = true;
    text = TruncateText(newText);
    gap = newGap;
    ring = newRing;
    anchorX = atX;
    anchorY = atY;
    launch();
}

void COnScreenText::Stop()
{
    Stop(std::chrono::steady_clock::now() + StopWait);
}

void COnScreenText::Stop(std::chrono::steady_clock::time_point deadline)
{
    std::lock_guard<std::mutex> lock(control);
    stopLocked(deadline);
}

void COnScreenText::SetPosition(int newX, int newY)
{
    std::lock_guard<std::mutex> lock(control);
    if (post([newX, newY](LabelRun &r) { r.moveTo(newX, newY); })) {
        x = newX;
        y = newY;
    }
}

void COnScreenText::SetPosition(int atX, int atY, int newGap, int newRing)
{
    if (newGap < 0 || newRing <= 0)
        return;
    std::lock_guard<std::mutex> lock(control);
    post([=](LabelRun &r) { r.placeBelow(atX, atY, newGap, newRing); });
}

void COnScreenText::SetSize(int newPoints)
{
    std::lock_guard<std::mutex> lock(control);
    if (newPoints < MinimumPointSize || newPoints == points)
        return;
    points = newPoints;
    post([newPoints](LabelRun &r) {
        r.points = newPoints;
        r.fit(r.centreX());
    });
}

void COnScreenText::SetText(const QString &newText)
{
    if (newText.isEmpty())
        return;
    const QString cut = TruncateText(newText);
    std::lock_guard<std::mutex> lock(control);
    if (post([cut](LabelRun &r) {
            r.text = cut;
            r.fit(r.centreX());
        }))
        text = cut;
}

void COnScreenText::SetTextColor(quint32 colorRef)
{
    std::lock_guard<std::mutex> lock(control);
    if (colorRef == color)
        return;
    color = colorRef;
    post([colorRef](LabelRun &r) {
        r.color = colorRef;
        r.paintText();
    });
}

void COnScreenText::BringToTop()
{
    std::lock_guard<std::mutex> lock(control);
    post([](LabelRun &r) { r.window->raise(); });
}

bool COnScreenText::isRunning() const
{
    std::lock_guard<std::mutex> lock(control);
    return run && run->running;
}

QRect COnScreenText::windowRect() const
{
    std::lock_guard<std::mutex> lock(control);
    if (!run)
        return {};
    std::lock_guard<std::mutex> runLock(run->mutex);
    return run->rect;
}

int COnScreenText::pointSize() const
{
    std::lock_guard<std::mutex> lock(control);
    return points;
}

quint32 COnScreenText::textColor() const
{
    std::lock_guard<std::mutex> lock(control);
    return color;
}
