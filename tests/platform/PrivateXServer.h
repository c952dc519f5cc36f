#pragma once

#include <QByteArray>
#include <sys/types.h>

// An Xvfb of the test's own, so that changing the pointer control cannot disturb the other
// tests that share the X server of the test run. Points DISPLAY at it while it lives.
class PrivateXServer
{
public:
    PrivateXServer();
    ~PrivateXServer();
    PrivateXServer(const PrivateXServer &) = delete;
    PrivateXServer &operator=(const PrivateXServer &) = delete;

    bool isRunning() const { return pid > 0 && !display.isEmpty(); }
    QByteArray displayName() const { return display; }

private:
    pid_t pid = -1;
    QByteArray display, oldDisplay;
};
