// The settings file's check, backup, rejection and the migration from older versions.

#include "core/SettingsFileCheck.h"
#include "core/AppFilePaths.h"
#include "tests/support/DialogAnswerer.h"
#include "tests/support/TestHome.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

TEST(SettingsLine, AcceptsTheCharactersTheProgramWrites)
{
    for (const char *line : {"CLICK_MODE=1", "[General]", "HHS_TIME=7000", "KEY=a.b (c) @ \\x", "",
                             "DEFAULT_CAMERA=HD Webcam 2.0"})
        EXPECT_TRUE(isValidSettingsLine(line)) << line;
}

TEST(SettingsLine, RejectsEverythingElse)
{
    for (const char *line : {"A=1,2", "CAMERA=usb-cam", "PATH=/dev/video0", "A=b:c", "A=\"x\"",
                             "A=\xc3\xa9", "A=1;", "A\t=1"})
        EXPECT_FALSE(isValidSettingsLine(QString::fromUtf8(line))) << line;
}

class SettingsFile : public ::testing::Test
{
protected:
    QString write(const QByteArray &content)
    {
        const QString path = home.path() + "/TovraMouse.ini";
        TestHome::writeFile(path, content);
        return path;
    }
    TestHome home;
};

TEST_F(SettingsFile, GeometryLinesAndSectionsAreAccepted)
{
    EXPECT_TRUE(checkSettingsFile(write("[General]\nCLICK_MODE=1\n\n[MainWindow]\n"
                                        "geometry=@ByteArray(\\x1\\xd9\\xd0\\xcb,-/\"\\0)\n")));
    EXPECT_TRUE(checkSettingsFile(write("")));
}

TEST_F(SettingsFile, ValuesTheProgramWritesItselfAreExempt)
{
    EXPECT_TRUE(checkSettingsFile(
        write("[General]\nDEFAULT_CAMERA=HD Webcam: HD Webcam (usb-0000:00:14.0-1)\n"
              "HK_KEYSEQ_RECENTER=\"Shift+Alt+,\"\nCLICK_MODE=1\n")));
    // The exemption covers the value only, never the key.
    EXPECT_FALSE(checkSettingsFile(write("[General]\nDEFAULT-CAMERA=x\n")));
}

TEST_F(SettingsFile, AnyOtherBadLineFailsTheFile)
{
    EXPECT_FALSE(checkSettingsFile(write("[General]\nCLICK_MODE=1\nMOTION_MODE=1,2\n")));
    EXPECT_FALSE(checkSettingsFile(home.path() + "/missing.ini"));
}

TEST_F(SettingsFile, FirstRunOnV3IsReadFromItsFirstLine)
{
    EXPECT_FALSE(isFirstRunOnV3(write("FIRST_RUN_ON_V3X=0\n")));
    EXPECT_TRUE(isFirstRunOnV3(write("FIRST_RUN_ON_V3X=1\n")));
    EXPECT_TRUE(isFirstRunOnV3(write("FIRST_RUN_ON_V3X=true\n")));
    EXPECT_TRUE(isFirstRunOnV3(write("CLICK_MODE=0\n")));
    EXPECT_FALSE(isFirstRunOnV3(write("FIRST_RUN_ON_V3X=0\nFIRST_RUN_ON_V3X=1\n")));
    EXPECT_TRUE(isFirstRunOnV3(home.path() + "/missing.ini"));
}

TEST_F(SettingsFile, HotkeySwitchesMarkAVersion3File)
{
    EXPECT_TRUE(hasHotkeySettings(write("FIRST_RUN_ON_V3X=1\nHK_ACTIVATE_PLAYPAUSE=0\n")));
    EXPECT_FALSE(hasHotkeySettings(write("CLICK_MODE=1\n")));
    EXPECT_FALSE(hasHotkeySettings(home.path() + "/missing.ini"));
}

TEST_F(SettingsFile, BackupReplacesTheOldBackup)
{
    const QString path = write("CLICK_MODE=0\n");
    const QString backup = home.path() + "/TovraMouse.ini.bak";
    TestHome::writeFile(backup, "old");
    backupSettingsFile(path, backup);
    EXPECT_EQ(TestHome::readFile(backup), "CLICK_MODE=0\n");
}

TEST_F(SettingsFile, EveryRejectedFileIsKeptNotDeleted)
{
    const QString rejected = home.path() + "/TovraMouse.ini.rejected";
    for (const char *content : {"CLICK_MODE=1,2\n", "CLICK_MODE=3,4\n", "CLICK_MODE=5,6\n"}) {
        const QString path = write(content);
        EXPECT_TRUE(rejectSettingsFile(path, rejected));
        EXPECT_FALSE(QFile::exists(path));
    }
    EXPECT_EQ(TestHome::readFile(rejected), "CLICK_MODE=1,2\n");
    EXPECT_EQ(TestHome::readFile(rejected + ".2"), "CLICK_MODE=3,4\n");
    EXPECT_EQ(TestHome::readFile(rejected + ".3"), "CLICK_MODE=5,6\n");
    EXPECT_EQ(freeRejectedPath(rejected), rejected + ".4");
}

// The migration asks twice, offers a save dialog and removes the live file.
class Migration : public SettingsFile
{
protected:
    void SetUp() override
    {
        initDataFolder();
        initFileLocations();
        TestHome::writeFile(AppFilePaths::settingsFile, "CLICK_MODE=0\nMOTION_MODE=1\n");
        backupSettingsFile(AppFilePaths::settingsFile, AppFilePaths::settingsBackupFile);
    }
};

TEST_F(Migration, SavesTheOldFileWhereTheUserChoseAndRemovesTheLiveOne)
{
    const QString chosen = home.path() + "/saved-old.ini";
    DialogAnswerer answerer;
    answerer.enqueue(DialogAnswerer::pressButton("OK"));
    answerer.enqueue(DialogAnswerer::chooseFile(chosen));
    answerer.enqueue(DialogAnswerer::pressButton("OK"));
    answerer.enqueue(DialogAnswerer::pressButton("OK"));
    migrateOldSettingsFile();
    EXPECT_EQ(TestHome::readFile(chosen), "CLICK_MODE=0\nMOTION_MODE=1\n");
    EXPECT_FALSE(QFile::exists(AppFilePaths::settingsFile));
    EXPECT_EQ(answerer.titles(),
              (QStringList{"Welcome to Version 3.x!",
                           "Select a location to save your OLD settings as a Backup",
                           "Backup Old Settings", "Thank you for upgrading to v3.x!"}));
    EXPECT_EQ(answerer.texts().value(2), "Old settings file saved successfully!");
}

TEST_F(Migration, ACancelledSaveStillMigrates)
{
    DialogAnswerer answerer;
    answerer.enqueue(DialogAnswerer::pressButton("OK"));
    answerer.enqueue(DialogAnswerer::chooseFile(QString()));
    migrateOldSettingsFile();
    EXPECT_FALSE(QFile::exists(AppFilePaths::settingsFile));
    EXPECT_EQ(answerer.titles().size(), 3);
}

TEST_F(Migration, WithoutItsBackupTheLiveFileIsKept)
{
    QFile::remove(AppFilePaths::settingsBackupFile);
    DialogAnswerer answerer;
    migrateOldSettingsFile();
    EXPECT_TRUE(QFile::exists(AppFilePaths::settingsFile));
}

} // namespace
