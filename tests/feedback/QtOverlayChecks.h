#pragma once

#include <QWidget>
#include <functional>
#include <gtest/gtest.h>
#include <thread>

// What every Qt overlay promises: on top, frameless, and never in the way of the mouse or the
// keyboard focus.
inline void expectClickThroughAndNeverFocused(const QWidget *w)
{
    EXPECT_TRUE(w->windowFlags() & Qt::WindowTransparentForInput);
    EXPECT_TRUE(w->windowFlags() & Qt::WindowDoesNotAcceptFocus);
    EXPECT_TRUE(w->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(w->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(w->testAttribute(Qt::WA_ShowWithoutActivating));
    EXPECT_EQ(w->focusPolicy(), Qt::NoFocus);
}

// Runs a function on a thread of its own, as the tracker worker emits its signals.
inline void onWorkerThread(const std::function<void()> &work)
{
    std::thread worker(work);
    worker.join();
}
