#pragma once

#include <QApplication>
#include <QString>

#include <mutex>

// The program's QApplication: owns the lock of the settings store and the settings file's path.
class Application : public QApplication
{
    Q_OBJECT
public:
    Application(int &argc, char **argv);
    ~Application() override;

signals:
    void Debug(QString message, QString color);

protected:
    // A standard mutex rather than Qt's: ThreadSanitizer sees it (Qt is built without it).
    std::recursive_mutex settingsMutex;
    QString settingsFilePath;
};
