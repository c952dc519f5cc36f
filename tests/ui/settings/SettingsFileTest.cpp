// Saving the settings file to a place the user picks and restoring it from one, through the
// buttons of "7. My Tovra Mouse" with the file dialogs and notices answered as a user would.

#include "core/AppFilePaths.h"
#include "core/FacialDetectionApp.h"
#include "core/SettingsKeys.h"
#include "tests/support/DialogAnswerer.h"
#include "tests/support/TestHome.h"
#include "tests/ui/settings/SettingsWindowTestSupport.h"
#include "ui/settings/SettingsFileCopy.h"
#include "ui/settings/SettingsWindow.h"

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QSlider>
#include <QStandardPaths>
#include <QtTest/QTest>
#include <gtest/gtest.h>

using namespace SettingKeys;

namespace {

class SettingsFileTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        freshSettings();
        app()->setSetting(MOUSE_SENSIVITY_X, 4);
        QFile::remove(backup());
    }

    void press(const char *name) { window.findChild<QAbstractButton *>(name)->click(); }
    static QString home() { return QDir::homePath(); }
    static QString backup() { return AppFolders::settingsFolder + "/TovraMouse-bak.ini"; }
    static QByteArray live() { return TestHome::readFile(AppFilePaths::settingsFile); }

    // Chooses the file in the dialog and reads the notices that follow.
    void answerWith(const QString &file, int notices = 1)
    {
        answerer.enqueue(DialogAnswerer::chooseFile(file));
        for (int i = 0; i < notices; ++i)
            answerer.enqueue(DialogAnswerer::pressButton("OK"));
    }
    QStringList notices() const { return answerer.texts().mid(1); }

    DialogAnswerer answerer;
    SettingsWindow window;
};

TEST_F(SettingsFileTest, SavingCopiesTheLiveFileAndReplacesAnOlderCopy)
{
    const QString target = home() + "/mine.ini";
    TestHome::writeFile(target, "older");
    answerer.enqueue(DialogAnswerer::chooseFile(target));
    // The dialog itself asks before it replaces a file.
    answerer.enqueue(DialogAnswerer::pressButton("Yes"));
    answerer.enqueue(DialogAnswerer::pressButton("OK"));
    press("pushButtonSaveSettings");
    EXPECT_EQ(TestHome::readFile(target), live());
    EXPECT_EQ(answerer.titles().value(0), "Select a location to save your current settings");
    EXPECT_EQ(answerer.texts().last(), "Settings file saved successfully!");
}

TEST_F(SettingsFileTest, SavingOntoTheLiveFileLeavesItAndSavingWhereNoFileCanBeFails)
{
    const QByteArray before = live();
    answerer.enqueue(DialogAnswerer::chooseFile(AppFilePaths::settingsFile));
    answerer.enqueue(DialogAnswerer::pressButton("Yes"));
    answerer.enqueue(DialogAnswerer::pressButton("OK"));
    press("pushButtonSaveSettings");
    EXPECT_EQ(live(), before);
    EXPECT_EQ(answerer.texts().last(), "Settings file saved successfully!");

    // A folder that is a file: nobody can write there.
    TestHome::writeFile(home() + "/plain", "not a folder");
    answerWith(home() + "/plain/mine.ini");
    press("pushButtonSaveSettings");
    EXPECT_EQ(answerer.texts().last(), "Could not save settings file.  Please retry.");
}

TEST_F(SettingsFileTest, ACancelledDialogDoesNothing)
{
    const QByteArray before = live();
    answerWith(QString(), 0);
    press("pushButtonRestoreSettings");
    answerWith(QString(), 0);
    press("pushButtonSaveSettings");
    EXPECT_EQ(answerer.titles().size(), 2);
    EXPECT_EQ(live(), before);
    EXPECT_FALSE(QFile::exists(backup()));
}

// The restored file replaces the live one, the old one is kept beside it, and the window
// shows the restored values once the user has read the notice.
TEST_F(SettingsFileTest, RestoringKeepsABackupAndReloadsAfterTheNotice)
{
    const QByteArray before = live();
    const QString source = home() + "/restore me.ini";
    QFile::copy(AppFilePaths::settingsFile, source);
    {
        QSettings file(source, QSettings::IniFormat);
        file.setValue(MOUSE_SENSIVITY_X, 8);
        file.setValue(FIRST_RUN_ON_V3X, 1);
    }
    auto *slider = window.findChild<QSlider *>("mouseSensitivityXSlider");
    int shownAtNotice = -1;
    answerer.enqueue(DialogAnswerer::chooseFile(source));
    answerer.enqueue([&](QWidget *modal) {
        shownAtNotice = slider->value();
        DialogAnswerer::pressButton("OK")(modal);
    });
    press("pushButtonRestoreSettings");

    EXPECT_EQ(answerer.titles().value(0), "Choose a .ini file to restore settings from");
    EXPECT_EQ(notices(), QStringList{"Settings file restored successfully!"});
    EXPECT_EQ(TestHome::readFile(backup()), before);
    EXPECT_EQ(shownAtNotice, 4);
    EXPECT_EQ(slider->value(), 8);
    EXPECT_EQ(app()->getSetting(MOUSE_SENSIVITY_X).toInt(), 8);
    // The next start takes the restored file as it is, without a first-run reset.
    EXPECT_EQ(
        QSettings(AppFilePaths::settingsFile, QSettings::IniFormat).value(FIRST_RUN_ON_V3X).toInt(),
        0);
}

// The two files a restore writes can be its own source: the backup and the live file.
TEST_F(SettingsFileTest, RestoringFromTheBackupOrTheLiveFileRestoresWhatTheyHeld)
{
    const QByteArray older = "[General]\nMOUSE_SENSIVITY_X=7\n";
    TestHome::writeFile(backup(), older);
    answerWith(backup());
    press("pushButtonRestoreSettings");
    EXPECT_EQ(app()->getSetting(MOUSE_SENSIVITY_X).toInt(), 7);

    answerWith(AppFilePaths::settingsFile);
    press("pushButtonRestoreSettings");
    EXPECT_EQ(app()->getSetting(MOUSE_SENSIVITY_X).toInt(), 7);
    EXPECT_EQ(notices().last(), "Settings file restored successfully!");
}

TEST_F(SettingsFileTest, ABackupThatCannotBeWrittenIsReportedAndTheRestoreGoesOn)
{
    QDir().mkpath(backup());
    const QString source = home() + "/other.ini";
    TestHome::writeFile(source, "[General]\nMOUSE_SENSIVITY_X=6\n");
    answerWith(source, 2);
    press("pushButtonRestoreSettings");
    EXPECT_EQ(notices(),
              (QStringList{"Could not backup current .ini file!  Continuing to restore...",
                           "Settings file restored successfully!"}));
    EXPECT_EQ(app()->getSetting(MOUSE_SENSIVITY_X).toInt(), 6);
    QDir(backup()).removeRecursively();
}

TEST_F(SettingsFileTest, ASourceThatCannotBeReadLeavesTheLiveFileAlone)
{
    const QByteArray before = live();
    const QString source = home() + "/unreadable.ini";
    TestHome::writeFile(source, "[General]\nMOUSE_SENSIVITY_X=2\n");
    QFile::setPermissions(source, QFile::WriteOwner);
    if (QFile(source).open(QIODevice::ReadOnly)) {
        // Root reads any file: a folder stands in for the source the window cannot read.
        bool ok = true;
        SettingsFileCopy::read(home(), &ok);
        EXPECT_FALSE(ok);
        return;
    }
    answerWith(source);
    press("pushButtonRestoreSettings");
    EXPECT_EQ(notices(),
              QStringList{"Could not copy input file to the standard location.  Please retry."});
    EXPECT_EQ(live(), before);
    EXPECT_EQ(app()->getSetting(MOUSE_SENSIVITY_X).toInt(), 4);
}

} // namespace
