#include "core/QThreadedObject.h"

#include "core/QProcessInterface.h"

#include <QTimer>

QThreadedObject::QThreadedObject(QProcessInterface *owner, int intervalMs)
    : QThread(nullptr)
    , owner(owner)
    , interval(intervalMs)
{}

void QThreadedObject::run()
{
    if (interval <= 0) {
        if (!stopped.load())
            owner->ProcessSlot();
    } else {
        QTimer timer;
        connect(&timer, &QTimer::timeout, owner, &QProcessInterface::ProcessSlot);
        timer.start(interval);
        // A Stop that came before the loop started has already called quit(), which exec()
        // does not see: test the mark instead of waiting forever.
        if (!stopped.load())
            exec();
    }
    stopped.store(true);
    ended.store(true, std::memory_order_release);
}
