#include "feedback/OnScreenWarning.h"

#include "feedback/OverlayShape.h"
#include "platform/Platform.h"
#include "platform/PointerScreens.h"

OnScreenWarning::OnScreenWarning(QWidget *parent)
    : QDialog(parent, Qt::Tool)
{
    setWindowFlags((windowFlags() | Qt::WindowDoesNotAcceptFocus | Qt::WindowTransparentForInput |
                    Qt::WindowStaysOnTopHint | Qt::FramelessWindowHint |
                    Qt::MSWindowsFixedSizeDialogHint) &
                   ~(Qt::WindowMaximizeButtonHint | Qt::WindowContextHelpButtonHint));
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    setModal(false);
    new OverlayShape(this);
}

void OnScreenWarning::placeOnPrimaryScreen(int heightDivisor)
{
    adjustSize();
    const QRect primary = platform::pointerScreens().logicalPrimaryScreen();
    const QRect frame = frameGeometry();
    move(primary.x() + primary.width() / 2 - frame.width() / 2,
         primary.y() + primary.height() / heightDivisor - frame.height() / 2);
}

void OnScreenWarning::Show()
{
    setVisible(true);
    emit shownChanged(true);
}

void OnScreenWarning::Hide()
{
    setVisible(false);
    emit shownChanged(false);
}
