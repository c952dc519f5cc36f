// The input wrappers of the click engine, on the recording input service.

#include "engine/SyntheticInput.h"
#include "platform/Platform.h"
#include "platform/PointerScreens.h"
#include "platform/recording/CallLog.h"
#include "platform/recording/RecordingPointerScreens.h"

#include <gtest/gtest.h>

using platform::CallLog;

namespace {

struct Input : ::testing::Test
{
    void SetUp() override { platform::installRecording(); }
    static QStringList events() { return platform::recordingLog().calls("input"); }
    static QVector<CallLog::Entry> entries()
    {
        QVector<CallLog::Entry> input;
        for (const CallLog::Entry &e : platform::recordingLog().entries()) {
            if (e.service == "input")
                input.append(e);
        }
        return input;
    }
};

} // namespace

TEST_F(Input, ASingleClickIsADownAndAnUpOfItsButton)
{
    sendLeftClick();
    sendRightClick();
    EXPECT_EQ(events(), (QStringList{"button(left,down)", "button(left,up)", "button(right,down)",
                                     "button(right,up)"}));
}

TEST_F(Input, ADoubleClickPausesAtLeastTwentyFiveMillisecondsBetweenItsClicks)
{
    for (bool right : {false, true}) {
        platform::recordingLog().clear();
        sendDoubleClick(right);
        const QString button = right ? "right" : "left";
        EXPECT_EQ(events(),
                  (QStringList{"button(" + button + ",down)", "button(" + button + ",up)",
                               "button(" + button + ",down)", "button(" + button + ",up)"}));
        const QVector<CallLog::Entry> e = entries();
        ASSERT_EQ(e.size(), 4);
        EXPECT_GE(e[2].timeMs - e[1].timeMs, 25);
    }
}

TEST_F(Input, EveryKeyPressSendsItsKeyAndHoldsItAtLeastTwelveMilliseconds)
{
    struct KeyFunction
    {
        void (*press)();
        QString name;
    };
    const KeyFunction keys[] = {{sendEnterPress, "Return"}, {sendSpacePress, "Space"},
                                {sendOnePress, "1"},        {sendF12Press, "F12"},
                                {sendF13Press, "F13"},      {sendF14Press, "F14"}};
    for (const KeyFunction &key : keys) {
        SCOPED_TRACE(key.name.toStdString());
        platform::recordingLog().clear();
        key.press();
        EXPECT_EQ(events(),
                  (QStringList{"key(" + key.name + ",down)", "key(" + key.name + ",up)"}));
        const QVector<CallLog::Entry> e = entries();
        ASSERT_EQ(e.size(), 2);
        EXPECT_GE(e[1].timeMs - e[0].timeMs, 12);
    }
}

TEST_F(Input, TheWheelTurnsWholeNotchesAndAZeroDeltaSendsNothing)
{
    sendWheel(0);
    EXPECT_TRUE(events().isEmpty());
    sendWheel(240);
    sendWheel(-120);
    EXPECT_EQ(events(), (QStringList{"wheel(up)", "wheel(up)", "wheel(down)"}));
}

TEST_F(Input, PositionsAreLogicalAndStepsPhysical)
{
    platform::pointerScreens().setDevicePixelRatio(2.0);
    platform::recordingPointerScreens().setScreens(QRect(0, 0, 3840, 2160));
    platform::recordingPointerScreens().setPointer(QPoint(101, 51));
    int x = 0, y = 0;
    ASSERT_TRUE(getCursorPosScaled(x, y));
    EXPECT_EQ(QPoint(x, y), QPoint(50, 25));

    movePointerAbsolute(50, 25);
    EXPECT_EQ(platform::recordingPointerScreens().pointer(), QPoint(100, 50));
    movePointerRelative(-7, 9);
    EXPECT_EQ(platform::recordingPointerScreens().pointer(), QPoint(93, 59));
}

TEST_F(Input, WithoutAPrimaryScreenAnAbsoluteMoveIsRefusedOnTheErrorStream)
{
    platform::recordingPointerScreens().setScreens(QRect());
    testing::internal::CaptureStderr();
    movePointerAbsolute(10, 10);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Error 1402!\n");
    EXPECT_TRUE(events().isEmpty());
}

TEST_F(Input, AnUnreadablePointerLeavesThePositionAlone)
{
    platform::recordingPointerScreens().setFailing(true);
    int x = 3, y = 4;
    EXPECT_FALSE(getCursorPosScaled(x, y));
    EXPECT_EQ(QPoint(x, y), QPoint(3, 4));
}
