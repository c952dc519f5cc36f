// The main window's form as the user sees it: its widgets by name, the button groups, sizes,
// texts, tool tips and the icons of each button's two looks.

#include "core/AppFilePaths.h"
#include "core/FacialDetectionApp.h"
#include "core/SettingsKeys.h"
#include "ui/MainWindow.h"
#include "ui/QPreviewWindow.h"

#include <QButtonGroup>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QLayout>
#include <QPixmap>
#include <QPushButton>
#include <gtest/gtest.h>

using namespace SettingKeys;

namespace {

FacialDetectionApp *app()
{
    return FacialDetectionApp::instance();
}

class MainWindowForm : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QFile::remove(AppFilePaths::settingsFile);
        app()->loadAllSettings();
        app()->setSetting(FIRST_RUN_EVER, 0);
    }

    template<typename T> static T *child(QWidget *parent, const char *name)
    {
        T *found = parent->findChild<T *>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
};

struct ExpectedButton
{
    const char *name;
    QSize minimum, maximum, iconSize;
    const char *offIcon, *onIcon;
    bool checkable;
    const char *toolTip;
};

const ExpectedButton Buttons[] = {
    {"settingsButton",
     {75, 75},
     {750, 750},
     {70, 70},
     ":/dark_settings.png",
     ":/light_settings.png",
     false,
     "<html><head/><body><p><br/>Customize Tovra Mouse to your needs.</p></body></html>"},
    {"calibrateButton",
     {75, 75},
     {750, 750},
     {35, 35},
     ":/dark_calibrate.png",
     ":/light_calibrate.png",
     false,
     "<html><head/><body><p><br/>Recalibrate face gestures.</p></body></html>"},
    {"faceClickButton",
     {75, 60},
     {750, 600},
     {35, 35},
     ":/dark_click_mode-face-no_mouth.png",
     ":/light_click_mode-face-no_mouth.png",
     true,
     "<html><head/><body><p><br/>Click by smiling briefly while holding head "
     "steady.</p></body></html>"},
    {"dwellClickButton",
     {75, 60},
     {750, 600},
     {35, 35},
     ":/dark_click_mode-dwell.png",
     ":/light_click_mode-dwell.png",
     true,
     "<html><head/><body><p><br/>Click by simply holding head steady. (See &quot;Dwell&quot; in "
     "Settings)</p></body></html>"},
    {"motionWithSmileButton",
     {75, 60},
     {750, 600},
     {35, 35},
     ":/dark_motion_mode-smile_activated.png",
     ":/light_motion_mode-smile_activated.png",
     true,
     "<html><head/><body><p><br/>Mouse starts moving only when you smile and move your "
     "head.</p></body></html>"},
    {"motionAlwaysButton",
     {75, 60},
     {750, 600},
     {35, 35},
     ":/dark_motion_mode-always_on-no_mouth.png",
     ":/light_motion_mode-always_on-no_mouth.png",
     true,
     "<html><head/><body><p><br/>Mouse always moves when you move your head. (See &quot;Mouse "
     "Stickiness&quot; in Settings.)</p></body></html>"},
    {"playButton",
     {75, 75},
     {750, 750},
     {70, 70},
     ":/dark_play.png",
     ":/light_play.png",
     true,
     "<html><head/><body><p><br/>Activate processing of all gestures.</p></body></html>"},
    {"tempStopButton",
     {75, 75},
     {750, 750},
     {60, 60},
     ":/stop_dark.png",
     ":/stop_light.png",
     true,
     "<html><head/><body><p><br/>Temporarily stop processing of gestures. </p></body></html>"},
    {"exitButton",
     {75, 75},
     {750, 750},
     {60, 60},
     ":/dark_exit-x.png",
     ":/light_exit-x.png",
     false,
     "<html><head/><body><p><br/>Exit Tovra Mouse.</p></body></html>"},
};

TEST_F(MainWindowForm, ButtonsHaveTheirSizesIconsAndToolTips)
{
    MainWindow window;
    for (const ExpectedButton &expected : Buttons) {
        SCOPED_TRACE(expected.name);
        auto *button = child<QPushButton>(&window, expected.name);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->minimumSize(), expected.minimum);
        EXPECT_EQ(button->maximumSize(), expected.maximum);
        EXPECT_EQ(button->iconSize(), expected.iconSize);
        EXPECT_EQ(button->isCheckable(), expected.checkable);
        EXPECT_EQ(button->toolTip(), QString::fromUtf8(expected.toolTip));
        EXPECT_TRUE(button->text().isEmpty());
        EXPECT_EQ(button->sizePolicy().horizontalPolicy(), QSizePolicy::Preferred);
        // Each look of the icon is the embedded file of that name.
        const QImage off = QPixmap(expected.offIcon).toImage();
        const QImage on = QPixmap(expected.onIcon).toImage();
        ASSERT_FALSE(off.isNull());
        ASSERT_FALSE(on.isNull());
        const QIcon icon = button->icon();
        EXPECT_EQ(icon.pixmap(off.size(), QIcon::Normal, QIcon::Off)
                      .toImage()
                      .convertToFormat(off.format()),
                  off);
        EXPECT_EQ(
            icon.pixmap(on.size(), QIcon::Normal, QIcon::On).toImage().convertToFormat(on.format()),
            on);
    }
    EXPECT_EQ(child<QPushButton>(&window, "settingsButton")->layoutDirection(), Qt::LeftToRight);
    // The stop button keeps its look while disabled.
    const QIcon stop = child<QPushButton>(&window, "tempStopButton")->icon();
    EXPECT_EQ(stop.pixmap(QSize(60, 60), QIcon::Disabled, QIcon::On).toImage(),
              stop.pixmap(QSize(60, 60), QIcon::Normal, QIcon::On).toImage());
}

TEST_F(MainWindowForm, ACheckedModeButtonIsDarkAndShowsItsLightIcon)
{
    MainWindow window;
    window.resize(942, 400);
    window.show();
    auto *play = child<QPushButton>(&window, "playButton");
    auto *stop = child<QPushButton>(&window, "tempStopButton");
    ASSERT_TRUE(play->isChecked());
    const QImage checked = play->grab().toImage();
    const QImage rest = stop->grab().toImage();
    // The corner shows the background: dark grey when checked, the panel when not.
    EXPECT_EQ(QColor(checked.pixel(play->width() / 2, 2)), QColor(50, 50, 50));
    EXPECT_NE(QColor(rest.pixel(stop->width() / 2, 2)), QColor(50, 50, 50));
    // The icon in the middle: light on the checked button, dark on the other.
    EXPECT_GT(QColor(checked.pixel(play->width() / 2, play->height() / 2)).lightness(), 200);
    EXPECT_LT(QColor(rest.pixel(stop->width() / 2, stop->height() / 2)).lightness(), 120);
}

TEST_F(MainWindowForm, CaptionsAndTitlesReadAsTheUserExpects)
{
    MainWindow window;
    const std::pair<const char *, const char *> captions[] = {
        {"label_Settings", "Settings"},
        {"label_10", "Calibrate"},
        {"label_ClickMode", "Click Mode"},
        {"label_15", "Smile"},
        {"label_18", "Dwell"},
        {"label_MouseMotionMode", "Mouse Motion Mode"},
        {"label_21", "With Smile"},
        {"label_22", "Always"},
        {"label_24", "Play"},
        {"label_TempStop", "Temp. Stop"},
        {"label_Exit", "Exit"},
    };
    for (const auto &[name, text] : captions) {
        auto *label = child<QLabel>(&window, name);
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->text(), text) << name;
        EXPECT_EQ(label->alignment(), Qt::AlignCenter) << name;
        EXPECT_TRUE(label->styleSheet().contains("color: rgb(84, 84, 84);")) << name;
    }
    EXPECT_EQ(child<QLabel>(&window, "label_ClickMode")->minimumSize(), QSize(180, 20));
    EXPECT_EQ(child<QLabel>(&window, "label_ClickMode")->maximumSize(), QSize(1800, 200));
    EXPECT_TRUE(child<QLabel>(&window, "label_MouseMotionMode")->styleSheet().contains("10pt"));
    EXPECT_EQ(child<QLabel>(&window, "label_21")->maximumSize(), QSize(800, 150));
    EXPECT_EQ(child<QLabel>(&window, "label_Settings")->font().pointSize(), 8);
    EXPECT_TRUE(child<QLabel>(&window, "label_Settings")->font().bold());
    EXPECT_TRUE(child<QLabel>(&window, "label_18")->font().bold());

    auto *showHide = child<QPushButton>(&window, "showHideButton");
    EXPECT_EQ(showHide->text(), "||||||");
    EXPECT_EQ(showHide->toolTip(), "<br>Click to show or hide the buttons below.");
    EXPECT_TRUE(showHide->isCheckable());
    EXPECT_EQ(showHide->maximumSize().height(), 30);
    EXPECT_EQ(showHide->minimumSize().height(), 20);
    EXPECT_EQ(showHide->font().pointSize(), 8);

    EXPECT_EQ(window.objectName(), "MainWindow");
    EXPECT_EQ(window.windowTitle(), "Tovra Mouse - v3.1.3.2");
}

TEST_F(MainWindowForm, ModeButtonsFormThreeExclusivePairs)
{
    MainWindow window;
    const std::pair<const char *, std::pair<const char *, const char *>> groups[] = {
        {"buttonGroup_4", {"faceClickButton", "dwellClickButton"}},
        {"buttonGroup_2", {"motionWithSmileButton", "motionAlwaysButton"}},
        {"buttonGroup_3", {"playButton", "tempStopButton"}},
    };
    for (const auto &[name, pair] : groups) {
        auto *group = window.findChild<QButtonGroup *>(name);
        ASSERT_NE(group, nullptr) << name;
        EXPECT_TRUE(group->exclusive());
        ASSERT_EQ(group->buttons().size(), 2) << name;
        EXPECT_EQ(group->buttons().at(0)->objectName(), pair.first);
        EXPECT_EQ(group->buttons().at(1)->objectName(), pair.second);
    }
}

TEST_F(MainWindowForm, PreviewSitsAboveTheFoldButtonAndThePanel)
{
    MainWindow window;
    auto *preview = child<QPreviewWindow>(&window, "previewFrame");
    auto *frame = child<QFrame>(&window, "settingsFrame");
    ASSERT_NE(preview, nullptr);
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(preview->minimumSize(), QSize(160, 120));
    EXPECT_EQ(preview->sizePolicy().verticalStretch(), 1);
    EXPECT_EQ(preview->sizePolicy().horizontalPolicy(), QSizePolicy::MinimumExpanding);
    EXPECT_TRUE(frame->styleSheet().contains("rgb(242, 242, 242)"));

    auto *column = window.findChild<QVBoxLayout *>("verticalLayout_2");
    ASSERT_NE(column, nullptr);
    EXPECT_EQ(column->spacing(), 0);
    ASSERT_EQ(column->count(), 3);
    EXPECT_EQ(column->itemAt(0)->widget(), preview);
    EXPECT_EQ(column->itemAt(1)->widget()->objectName(), "showHideButton");
    EXPECT_EQ(column->itemAt(2)->widget(), frame);

    auto *row = qobject_cast<QHBoxLayout *>(frame->layout());
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->objectName(), "horizontalLayout");
    EXPECT_EQ(row->spacing(), 8);
    // Spacer, six groups with five lines between them, spacer.
    ASSERT_EQ(row->count(), 13);
    EXPECT_NE(row->itemAt(0)->spacerItem(), nullptr);
    EXPECT_NE(row->itemAt(12)->spacerItem(), nullptr);
    const char *lines[] = {"line", "line_6", "line_7", "line_8", "line_9"};
    for (int i = 0; i < 5; ++i) {
        auto *line = qobject_cast<QFrame *>(row->itemAt(2 + 2 * i)->widget());
        ASSERT_NE(line, nullptr);
        EXPECT_EQ(line->objectName(), lines[i]);
        EXPECT_EQ(line->frameShape(), QFrame::VLine);
    }
    auto *settingsColumn = window.findChild<QVBoxLayout *>("verticalLayout_Settings");
    ASSERT_NE(settingsColumn, nullptr);
    EXPECT_EQ(settingsColumn->contentsMargins().top(), 15);
    EXPECT_EQ(settingsColumn->contentsMargins().bottom(), 15);
}

} // namespace
