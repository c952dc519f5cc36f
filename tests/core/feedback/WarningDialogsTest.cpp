// The four warning dialogs: their forms, their place and their show and hide signals.

#include "core/FacialDetectionApp.h"
#include "feedback/osw_AutoCenter.h"
#include "feedback/osw_ExternalMouseMoveDetected.h"
#include "feedback/osw_FaceNotFound.h"
#include "feedback/osw_LipsNotClearlyVisible.h"
#include "platform/Platform.h"
#include "platform/recording/RecordingPointerScreens.h"
#include "tests/feedback/QtOverlayChecks.h"
#include "tests/support/Patience.h"
#include "ui_osw_AutoCenter.h"
#include "ui_osw_ExternalMouseMoveDetected.h"
#include "ui_osw_FaceNotFound.h"
#include "ui_osw_LipsNotClearlyVisible.h"

#include <QLabel>
#include <QTest>
#include <QTextDocument>
#include <QVBoxLayout>
#include <gtest/gtest.h>
#include <memory>

namespace {

FacialDetectionApp *app()
{
    return FacialDetectionApp::instance();
}

struct Form
{
    QString dialogName, labelName;
    QSize size;
    QSizePolicy::Policy policy;
    QSize minimum, labelMinimum;
    QStringList paragraphs;
};

// The form as built on a bare dialog, before the warning fits and places it.
template<class UiForm> void expectForm(const Form &expected)
{
    SCOPED_TRACE(expected.dialogName.toStdString());
    QDialog dialog;
    UiForm form;
    form.setupUi(&dialog);
    EXPECT_EQ(dialog.objectName(), expected.dialogName);
    EXPECT_EQ(dialog.size(), expected.size);
    EXPECT_EQ(dialog.minimumSize(), expected.minimum);
    EXPECT_EQ(dialog.sizePolicy().horizontalPolicy(), expected.policy);
    EXPECT_EQ(dialog.sizePolicy().verticalPolicy(), expected.policy);
    EXPECT_NEAR(dialog.windowOpacity(), 0.5, 0.01);
    EXPECT_TRUE(dialog.windowTitle().isEmpty());
    EXPECT_EQ(form.verticalLayout->objectName(), "verticalLayout");

    QLabel *label = dialog.findChild<QLabel *>(expected.labelName);
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->minimumSize(), expected.labelMinimum);
    EXPECT_EQ(label->sizePolicy().horizontalPolicy(), expected.policy);
    EXPECT_EQ(label->font().family(), "Tahoma");
    EXPECT_EQ(label->font().pointSize(), 36);
    EXPECT_TRUE(label->wordWrap());
    EXPECT_TRUE(label->styleSheet().contains("background-color: rgb(0, 0, 0);"));
    EXPECT_TRUE(label->styleSheet().contains("border-radius: 15px;"));
    QTextDocument text;
    text.setHtml(label->text());
    EXPECT_EQ(text.toPlainText().split('\n'), expected.paragraphs);
    EXPECT_TRUE(label->text().contains("color:#ffffff"));
}

} // namespace

TEST(WarningDialogs, FormsCarryTheirNamesSizesAndTexts)
{
    using P = QSizePolicy;
    expectForm<Ui_osw_FaceNotFound>(
        {"osw_FaceNotFound",
         "lab_FaceNotFound",
         {960, 203},
         P::MinimumExpanding,
         {960, 200},
         {940, 180},
         {"Face Not Found!", "Be in the view of the camera and turn your head towards it."}});
    expectForm<Ui_osw_LipsNotClearlyVisible>(
        {"osw_LipsNotClearlyVisible",
         "lab_LipsNotClearlyVisible",
         {960, 202},
         P::MinimumExpanding,
         {960, 200},
         {780, 180},
         {"Lips Not Clearly Visible",
          "Turn your head towards the camera. Make sure lighting is good."}});
    expectForm<Ui_osw_AutoCenter>(
        {"osw_AutoCenter",
         "lab_AutoCenter",
         {802, 200},
         P::Minimum,
         {760, 200},
         {760, 140},
         {"Recentering Mouse Pointer...", "Hold Head Steady to Continue"}});
    expectForm<Ui_osw_ExternalMouseMoveDetected>(
        {"osw_ExternalMouseMoveDetected",
         "lab_MouseMoveRecenter",
         {820, 200},
         P::Minimum,
         {820, 200},
         {800, 140},
         {"External Mouse Motion Detected", "Processing Temporarily Stopped",
          "(Mouse will recenter and processing will resume after a timelag)"}});
}

TEST(WarningDialogs, AreClickThroughToolWindowsPlacedOnThePrimaryScreen)
{
    platform::installRecording();
    platform::recordingPointerScreens().setScreens(QRect(1920, 0, 1920, 1080),
                                                   QRect(0, 0, 3840, 1080));
    const osw_FaceNotFound face;
    const osw_AutoCenter centre;
    for (const OnScreenWarning *w : {static_cast<const OnScreenWarning *>(&face),
                                     static_cast<const OnScreenWarning *>(&centre)}) {
        EXPECT_EQ(w->windowType(), Qt::Tool);
        expectClickThroughAndNeverFocused(w);
        EXPECT_FALSE(w->windowFlags() & Qt::WindowContextHelpButtonHint);
        EXPECT_TRUE(w->testAttribute(Qt::WA_TransparentForMouseEvents));
        EXPECT_FALSE(w->isModal());
        EXPECT_FALSE(w->isVisible());
    }
    // Centred across the primary screen; half way down, or a quarter for the recentring.
    const QSize f = face.frameGeometry().size();
    EXPECT_EQ(face.pos(), QPoint(1920 + 960 - f.width() / 2, 540 - f.height() / 2));
    const QSize c = centre.frameGeometry().size();
    EXPECT_EQ(centre.pos(), QPoint(1920 + 960 - c.width() / 2, 270 - c.height() / 2));
}

TEST(WarningDialogs, TheApplicationShowsAndHidesThemFromTheWorkerThread)
{
    osw_ExternalMouseMoveDetected *external = app()->externalMouseMoveWindow();
    osw_AutoCenter *autoCenter = app()->autoCenterWindow();
    onWorkerThread([] {
        emit app()->showExternalMouseMoveDetected();
        emit app()->showAutoCenter();
        emit app()->showFaceNotFound();
    });
    EXPECT_TRUE(QTest::qWaitFor([&] { return external->isVisible() && autoCenter->isVisible(); },
                                patientMs(5000)));
    EXPECT_TRUE(app()->faceNotFoundWindow()->isVisible());
    EXPECT_TRUE(app()->oswExternalMouseMoveShown);
    EXPECT_TRUE(app()->oswAutoCenterShown);

    onWorkerThread([] {
        emit app()->hideExternalMouseMoveDetected();
        emit app()->hideAutoCenter();
        emit app()->hideAutoCenter(); // repeated: harmless
        emit app()->hideFaceNotFound();
    });
    EXPECT_TRUE(QTest::qWaitFor([&] { return !app()->oswAutoCenterShown; }, patientMs(5000)));
    EXPECT_FALSE(autoCenter->isVisible());
    EXPECT_FALSE(external->isVisible());
    EXPECT_FALSE(app()->oswExternalMouseMoveShown);
    EXPECT_FALSE(app()->faceNotFoundWindow()->isVisible());
}
