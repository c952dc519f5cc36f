#include "feedback/MessageWidget.h"

#include "platform/Platform.h"
#include "platform/PointerScreens.h"

#include <QCoreApplication>
#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

MessageWidget::MessageWidget(const QString &text, QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                          Qt::WindowTransparentForInput | Qt::WindowDoesNotAcceptFocus)
    , textLabel(new QLabel(text, this))
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setWindowTitle(QStringLiteral("Information"));
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    textLabel->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    QFont font = textLabel->font();
    font.setPointSize(32);
    textLabel->setFont(font);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(textLabel);
    adjustSize();
}

void showTimedMessage(int ms, const QString &text)
{
    if (ms < 1)
        return;
    auto *toast = new MessageWidget(text, nullptr);
    const QRect primary = platform::pointerScreens().logicalPrimaryScreen();
    toast->move(primary.x() + (primary.width() - toast->width()) / 2,
                primary.y() + (primary.height() - toast->height()) / 2);
    toast->show();
    QTimer::singleShot(ms, toast, &QObject::deleteLater);
    // One still shown when the program quits goes with it: the event loop's end deletes it.
    if (QCoreApplication *app = QCoreApplication::instance())
        QObject::connect(app, &QCoreApplication::aboutToQuit, toast, &QObject::deleteLater);
}
