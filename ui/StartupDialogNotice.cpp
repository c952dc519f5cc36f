#include "ui/StartupDialogNotice.h"

#include "core/MessageBoxes.h"

#include <QObject>

void showAutoCloseNotice(QWidget *parent)
{
    showMessageBox(QMessageBox::Information, QObject::tr("Tovra Mouse"),
                   QObject::tr("\nThis window will automatically close after 5 seconds, next "
                               "time onwards.\n"),
                   QStringLiteral("OK"), parent);
}
