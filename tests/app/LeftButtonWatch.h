#pragma once

#include <QStringList>

typedef struct _XDisplay Display;

// The left button as another client of the server sees it: its raw presses and releases,
// whatever window is under the pointer, and the state the server holds.
class LeftButtonWatch
{
public:
    LeftButtonWatch();
    ~LeftButtonWatch();
    LeftButtonWatch(const LeftButtonWatch &) = delete;
    LeftButtonWatch &operator=(const LeftButtonWatch &) = delete;

    // The events so far, "down" and "up".
    QStringList events();
    bool isDown();

private:
    Display *dpy;
    int opcode = 0;
    QStringList seen;
};
