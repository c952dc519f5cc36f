#include "ui_SettingsWindow.h"

#include <QCoreApplication>
#include <QDialog>
#include <QFile>
#include <QKeySequenceEdit>
#include <QMap>
#include <QSet>
#include <QTabBar>
#include <QTextStream>
#include <QTranslator>
#include <gtest/gtest.h>

namespace {

QString marked(const QString &source)
{
    return QStringLiteral("[[") + source + QStringLiteral("]]");
}

// Wraps every string of the form's context in marks, so a test can tell a translated text from
// one set directly. Empty sources are marked too: an empty text that went through translation
// would show up as "[[]]".
class MarkingTranslator : public QTranslator
{
public:
    QString translate(const char *context, const char *sourceText, const char *disambiguation,
                      int n) const override
    {
        if (qstrcmp(context, "SettingsWindow") != 0)
            return {}; // Qt's own widgets translate their built-in strings
        if (disambiguation || n != -1)
            unexpectedArguments << QString::fromUtf8(sourceText);
        return marked(QString::fromUtf8(sourceText));
    }
    bool isEmpty() const override { return false; }

    mutable QStringList unexpectedArguments;
};

struct Text
{
    QString object, property, text;
};

QString unescape(const QString &field)
{
    QString out;
    for (int i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 1 < field.size()) {
            const QChar next = field[++i];
            out += next == 'n' ? QChar('\n') : next == 't' ? QChar('\t') : next;
        } else {
            out += field[i];
        }
    }
    return out;
}

QList<Text> expectedTexts()
{
    QList<Text> texts;
    QFile file(QStringLiteral(TOVRA_FORM_TEXTS));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return texts;
    QTextStream in(&file);
    in.setCodec("UTF-8");
    while (!in.atEnd()) {
        const QString line = in.readLine();
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        const QStringList fields = line.split('\t');
        if (fields.size() == 3)
            texts.append({fields[0], fields[1], unescape(fields[2])});
    }
    return texts;
}

// Every text the user can read on the form, keyed "object/property".
QMap<QString, QString> formTexts(QDialog &dialog)
{
    QMap<QString, QString> texts;
    auto add = [&](const QString &object, const QString &property, const QString &text) {
        texts.insert(object + '/' + property, text);
    };
    add(dialog.objectName(), "windowTitle", dialog.windowTitle());
    for (QWidget *w : dialog.findChildren<QWidget *>()) {
        const QString name = w->objectName();
        if (name.isEmpty() || name.startsWith("qt_") || qobject_cast<QTabBar *>(w->parentWidget()))
            continue;
        if (auto *tabs = qobject_cast<QTabWidget *>(w))
            for (int i = 0; i < tabs->count(); ++i)
                add(tabs->widget(i)->objectName(), "tabText", tabs->tabText(i));
        if (auto *button = qobject_cast<QAbstractButton *>(w))
            add(name, "text", button->text());
        if (auto *label = qobject_cast<QLabel *>(w))
            add(name, "text", label->text());
        if (auto *group = qobject_cast<QGroupBox *>(w))
            add(name, "title", group->title());
        if (auto *combo = qobject_cast<QComboBox *>(w))
            for (int i = 0; i < combo->count(); ++i)
                add(name, QStringLiteral("item%1").arg(i), combo->itemText(i));
        if (auto *edit = qobject_cast<QKeySequenceEdit *>(w))
            add(name, "keySequence", edit->keySequence().toString());
        add(name, "toolTip", w->toolTip());
        add(name, "statusTip", w->statusTip());
        add(name, "whatsThis", w->whatsThis());
        add(name, "accessibleName", w->accessibleName());
        add(name, "accessibleDescription", w->accessibleDescription());
    }
    return texts;
}

class SettingsFormTextsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QCoreApplication::installTranslator(&translator);
        ui.setupUi(&dialog);
    }
    void TearDown() override { QCoreApplication::removeTranslator(&translator); }

    MarkingTranslator translator;
    QDialog dialog;
    Ui::SettingsWindow ui;
};

TEST_F(SettingsFormTextsTest, EveryTextIsExactAndTranslatedAndEveryEmptyOneStaysEmpty)
{
    const QList<Text> expected = expectedTexts();
    ASSERT_EQ(expected.size(), 423) << "the table of texts could not be read in full";

    const QMap<QString, QString> actual = formTexts(dialog);
    for (const Text &t : expected) {
        const QString key = t.object + '/' + t.property;
        ASSERT_TRUE(actual.contains(key)) << key.toStdString();
        const QString want = t.text.isEmpty() ? QString() : marked(t.text);
        EXPECT_EQ(actual.value(key), want) << key.toStdString();
    }
    EXPECT_TRUE(translator.unexpectedArguments.isEmpty())
        << translator.unexpectedArguments.join(", ").toStdString();
}

TEST_F(SettingsFormTextsTest, NoTextEscapesTheTable)
{
    QSet<QString> listed;
    for (const Text &t : expectedTexts())
        listed.insert(t.object + '/' + t.property);

    const QMap<QString, QString> actual = formTexts(dialog);
    for (auto it = actual.cbegin(); it != actual.cend(); ++it) {
        if (it.value().isEmpty())
            continue;
        EXPECT_TRUE(listed.contains(it.key())) << "unlisted text " << it.key().toStdString();
        EXPECT_TRUE(it.value().startsWith("[[") && it.value().endsWith("]]"))
            << "untranslated text " << it.key().toStdString();
    }
}

TEST_F(SettingsFormTextsTest, WithoutATranslatorTheFormReadsItsOwnTexts)
{
    QCoreApplication::removeTranslator(&translator);
    QDialog plain;
    Ui::SettingsWindow form;
    form.setupUi(&plain);

    EXPECT_EQ(plain.windowTitle(), "Settings");
    EXPECT_EQ(form.tabWidget->tabText(6), "7. My Tovra Mouse");
    EXPECT_EQ(form.label_15->text(),
              "Dwell clicking allows you to click without using a face gesture, such smiling, "
              "opening mouth, etc.  Simply dwell (that is hold your head steady) to cause a "
              "click.  \n\nUse the two settings below to customize the behavior to your needs.");
    EXPECT_EQ(form.cameraFlipLeftToRightCheck->text(), " Flip Image Left to Right");
    EXPECT_EQ(form.groupBox_MouthOpen->title(), "MOUTH OPEN ");
    EXPECT_EQ(form.label_ReleaseNumValue->text(), "TextLabel");
    EXPECT_EQ(form.comboBoxSmile->currentText(), "--None--");
}

} // namespace
