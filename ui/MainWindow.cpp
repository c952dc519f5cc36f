#include "ui/MainWindow.h"

#include "core/FacialDetectionApp.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent)
    , settings(nullptr)
{
    setObjectName(QStringLiteral("MainWindow"));
    QString version;
    if (FacialDetectionApp *app = FacialDetectionApp::instance())
        version = app->versionText;
    setWindowTitle(QStringLiteral("Tovra Mouse ") + version);
    auto *placeholder = new QLabel(tr("Tovra Mouse"), this);
    placeholder->setAlignment(Qt::AlignCenter);
    setCentralWidget(placeholder);
    resize(480, 360);
    connect(&settings, &SettingsWindow::toggleMainWindowVisibility, this,
            &MainWindow::onToggleVisibility);
}

MainWindow::~MainWindow() = default;

void MainWindow::onTogglePlayButton() {}

void MainWindow::onToggleSmileDwell() {}

void MainWindow::onToggleVisibility()
{
    if (isMinimized()) {
        showNormal();
        activateWindow();
    } else if (isVisible()) {
        showMinimized();
    } else {
        show();
        activateWindow();
    }
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    event->accept();
    QApplication::quit();
}
