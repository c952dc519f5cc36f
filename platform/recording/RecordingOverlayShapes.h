#pragma once

#include "platform/OverlayShapes.h"

// Window shapes in memory; calls are logged under "shapes". A compositing manager runs until a
// test says otherwise, so nothing is cut unless asked.
namespace platform {

class RecordingOverlayShapes : public OverlayShapes
{
public:
    bool isCompositing() override { return compositing; }
    void cutTo(quintptr window, const QVector<QRect> &shown) override;
    void uncut(quintptr window) override;

    // For tests: a compositing manager starting or ending.
    void setCompositing(bool running);
    void reset();

private:
    bool compositing = true;
};

RecordingOverlayShapes &recordingOverlayShapes();

} // namespace platform
