#pragma once

#include "platform/OverlayShapes.h"

// Window shapes in memory; calls are logged under "shapes". A compositing manager always runs
// here, so the toolkit's windows in tests are never cut.
namespace platform {

class RecordingOverlayShapes : public OverlayShapes
{
public:
    bool isCompositing() override { return true; }
    void cutTo(quintptr window, const QVector<QRect> &shown) override;
    void uncut(quintptr window) override;
    void declareFrameless(quintptr) override {}
};

RecordingOverlayShapes &recordingOverlayShapes();

} // namespace platform
