#pragma once

#include <QString>

// Folders the program computes once at start; read-only afterwards.
struct AppFolders
{
    // The per-user data folder: settings file, backups, logs.
    static QString dataFolder;
    // Where the video files for file input live (the home folder).
    static QString videoFolder;
    static QString tempFolder;
    // The folder of the settings file (the data folder).
    static QString settingsFolder;
};

// Files the program computes once at start; read-only afterwards, except the playback file,
// which the settings window replaces when the user picks a video.
struct AppFilePaths
{
    static QString processingDataFile;
    static QString processingTimeFile;
    static QString debugLogFile;
    static QString inputVideoFile;
    static QString playbackVideoFile;
    static QString landmarkModelTempFile;
    static QString settingsFile;
    static QString settingsBackupFile;
    // Where a settings file that failed its check is kept instead of being deleted.
    static QString settingsRejectedFile;
};

// The data folder for organisation "Quillorent Devices" and application "Tovra Mouse"
// (e.g. ~/.local/share/Quillorent Devices/Tovra Mouse). Sets those names when unset.
QString computeDataFolder();

// Sets AppFolders::dataFolder and the debug-log path, creating the folder.
void initDataFolder();
// Fills every other folder and file entry from the data folder and the home folder,
// creating the folders.
void initFileLocations();
