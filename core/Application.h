#pragma once

#include <QApplication>
#include <QRecursiveMutex>
#include <QString>

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
    QRecursiveMutex settingsMutex;
    QString settingsFilePath;
};
