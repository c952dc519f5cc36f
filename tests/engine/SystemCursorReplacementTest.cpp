// Replacing and restoring the desktop's cursors with the program's cursor files (from the
// program folder, the tests' working folder), on the recording cursor service.

#include "engine/SystemCursorReplacement.h"
#include "platform/Platform.h"
#include "platform/recording/CallLog.h"
#include "platform/recording/RecordingSystemCursors.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using Shape = platform::SystemCursors::Shape;

namespace {

const Shape AllShapes[] = {Shape::Arrow, Shape::Cross, Shape::Hand, Shape::IBeam};

QStringList &warnings()
{
    static QStringList lines;
    return lines;
}

void collect(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtWarningMsg)
        warnings() << message;
}

struct Cursors : ::testing::Test
{
    void SetUp() override
    {
        // No slot stays marked replaced from an earlier test.
        restoreSystemCursors();
        platform::installRecording();
        warnings().clear();
        previous = qInstallMessageHandler(&collect);
    }
    void TearDown() override { qInstallMessageHandler(previous); }
    static QString shown(Shape shape)
    {
        return platform::recordingSystemCursors().shownFile(shape);
    }
    QtMessageHandler previous = nullptr;
};

} // namespace

TEST_F(Cursors, EachShapeReplacesAllFourCursorsWithItsFile)
{
    const std::pair<void (*)(), QString> sets[] = {
        {setPointingCursors, "RoundedArrowTip-Small.cur"},
        {setScrollMidCursors, "ScrollMid2.cur"},
        {setScrollUpCursors, "ScrollUP2.cur"},
        {setScrollDownCursors, "ScrollDOWN2.cur"},
        {setDragCursors, "DragArrowTip-Small.cur"}};
    for (const auto &set : sets) {
        SCOPED_TRACE(set.second.toStdString());
        set.first(); // one after the other, without a restore between
        for (Shape shape : AllShapes)
            EXPECT_EQ(shown(shape), set.second);
        for (const CursorSlot &slot : cursorSlots())
            EXPECT_TRUE(slot.replaced);
    }
    EXPECT_EQ(platform::recordingSystemCursors().shownHotSpot(Shape::Arrow), QPoint(2, 2));
    EXPECT_TRUE(warnings().isEmpty()) << warnings().join('\n').toStdString();
}

TEST_F(Cursors, RestoringPutsBackOnlyWhatWasReplacedAndNothingWhenNothingWas)
{
    restoreSystemCursors();
    EXPECT_TRUE(platform::recordingLog().calls("cursors").isEmpty());

    setScrollUpCursors();
    platform::recordingLog().clear();
    restoreSystemCursors();
    EXPECT_EQ(platform::recordingLog().calls("cursors"),
              (QStringList{"restore(Arrow)", "restore(Cross)", "restore(Hand)", "restore(IBeam)"}));
    for (Shape shape : AllShapes)
        EXPECT_TRUE(shown(shape).isEmpty());
    for (const CursorSlot &slot : cursorSlots())
        EXPECT_FALSE(slot.replaced);
    // Restored once, the second call of a quit has nothing left to do.
    platform::recordingLog().clear();
    restoreSystemCursors();
    EXPECT_TRUE(platform::recordingLog().calls("cursors").isEmpty());

    // A shape whose file could not be used was never replaced, so it is not "restored".
    loadSystemCursor(cursorSlots()[1], "Missing-For-The-Restore-Test.cur");
    loadSystemCursor(cursorSlots()[2], systemCursorFiles[0]);
    platform::recordingLog().clear();
    restoreSystemCursors();
    EXPECT_EQ(platform::recordingLog().calls("cursors"), QStringList{"restore(Hand)"});
}

TEST_F(Cursors, AFileThatCannotBeUsedIsReportedOncePerRunAndLeavesTheCursorsAlone)
{
    const QString missing = "Missing-For-This-Test.cur";
    ASSERT_FALSE(QFile::exists(missing));
    for (int call = 0; call < 3; ++call) {
        for (CursorSlot &slot : cursorSlots())
            loadSystemCursor(slot, missing);
    }
    EXPECT_EQ(warnings(),
              QStringList{"LoadImage() failed with error 2: No such file or directory"});
    for (Shape shape : AllShapes)
        EXPECT_TRUE(shown(shape).isEmpty());

    QTemporaryDir dir;
    const QString broken = dir.filePath("Broken.cur");
    QFile file(broken);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("MZ not a cursor");
    file.close();
    loadSystemCursor(cursorSlots()[0], broken);
    loadSystemCursor(cursorSlots()[1], broken);
    ASSERT_EQ(warnings().size(), 2);
    EXPECT_EQ(warnings().last(), "LoadImage() failed with error 22: not a Windows cursor file");

    // The good files still work.
    setDragCursors();
    EXPECT_EQ(shown(Shape::Hand), "DragArrowTip-Small.cur");
    EXPECT_EQ(warnings().size(), 2);
}
