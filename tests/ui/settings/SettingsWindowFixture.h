#pragma once

#include "tests/ui/settings/SettingsWindowTestSupport.h"
#include "ui/settings/SettingsWindow.h"

#include <gtest/gtest.h>

#include <memory>

// A test of the settings window on a fresh settings file; the window is built on first use.
class SettingsWindowFixture : public ::testing::Test
{
protected:
    void SetUp() override { freshSettings(); }

    SettingsWindow &window()
    {
        if (!settings)
            settings = std::make_unique<SettingsWindow>();
        return *settings;
    }
    template<typename T = QWidget> T *widget(const char *name)
    {
        return window().findChild<T *>(QString::fromLatin1(name));
    }

    std::unique_ptr<SettingsWindow> settings;
};
