#include "ui/clickwindows/ClickOptionsWindow.h"

#include "core/FacialDetectionApp.h"
#include "core/SettingsKeys.h"
#include "core/WindowFit.h"
#include "platform/Platform.h"
#include "platform/PointerScreens.h"
#include "platform/Process.h"
#include "ui_ClickOptionsWindow.h"

#include <QCloseEvent>

#include <utility>

using namespace SettingKeys;

namespace {

FacialDetectionApp *app()
{
    return FacialDetectionApp::instance();
}

// Each mode button with its lock and the two settings they mirror, in the order they are
// written.
struct ModeBinding
{
    QPushButton *Ui_ClickOptionsWindow::*mode;
    QPushButton *Ui_ClickOptionsWindow::*lock;
    const char *modeKey;
    const char *lockKey;
};
const ModeBinding Bindings[] = {
    {&Ui_ClickOptionsWindow::leftClick, &Ui_ClickOptionsWindow::leftClickLocker,
     CLICK_OPTION_LEFT_CLICK, CLICK_OPTION_LEFT_CLICK_LOCKED},
    {&Ui_ClickOptionsWindow::rightClick, &Ui_ClickOptionsWindow::rightClickLocker,
     CLICK_OPTION_RIGHT_CLICK, CLICK_OPTION_RIGHT_CLICK_LOCKED},
    {&Ui_ClickOptionsWindow::times2, &Ui_ClickOptionsWindow::times2Locker, CLICK_OPTION_TIMES2_MODE,
     CLICK_OPTION_TIMES2_MODE_LOCKED},
    {&Ui_ClickOptionsWindow::drag, &Ui_ClickOptionsWindow::dragLocker, CLICK_OPTION_DRAG_MODE,
     CLICK_OPTION_DRAG_MODE_LOCKED},
    {&Ui_ClickOptionsWindow::scroll, &Ui_ClickOptionsWindow::scrollLocker, CLICK_OPTION_SCROLL_MODE,
     CLICK_OPTION_SCROLL_MODE_LOCKED},
};

const QSize SmallestSize(74, 460);
const int MoveSettledMs = 250;

bool isOn(FacialDetectionApp *application, const char *key)
{
    return application->getSetting(QString::fromLatin1(key)).toInt() != 0;
}

} // namespace

ClickOptionsWindow::ClickOptionsWindow(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::ClickOptionsWindow)
{
    Q_INIT_RESOURCE(icons);
    Qt::WindowFlags flags = windowFlags();
    flags &= ~(Qt::WindowSystemMenuHint | Qt::WindowContextHelpButtonHint);
    // Never focused, so that a click on it leaves the keyboard with the user's window.
    flags |= Qt::Window | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint |
             Qt::WindowCloseButtonHint | Qt::WindowDoesNotAcceptFocus;
    setWindowFlags(flags);

    ui->setupUi(this);

    for (const ModeBinding &b : Bindings) {
        connect(ui->*b.mode, &QPushButton::toggled, this,
                &ClickOptionsWindow::UpdateStoredSettings);
        connect(ui->*b.lock, &QPushButton::toggled, this,
                &ClickOptionsWindow::UpdateStoredSettings);
    }
    if (FacialDetectionApp *application = app()) {
        // The engine's reset after a click writes from the worker: this arrives queued.
        connect(application, &FacialDetectionApp::ClickOptionsSettingsChanged, this,
                &ClickOptionsWindow::UpdateUI);
        connect(application, &FacialDetectionApp::ClickingActiveChanged, this,
                &ClickOptionsWindow::showClickingState);
    }
    connect(ui->pauseButton, &QPushButton::clicked, this,
            &ClickOptionsWindow::ToggleActiveInactive);
    connect(ui->resetButton, &QPushButton::clicked, this, &ClickOptionsWindow::ResetSettings);

    moveSettled.setSingleShot(true);
    moveSettled.setInterval(MoveSettledMs);
    connect(&moveSettled, &QTimer::timeout, this, &ClickOptionsWindow::keepOnScreen);

    adjustSize();
    // It may grow to the whole available height, in its own proportion.
    setMinimumSize(SmallestSize);
    setMaximumSize(
        ClickOptionsLayout::maximumSize(size(), logicalWorkArea().height(), SmallestSize));
    UpdateUI();
}

ClickOptionsWindow::~ClickOptionsWindow()
{
    delete ui;
}

void ClickOptionsWindow::UpdateStoredSettings()
{
    FacialDetectionApp *application = app();
    if (!application || showingSettings)
        return;
    QList<QPair<QString, QVariant>> pairs;
    for (const ModeBinding &b : Bindings) {
        pairs.append({QString::fromLatin1(b.modeKey), (ui->*b.mode)->isChecked() ? 1 : 0});
        pairs.append({QString::fromLatin1(b.lockKey), (ui->*b.lock)->isChecked() ? 1 : 0});
    }
    application->setSettings(pairs);
}

void ClickOptionsWindow::UpdateUI()
{
    FacialDetectionApp *application = app();
    if (!application)
        return;
    showingSettings = true;
    // Shown off together, although the group lets one at most be chosen by clicking.
    ui->timesDragScrollGroup->setExclusive(false);
    for (const ModeBinding &b : Bindings) {
        const bool mode = isOn(application, b.modeKey);
        (ui->*b.mode)->setChecked(mode);
        QPushButton *lock = ui->*b.lock;
        lock->setEnabled(mode);
        // A lock only holds a chosen mode.
        lock->setChecked(mode && isOn(application, b.lockKey));
    }
    ui->timesDragScrollGroup->setExclusive(true);
    showClickingState(application->clickingActive);
    showingSettings = false;
    // What the buttons cannot show (a lock without its mode, no button chosen) is written
    // back as shown; a write that changes nothing ends the exchange.
    UpdateStoredSettings();
}

void ClickOptionsWindow::ResetSettings()
{
    if (FacialDetectionApp *application = app())
        application->ResetClickOptions_Hard();
}

void ClickOptionsWindow::ToggleActiveInactive()
{
    FacialDetectionApp *application = app();
    if (!application)
        return;
    // Decided by the live switch, which the click-pause window and the hotkey change too.
    const bool active = !application->clickingActive;
    application->setClickingActive(active);
    showClickingState(active);
    application->setSettings({{QString::fromLatin1(CLICK_OPTION_CLICKING_ACTIVE), active ? 1 : 0}});
}

void ClickOptionsWindow::showClickingState(bool active)
{
    ui->pauseButton->setText(active ? tr("Pause\nClicking") : tr("Activate\nClicking"));
    ui->pauseButton->setChecked(!active);
}

int ClickOptionsWindow::heightForWidth(int width) const
{
    return ClickOptionsLayout::heightForWidth(aspectRatio, width);
}

int ClickOptionsWindow::widthForHeight(int height) const
{
    return ClickOptionsLayout::widthForHeight(aspectRatio, height);
}

void ClickOptionsWindow::enterEvent(QEvent *event)
{
    focus.pointerEntered(effectiveWinId());
    // While the pointer is here, a click is a plain left click whatever the options say.
    if (FacialDetectionApp *application = app())
        application->setPointerOverClickOptions(true);
    QDialog::enterEvent(event);
}

void ClickOptionsWindow::leaveEvent(QEvent *event)
{
    if (FacialDetectionApp *application = app())
        application->setPointerOverClickOptions(false);
    focus.pointerLeft();
    QDialog::leaveEvent(event);
}

void ClickOptionsWindow::recordLayout()
{
    using namespace ClickOptionsLayout;
    const QWidget *chain[ChainLength] = {ui->leftClick, ui->rightClick, ui->line,   ui->times2,
                                         ui->drag,      ui->scroll,     ui->line_2, ui->resetButton,
                                         ui->line_3,    ui->pauseButton};
    std::array<QRect, ChainLength> geometry;
    for (int i = 0; i < ChainLength; ++i)
        geometry[size_t(i)] = chain[i]->geometry();
    recorded = record(geometry);
}

void ClickOptionsWindow::layOut(int width)
{
    using namespace ClickOptionsLayout;
    const Placement placement = place(recorded, heightScale, widthGrowth, width);
    QWidget *chain[ChainLength] = {ui->leftClick, ui->rightClick, ui->line,   ui->times2,
                                   ui->drag,      ui->scroll,     ui->line_2, ui->resetButton,
                                   ui->line_3,    ui->pauseButton};
    for (int i = 0; i < ChainLength; ++i) {
        const QRect &r = placement.chain[size_t(i)];
        chain[i]->setFixedSize(r.size());
        chain[i]->move(r.topLeft());
    }
    for (size_t m = 0; m < ModeButtons.size(); ++m) {
        QPushButton *mode = ui->*Bindings[m].mode;
        QPushButton *lock = ui->*Bindings[m].lock;
        mode->setIconSize(QSize(placement.modeIconSide, placement.modeIconSide));
        const QRect &r = placement.locks[m];
        lock->setFixedSize(r.size());
        lock->move(r.topLeft());
        lock->setIconSize(QSize(placement.lockIconSide, placement.lockIconSide));
    }
    if (placement.fontPointSize > 0) {
        QFont font = ui->resetButton->font();
        font.setPointSize(placement.fontPointSize);
        ui->resetButton->setFont(font);
        ui->pauseButton->setFont(font);
    }
}

void ClickOptionsWindow::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    if (firstResizePending) {
        // The layout as designed, and the proportion the window keeps from now on.
        recordLayout();
        firstResizePending = false;
        if (aspectRatio == 0 && height() > 0) {
            referenceSize = size();
            aspectRatio = double(width()) / height();
        }
        applyAspectRatio();
        return;
    }
    if (referenceSize.isEmpty())
        return;
    heightScale = double(height()) / referenceSize.height();
    widthGrowth = width() - referenceSize.width();
    layOut(width());
    applyAspectRatio();
    // Grown in proportion, a window flush with an edge grows past it: once the sizing settles
    // it is brought back.
    if (isVisible() && !isMinimized()) {
        resizedSinceSettled = true;
        moveSettled.start();
    }
}

void ClickOptionsWindow::moveEvent(QMoveEvent *event)
{
    QDialog::moveEvent(event);
    applyAspectRatio();
    if (isVisible() && !isMinimized())
        moveSettled.start();
}

void ClickOptionsWindow::keepOnScreen()
{
    const QRect screen = platform::pointerScreens().logicalVirtualScreen();
    if (screen.isEmpty() || !isVisible() || isMinimized())
        return;
    QRect frame = frameGeometry();
    // Never taller than the work area (a screen scaled up, a window manager that kept an older
    // size): smaller, in its own proportion.
    const QRect area = logicalWorkArea();
    const int decoration = frame.height() - height();
    if (!area.isEmpty() && frame.height() > area.height() && area.height() > decoration) {
        const int h = qMax(minimumHeight(), area.height() - decoration);
        resize(qMax(minimumWidth(), width() * h / height()), h);
        frame = frameGeometry();
    }
    // Its whole frame stays on the screens; resized on the primary screen, inside the work
    // area, where the first run put it.
    const bool resized = std::exchange(resizedSinceSettled, false);
    const QRect bounds = resized && !area.isEmpty() && onPrimaryScreen(this) ? area : screen;
    const QRect kept = ClickOptionsLayout::clampToScreen(frame, bounds);
    if (kept.topLeft() != frame.topLeft())
        move(kept.topLeft());
}

void ClickOptionsWindow::applyAspectRatio()
{
    if (referenceSize.isEmpty() || !testAttribute(Qt::WA_WState_Created) || !isVisible())
        return;
    platform::process().setAspectRatio(winId(), referenceSize);
}

void ClickOptionsWindow::closeEvent(QCloseEvent *event)
{
    // The palette lives as long as the program: its close button only puts it away.
    event->ignore();
    showMinimized();
}

void ClickOptionsWindow::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // The toolkit writes the window's size hints as it maps it, after this event.
    QMetaObject::invokeMethod(
        this, [this] { applyAspectRatio(); }, Qt::QueuedConnection);
    // Restored before it was framed, its place is checked again with the frame.
    fitToWorkAreaOnceFramed(this);
}

void ClickOptionsWindow::hideEvent(QHideEvent *event)
{
    // A window taken away under the pointer gets no leave: the engine must not go on
    // clicking plainly everywhere.
    if (FacialDetectionApp *application = app())
        application->setPointerOverClickOptions(false);
    QDialog::hideEvent(event);
}
