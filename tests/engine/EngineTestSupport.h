#pragma once

// Drives the click engine frame by frame with synthetic records on the recording back ends
// and a fake clock.

#include "core/Clock.h"
#include "core/SoundId.h"

#include <QPoint>
#include <QStringList>
#include <gtest/gtest.h>

#include <array>
#include <memory>

class EngineTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // A new frame with this head velocity, `dtMs` after the previous one; the stillness
    // detectors are updated as the frame loop does.
    void frame(double vx = 0.0, double vy = 0.0, int dtMs = 40);
    quint32 now() const;

    // What reached the desktop ("button(left,down)", "move(962,540)", ...).
    static QStringList input();
    static QStringList buttonsAndKeys();
    // The preloaded sounds played, in order, and the files played.
    static QList<SoundId> sounds();
    static QStringList soundFiles();
    static void clearLogs();
    static void setPointer(int x, int y);
    static QPoint pointer();

    // The engine's rule for held input, checked at every frame: the desktop holds what the
    // engine's owners hold, and an owner holds input only while its gesture says it does (one
    // frame of grace: a gesture stands aside on its next step). Tests that put the engine in a
    // state no frame could reach turn it off.
    void checkHeldInputRule();
    bool heldInputRuleChecked = true;

    std::unique_ptr<FakeClock> clock;
    // Off for tests on the real desktop.
    bool recordingBackends = true;

private:
    std::array<int, 8> unclaimedFrames{};
};
