#include "feedback/CProgressMeter.h"

#include "feedback/OverlayRun.h"

#include "feedback/COnScreenText.h"
#include "platform/OverlayWindow.h"
#include "platform/OverlayWindows.h"
#include "platform/Platform.h"
#include "platform/PointerScreens.h"
#include "platform/ThreadName.h"

#include <atomic>
#include <chrono>
#include <condition_variable>

CProgressMeter GlobalProgressMeter;

namespace {
constexpr std::chrono::milliseconds StopWait{100};
} // namespace

// Size, colour and speed: set by the driving thread, read by the ring's thread at each step.
struct CProgressMeter::Settings
{
    struct Values
    {
        int diameter = DefaultDiameter;
        int thickness = DefaultThickness;
        quint32 color = DefaultColor;
        int duration = DefaultDuration;
    };

    Values read() const
    {
        std::lock_guard<std::mutex> guard(lock);
        return values;
    }
    // Applies an edit; false when it changed nothing.
    template<class Edit> bool change(Edit edit)
    {
        std::lock_guard<std::mutex> guard(lock);
        const Values before = values;
        edit(values);
        return before.diameter != values.diameter || before.thickness != values.thickness ||
               before.color != values.color || before.duration != values.duration;
    }

    mutable std::mutex lock;
    Values values;
};

// Everything one shown ring's thread uses, shared with the meter so that a thread that
// outlives a Stop (or the meter) still has all it touches.
struct CProgressMeter::RingRun
{
    std::mutex mutex; // guards window (its lifetime)
    std::condition_variable endedCondition;
    std::unique_ptr<platform::OverlayWindow> window;
    std::atomic<bool> ended{false};
    std::atomic<bool> stop{false};
    std::atomic<bool> running{false};
    // Past its window's life (full and closed by itself): a new start need not wait for it.
    std::atomic<bool> finishing{false};
    std::atomic<bool> regionChanged{false};

    std::shared_ptr<Settings> settings;
    std::shared_ptr<COnScreenText> label;
    QPoint centre;
    bool autoClose = false;
    int sweep = 0; // degrees drawn

    void drawArc(const Settings::Values &v)
    {
        const QRect g = window->scene().geometry;
        const int x = (g.width() >> 1) - (v.diameter >> 1) - 1;
        const int y = (g.height() >> 1) - (v.diameter >> 1) - 1;
        window->setArc({QRect(x, y, v.diameter, v.diameter), v.thickness,
                        COnScreenText::fromColorRef(v.color), -90.0, double(sweep)});
        window->update();
    }

    // Places the window around the centre, cut to a ring 15 pixels wider than the arc on
    // each side, on top of every other window.
    void updateRegion()
    {
        const Settings::Values v = settings->read();
        const int side = v.diameter + v.thickness + Margin;
        window->setGeometry(QRect(centre.x() - side / 2, centre.y() - side / 2, side, side));
        window->setRingShape(v.thickness + Margin);
        window->raise();
        drawArc(v);
    }

    void refresh()
    {
        label->BringToTop();
        window->raise();
    }

    // Draws the next step; the time to the following one, or -1 when the ring closed itself.
    int step()
    {
        const Settings::Values v = settings->read();
        const int period = periodFor(v.duration);
        if (sweep == 360) {
            sweep = StepDegrees; // a new turn starts on a cleared ring
            refresh();
        } else {
            sweep += StepDegrees;
            if (sweep == StepDegrees)
                refresh();
        }
        drawArc(v);
        if (sweep >= 360 && autoClose) {
            label->Stop();
            stop = true;
            return -1;
        }
        return period;
    }

    static void threadMain(std::shared_ptr<RingRun> run)
    {
        platform::nameCurrentThread("tovra-ring");
        using Clock = std::chrono::steady_clock;
        platform::OverlayWindow &window = *run->window;
        // A stop may come while the desktop makes the window: then nothing is shown.
        if (!run->stop && window.open(WindowAlpha / 255.0) && !run->stop) {
            window.setBackground(Qt::transparent);
            run->updateRegion();
            window.show();
            run->running = true;
            Clock::time_point next = Clock::now(); // the first step at once
            while (!run->stop) {
                const auto left = std::chrono::ceil<std::chrono::milliseconds>(next - Clock::now());
                if (left.count() > 0) {
                    if (window.waitForEvents(int(left.count())) ==
                        platform::OverlayWindow::Wake::Failed)
                        break;
                    if (!run->stop && run->regionChanged.exchange(false))
                        run->updateRegion();
                    continue;
                }
                const int period = run->step();
                if (period < 0)
                    break;
                next = Clock::now() + std::chrono::milliseconds(period);
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
        }
        run->endedCondition.notify_all();
    }
};

CProgressMeter::CProgressMeter()
    : settings(std::make_shared<Settings>())
    , labelText(std::make_shared<COnScreenText>())
{}

CProgressMeter::~CProgressMeter()
{
    Stop();
}

int CProgressMeter::periodFor(int durationMs)
{
    return int((unsigned(durationMs) + StepsPerTurn - 1) / StepsPerTurn);
}

void CProgressMeter::stopWindowLocked(std::chrono::steady_clock::time_point deadline)
{
    endOverlayRun(run, worker, deadline);
}

void CProgressMeter::Start(const QString &newText, bool close)
{
    std::lock_guard<std::mutex> lock(control);
    if (run && !run->ended && !run->stop && !run->finishing)
        return;
    autoClose = close;
    text = newText;
    QPoint pointer;
    if (platform::pointerScreens().pointerPosition(&pointer))
        at = pointer;
    // One that ended by itself may still be closing its window: it gets a moment.
    stopWindowLocked(std::chrono::steady_clock::now() + StopWait);

    auto next = std::make_shared<RingRun>();
    next->window = platform::overlayWindows().create();
    next->settings = settings;
    next->label = labelText;
    next->centre = at;
    next->autoClose = autoClose;
    run = next;
    worker = std::thread(&RingRun::threadMain, next);

    const Settings::Values v = settings->read();
    labelText->StartBelow(text, at.x(), at.y(), LabelGap, v.diameter + v.thickness);
}

void CProgressMeter::Stop()
{
    // Ring and label share one deadline.
    const auto deadline = std::chrono::steady_clock::now() + StopWait;
    {
        std::lock_guard<std::mutex> lock(control);
        stopWindowLocked(deadline);
    }
    labelText->Stop(deadline);
}

void CProgressMeter::SetColor(quint32 colorRef)
{
    settings->change([colorRef](Settings::Values &v) { v.color = colorRef; });
}

void CProgressMeter::moveLabel()
{
    std::lock_guard<std::mutex> lock(control);
    if (!run || run->stop || run->ended)
        return;
    run->regionChanged = true;
    {
        std::lock_guard<std::mutex> windowLock(run->mutex);
        if (run->window)
            run->window->wake();
    }
    const Settings::Values v = settings->read();
    labelText->SetPosition(at.x(), at.y(), LabelGap, v.diameter + v.thickness);
}

void CProgressMeter::SetDiameter(int value)
{
    if (value < 1 || value > 2000)
        return;
    if (settings->change([value](Settings::Values &v) { v.diameter = value; }))
        moveLabel();
}

void CProgressMeter::SetThickness(int value)
{
    if (value < 1 || value > 100)
        return;
    if (settings->change([value](Settings::Values &v) { v.thickness = value; }))
        moveLabel();
}

void CProgressMeter::SetDuration(int ms)
{
    if (ms < 50 || ms > 20000)
        return;
    settings->change([ms](Settings::Values &v) { v.duration = ms; });
}

void CProgressMeter::SetLabelSize(int points)
{
    labelText->SetSize(points);
}

bool CProgressMeter::isRunning() const
{
    std::lock_guard<std::mutex> lock(control);
    return run && run->running;
}

QPoint CProgressMeter::centre() const
{
    std::lock_guard<std::mutex> lock(control);
    return at;
}

int CProgressMeter::diameter() const
{
    return settings->read().diameter;
}

int CProgressMeter::thickness() const
{
    return settings->read().thickness;
}

int CProgressMeter::duration() const
{
    return settings->read().duration;
}

quint32 CProgressMeter::color() const
{
    return settings->read().color;
}
