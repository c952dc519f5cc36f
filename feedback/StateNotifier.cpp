#include "feedback/StateNotifier.h"

#include "feedback/NotificationWidget.h"

StateNotifier MotionSN;
StateNotifier FaceSN;
StateNotifier SmileSN;
StateNotifier ScrollSN;

StateNotifier::StateNotifier(QObject *parent)
    : QObject(parent)
{}

void StateNotifier::setImagePath(const QString &imagePath)
{
    if (!notification) {
        notification = new NotificationWidget(nullptr);
        notification->show();
    } else if (notification->isHidden()) {
        notification->show();
        notification->raise();
    }
    notification->setImagePath(imagePath);
}

void StateNotifier::setKeepOnScreen(bool keep)
{
    if (notification)
        notification->setKeepOnScreen(keep);
}

void StateNotifier::moveToPointer()
{
    if (notification)
        notification->moveToPointer();
}

void StateNotifier::OnSN_SetImagePath(QString imagePath)
{
    setImagePath(imagePath);
}

void StateNotifier::OnSN_SetDelta(int iX, int iY)
{
    if (notification)
        notification->setDelta(iX, iY);
}

void StateNotifier::OnSN_SetSize(int iX, int iY)
{
    if (notification)
        notification->setSize(iX, iY);
}

void StateNotifier::OnSN_UpdateMousePosition()
{
    if (notification)
        notification->mpUpdateMousePosition();
}

void StateNotifier::OnSN_UpdateScrollParams(int iScrollNdx, int iScrollDir)
{
    if (notification)
        notification->setScrollParams(iScrollNdx, iScrollDir);
}
