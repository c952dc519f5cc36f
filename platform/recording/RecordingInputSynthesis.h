#pragma once

#include "platform/HeldInput.h"
#include "platform/InputSynthesis.h"

#include <QString>

#include <mutex>

// Input synthesis into memory. Every event that would reach the desktop is logged under
// "input", one entry per event: "move(x,y)", "button(left,down)", "wheel(up)" (one per
// notch), "key(F13,down)". Moves go to the recording pointer, kept on the virtual screen.
namespace platform {

class RecordingInputSynthesis : public InputSynthesis
{
public:
    bool moveAbsolute(int x, int y) override;
    bool moveRelative(int dx, int dy) override;
    bool buttonDown(MouseButton button) override;
    bool buttonUp(MouseButton button) override;
    bool wheel(int delta) override;
    bool keyDown(Key key) override;
    bool keyUp(Key key) override;
    void releaseAll() override;
    bool isHeld(MouseButton button) const override;
    bool isHeld(Key key) const override;

    static QString nameOf(Key key);
    int wheelRemainder() const { return held.wheelRemainder(); }
    void reset();

private:
    void logEvent(const QString &event, const QString &args);
    // eventMutex held.
    void logButtonUp(MouseButton button);
    void logKeyUp(Key key);

    // A press or release is logged and noted in one step.
    std::mutex eventMutex;
    HeldInput held;
};

RecordingInputSynthesis &recordingInputSynthesis();

} // namespace platform
