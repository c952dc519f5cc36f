#include "core/AppFilePaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

QString AppFolders::dataFolder;
QString AppFolders::videoFolder;
QString AppFolders::tempFolder;
QString AppFolders::settingsFolder;

QString AppFilePaths::processingDataFile;
QString AppFilePaths::processingTimeFile;
QString AppFilePaths::debugLogFile;
QString AppFilePaths::inputVideoFile;
QString AppFilePaths::playbackVideoFile;
QString AppFilePaths::landmarkModelTempFile;
QString AppFilePaths::settingsFile;
QString AppFilePaths::settingsBackupFile;
QString AppFilePaths::settingsRejectedFile;

QString computeDataFolder()
{
    if (QCoreApplication::organizationName().isEmpty())
        QCoreApplication::setOrganizationName(QStringLiteral("Quillorent Devices"));
    if (QCoreApplication::applicationName().isEmpty())
        QCoreApplication::setApplicationName(QStringLiteral("Tovra Mouse"));
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

void initDataFolder()
{
    AppFolders::dataFolder = computeDataFolder();
    QDir().mkpath(AppFolders::dataFolder);
    AppFilePaths::debugLogFile = AppFolders::dataFolder + "/DebugMessages.txt";
}

void initFileLocations()
{
    AppFilePaths::processingDataFile = AppFolders::dataFolder + "/ProcessingData.txt";
    AppFilePaths::processingTimeFile = AppFolders::dataFolder + "/ProcessingTime.txt";

    const QString home = QStandardPaths::writableLocation(QStandardPaths::HomeLocation);
    AppFolders::videoFolder = home;
    QDir().mkpath(AppFolders::videoFolder);
    AppFilePaths::inputVideoFile = AppFolders::videoFolder + "/input.avi";
    AppFilePaths::playbackVideoFile = AppFolders::videoFolder + "/Playback.avi";

    AppFolders::tempFolder = QStandardPaths::writableLocation(QStandardPaths::TempLocation);
    QDir().mkpath(AppFolders::tempFolder);
    AppFilePaths::landmarkModelTempFile = AppFolders::tempFolder + "/tmp";

    AppFolders::settingsFolder = computeDataFolder();
    QDir().mkpath(AppFolders::settingsFolder);
    AppFilePaths::settingsFile = AppFolders::settingsFolder + "/TovraMouse.ini";
    AppFilePaths::settingsBackupFile = AppFolders::settingsFolder + "/TovraMouse.ini.bak";
    AppFilePaths::settingsRejectedFile = AppFolders::settingsFolder + "/TovraMouse.ini.rejected";
}
