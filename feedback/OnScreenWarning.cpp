#include "feedback/OnScreenWarning.h"

#include <QLabel>
#include <QVBoxLayout>

OnScreenWarning::OnScreenWarning(const QString &objectName, const QString &labelObjectName,
                                 const QString &richText, QSize size, QWidget *parent)
    : QDialog(parent, Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::Tool |
                          Qt::WindowDoesNotAcceptFocus | Qt::WindowTransparentForInput)
    , textLabel(new QLabel(this))
{
    setObjectName(objectName);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    setWindowOpacity(0.5);
    setStyleSheet(QStringLiteral("background-color: black; border-radius: 20px;"));
    resize(size);
    setMinimumSize(size);

    auto *layout = new QVBoxLayout(this);
    layout->setObjectName(QStringLiteral("verticalLayout"));
    textLabel->setObjectName(labelObjectName);
    textLabel->setWordWrap(true);
    textLabel->setTextFormat(Qt::RichText);
    textLabel->setText(richText);
    layout->addWidget(textLabel);
}

void OnScreenWarning::Show()
{
    show();
    emit shownChanged(true);
}

void OnScreenWarning::Hide()
{
    hide();
    emit shownChanged(false);
}
