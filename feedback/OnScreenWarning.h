#pragma once

#include <QDialog>

class QLabel;

// A large half-transparent notice over every other program that never takes focus or input.
// The four warnings of the program are its subclasses.
class OnScreenWarning : public QDialog
{
    Q_OBJECT
public:
    OnScreenWarning(const QString &objectName, const QString &labelObjectName,
                    const QString &richText, QSize size, QWidget *parent);

    QLabel *label() const { return textLabel; }

signals:
    void shownChanged(bool shown);

public slots:
    void Show();
    void Hide();

private:
    QLabel *textLabel;
};
