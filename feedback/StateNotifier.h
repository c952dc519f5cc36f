#pragma once

#include <QObject>
#include <QString>

class NotificationWidget;

// Owns one pointer-following image (see NotificationWidget) and takes the tracker's queued
// signals for it on the GUI thread. The window is made by the first image and kept for the
// rest of the run; everything sent before that first image is ignored.
class StateNotifier : public QObject
{
    Q_OBJECT
public:
    explicit StateNotifier(QObject *parent = nullptr);

    void setImagePath(const QString &imagePath);
    void setKeepOnScreen(bool keep);
    void moveToPointer();

    NotificationWidget *widget() const { return notification; }

public slots:
    void OnSN_SetImagePath(QString imagePath);
    void OnSN_SetDelta(int iX, int iY);
    void OnSN_SetSize(int iX, int iY);
    void OnSN_UpdateMousePosition();
    void OnSN_UpdateScrollParams(int iScrollNdx, int iScrollDir);

private:
    NotificationWidget *notification = nullptr;
};

// The four pointer-following images: motion and dwell, face, smile level, scroll direction.
extern StateNotifier MotionSN;
extern StateNotifier FaceSN;
extern StateNotifier SmileSN;
extern StateNotifier ScrollSN;
