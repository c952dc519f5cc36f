#pragma once

#include <QObject>
#include <QString>

// What the click engine tells the windows: live gesture levels and states for the settings
// window, and the pointer-following status images. The engine runs on the tracker's thread
// and knows nothing of the tracker; the tracker owns one of these, registers it, and passes
// each signal on under its own signal of the same name, so windows connect to the tracker.
class EngineSignals : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

signals:
    void MotionSN_SetImagePath(QString imagePath);
    void MotionSN_UpdateMousePosition();
    void FaceSN_UpdateMousePosition();
    void SmileSN_SetImagePath(QString imagePath);
    void SmileSN_UpdateMousePosition();
    void ScrollSN_SetImagePath(QString imagePath);
    void ScrollSN_UpdateScrollParams(int iNdx, int iDir);
    void expressionIntensityChanged(QString name, int intensity, bool bSmooth, bool bColorGray,
                                    bool bFlipRedGreen);
    void expressionStateChanged(QString expressionName, bool isActive);
};

// The registered receiver of the engine's signals, or null while no tracker runs the engine
// (the engine then stays silent).
EngineSignals *engineSignals();
void setEngineSignals(EngineSignals *receiver);
