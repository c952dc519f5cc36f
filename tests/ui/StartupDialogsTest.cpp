// The dialogs that meet the user at start: what they store and what they show.

#include "core/AppFilePaths.h"
#include "core/FacialDetectionApp.h"
#include "core/SettingsKeys.h"
#include "platform/Platform.h"
#include "tests/support/DialogAnswerer.h"
#include "tests/support/TestHome.h"
#include "ui/NoCameraFoundForm.h"
#include "ui/ReadyToStartForm.h"
#include "ui/chooseCameraForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <gtest/gtest.h>

using namespace SettingKeys;

namespace {

FacialDetectionApp *app()
{
    return FacialDetectionApp::instance();
}

class StartupDialogs : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QFile::remove(AppFilePaths::settingsFile);
        app()->loadAllSettings();
    }
    template<typename T> static T *child(QWidget *parent, const char *name)
    {
        T *found = parent->findChild<T *>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
};

TEST_F(StartupDialogs, ReadyToStartShowsItsTextsAndRemembersAutoClose)
{
    ReadyToStartForm form;
    EXPECT_EQ(form.windowTitle(), "Ready to Start Tovra Mouse?");
    EXPECT_EQ(child<QPushButton>(&form, "m_watchTutorialsButton")->text(), "Watch Tutorial Videos");
    EXPECT_EQ(child<QPushButton>(&form, "m_readyToStartButton")->text(), "Start Tovra Mouse!");
    EXPECT_EQ(form.size(), QSize(462, 236));
    EXPECT_TRUE(form.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(QString(ReadyToStartForm::tutorialUrl).startsWith("https://"));
    EXPECT_TRUE(QString(ReadyToStartForm::tutorialUrl).endsWith("/resources/"));

    DialogAnswerer answerer;
    auto *check = child<QCheckBox>(&form, "rtsfAutoCloseCheck");
    check->setChecked(true);
    EXPECT_EQ(app()->getSetting(RTSF_AUTOCLOSE).toInt(), 1);
    EXPECT_EQ(answerer.titles(), QStringList{"Tovra Mouse"});
    check->setChecked(false);
    EXPECT_EQ(app()->getSetting(RTSF_AUTOCLOSE).toInt(), 0);
    // Unchecking says nothing.
    EXPECT_EQ(answerer.titles().size(), 1);
}

TEST_F(StartupDialogs, ReadyToStartLoadsTheStoredChoiceWithoutWritingOrAsking)
{
    app()->setSetting(RTSF_AUTOCLOSE, 1);
    DialogAnswerer answerer;
    ReadyToStartForm form;
    EXPECT_TRUE(child<QCheckBox>(&form, "rtsfAutoCloseCheck")->isChecked());
    EXPECT_TRUE(answerer.titles().isEmpty());
}

TEST_F(StartupDialogs, TheStartButtonEndsTheDialogWithOne)
{
    ReadyToStartForm form;
    QTimer::singleShot(0, [&] { child<QPushButton>(&form, "m_readyToStartButton")->click(); });
    EXPECT_EQ(form.exec(), 1);
}

TEST_F(StartupDialogs, CameraChoiceSelectsTheStoredName)
{
    app()->setSetting(DEFAULT_CAMERA, QStringLiteral("Cam B"));
    chooseCameraForm form({"Cam A", "Cam B", "Cam C"});
    EXPECT_EQ(form.currentIndex(), 1);
    EXPECT_EQ(form.windowTitle(), "Choose Camera");
}

TEST_F(StartupDialogs, CameraChoiceOnNoneInAnyCaseStoresTheFirstCamera)
{
    for (const char *none : {"None", "none", "NONE", ""}) {
        app()->setSetting(DEFAULT_CAMERA, QString::fromLatin1(none));
        chooseCameraForm form({"Only Camera: USB-1", "Other"});
        EXPECT_EQ(form.currentIndex(), 0) << none;
        EXPECT_EQ(app()->getSetting(DEFAULT_CAMERA).toString(), "Only Camera: USB-1") << none;
    }
}

TEST_F(StartupDialogs, CameraChoiceOfAMissingNameKeepsTheFirstAndStoresNothing)
{
    app()->setSetting(DEFAULT_CAMERA, QStringLiteral("Gone"));
    chooseCameraForm form({"Cam A", "Cam B"});
    EXPECT_EQ(form.currentIndex(), 0);
    EXPECT_EQ(app()->getSetting(DEFAULT_CAMERA).toString(), "Gone");
}

TEST_F(StartupDialogs, CameraChoiceStoresWhatTheUserPicksAndTheAutoClose)
{
    app()->setSetting(DEFAULT_CAMERA, QStringLiteral("Cam A"));
    chooseCameraForm form({"Cam A", "Cam B"});
    child<QComboBox>(&form, "comboBox")->setCurrentIndex(1);
    EXPECT_EQ(app()->getSetting(DEFAULT_CAMERA).toString(), "Cam B");
    DialogAnswerer answerer;
    child<QCheckBox>(&form, "ccfAutoCloseCheck")->setChecked(true);
    EXPECT_EQ(app()->getSetting(CCF_AUTOCLOSE).toInt(), 1);
    EXPECT_EQ(answerer.titles(), QStringList{"Tovra Mouse"});
}

TEST_F(StartupDialogs, NoCameraFoundSaysSoAndClosesOnOk)
{
    NoCameraFoundForm form;
    EXPECT_EQ(form.windowTitle(), "Error:  No Camera Found");
    EXPECT_TRUE(child<QLabel>(&form, "m_Label")->text().contains("could not find a camera!"));
    QTimer::singleShot(0, [&] { child<QPushButton>(&form, "m_OKButton")->click(); });
    EXPECT_EQ(form.exec(), 1);
}

} // namespace

