#include "platform/linux/XdgAutostart.h"
#include "tests/platform/WarningCounter.h"
#include "tests/support/TestHome.h"

#include <QDir>
#include <QFileInfo>
#include <QMap>
#include <gtest/gtest.h>

using platform::XdgAutostart;

namespace {

// Reads a desktop entry back the way a desktop launcher does.
struct DesktopEntry
{
    QMap<QString, QString> keys; // values with the string escapes undone

    explicit DesktopEntry(const QByteArray &text)
    {
        const QStringList lines = QString::fromUtf8(text).split('\n');
        EXPECT_EQ(lines.value(0), "[Desktop Entry]");
        for (const QString &line : lines.mid(1)) {
            const int eq = line.indexOf('=');
            if (eq > 0)
                keys.insert(line.left(eq), unescape(line.mid(eq + 1)));
        }
    }
    static QString unescape(const QString &v)
    {
        QString out;
        for (int i = 0; i < v.size(); ++i) {
            if (v[i] != '\\' || i + 1 == v.size()) {
                out += v[i];
                continue;
            }
            const QChar c = v[++i];
            out += c == 's'   ? QChar(' ')
                   : c == 'n' ? QChar('\n')
                   : c == 't' ? QChar('\t')
                   : c == 'r' ? QChar('\r')
                              : c;
        }
        return out;
    }
    // The Exec arguments: quoting undone, then "%%" turned into "%".
    QStringList execArguments() const
    {
        QStringList args;
        const QString exec = keys.value("Exec");
        QString arg;
        bool quoted = false, any = false;
        for (int i = 0; i < exec.size(); ++i) {
            const QChar c = exec[i];
            if (quoted && c == '\\' && i + 1 < exec.size()) {
                arg += exec[++i];
            } else if (c == '"') {
                quoted = !quoted;
                any = true;
            } else if (c == ' ' && !quoted) {
                if (any)
                    args << arg;
                arg.clear();
                any = false;
            } else {
                arg += c;
                any = true;
            }
        }
        EXPECT_FALSE(quoted) << "unbalanced quotes";
        if (any)
            args << arg;
        for (QString &a : args)
            a.replace("%%", "%");
        return args;
    }
};

QString makeProgram(const QString &folder)
{
    QDir().mkpath(folder);
    const QString program = folder + "/TovraMouse";
    TestHome::writeFile(program, "#!/bin/sh\n");
    return program;
}

} // namespace

TEST(XdgAutostart, TheEntryLivesInTheConfigFolderUnderAutostart)
{
    TestHome home;
    EXPECT_EQ(XdgAutostart().entryPath(), home.path() + "/.config/autostart/TovraMouse.desktop");
}

TEST(XdgAutostart, WithoutXdgConfigHomeTheEntryLivesInDotConfig)
{
    TestHome home;
    qunsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(XdgAutostart().entryPath(), home.path() + "/.config/autostart/TovraMouse.desktop");
    qputenv("XDG_CONFIG_HOME", "relative/config"); // not absolute: ignored by the XDG rules
    EXPECT_EQ(XdgAutostart().entryPath(), home.path() + "/.config/autostart/TovraMouse.desktop");
    qputenv("XDG_CONFIG_HOME", QByteArray());
    EXPECT_EQ(XdgAutostart().entryPath(), home.path() + "/.config/autostart/TovraMouse.desktop");
}

TEST(XdgAutostart, EnableWritesADesktopEntryThatStartsTheProgramInItsFolder)
{
    TestHome home;
    const QString program = makeProgram(home.path() + "/bin");
    XdgAutostart autostart;
    ASSERT_FALSE(autostart.isEnabled());
    ASSERT_TRUE(autostart.enable(program)); // creates ~/.config/autostart
    EXPECT_TRUE(autostart.isEnabled());

    const DesktopEntry entry(TestHome::readFile(autostart.entryPath()));
    EXPECT_EQ(entry.keys.value("Type"), "Application");
    EXPECT_EQ(entry.keys.value("Name"), "Tovra Mouse");
    EXPECT_EQ(entry.execArguments(), QStringList{program});
    EXPECT_EQ(entry.keys.value("Path"), home.path() + "/bin");
    EXPECT_EQ(entry.keys.value("X-GNOME-Autostart-enabled"), "true");
}

TEST(XdgAutostart, PathsWithSpacesAndUnusualCharactersReadBackExactly)
{
    TestHome home;
    // A config folder with spaces and non-ASCII letters, a program folder with every
    // character the Exec key quotes or escapes.
    const QString config = home.path() + QString::fromUtf8("/Réglages 設定");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config));
    const QString folder =
        home.path() + QString::fromUtf8("/Mes programmes/Tovra Mäus 日本 $HOME `id` "
                                        "\"q\" 'a' 100% back\\slash\ttab");
    const QString program = makeProgram(folder);

    XdgAutostart autostart;
    ASSERT_TRUE(autostart.enable(program));
    EXPECT_TRUE(QFileInfo::exists(config + "/autostart/TovraMouse.desktop"));
    EXPECT_TRUE(autostart.isEnabled());

    const DesktopEntry entry(TestHome::readFile(autostart.entryPath()));
    EXPECT_EQ(entry.execArguments(), QStringList{program});
    EXPECT_EQ(entry.keys.value("Path"), folder);
}

TEST(XdgAutostart, ExecQuotingFollowsTheDesktopEntryRules)
{
    EXPECT_EQ(XdgAutostart::quoteExecArgument("/opt/a b/p"), "\"/opt/a b/p\"");
    EXPECT_EQ(XdgAutostart::quoteExecArgument("a\"b`c$d\\e"), "\"a\\\"b\\`c\\$d\\\\e\"");
    // A literal backslash in a quoted argument is written as four in the file.
    const QByteArray entry = XdgAutostart::entryFor("/x\\y/p");
    EXPECT_TRUE(entry.contains("Exec=\"/x\\\\\\\\y/p\"\n")) << entry.constData();
    EXPECT_TRUE(entry.contains("Path=/x\\\\y\n")) << entry.constData();
    EXPECT_TRUE(XdgAutostart::entryFor("/a/100%/p").contains("Exec=\"/a/100%%/p\"\n"));
}

TEST(XdgAutostart, DisableRemovesTheEntry)
{
    TestHome home;
    XdgAutostart autostart;
    EXPECT_TRUE(autostart.disable()); // nothing to remove is no failure
    ASSERT_TRUE(autostart.enable(makeProgram(home.path() + "/bin")));
    EXPECT_TRUE(autostart.disable());
    EXPECT_FALSE(autostart.isEnabled());
    EXPECT_FALSE(QFileInfo::exists(autostart.entryPath()));
}

TEST(XdgAutostart, EnablingTwiceKeepsOneUpToDateEntry)
{
    TestHome home;
    XdgAutostart autostart;
    ASSERT_TRUE(autostart.enable(makeProgram(home.path() + "/old")));
    ASSERT_TRUE(autostart.enable(makeProgram(home.path() + "/new")));
    const DesktopEntry entry(TestHome::readFile(autostart.entryPath()));
    EXPECT_EQ(entry.keys.value("Path"), home.path() + "/new");
    EXPECT_EQ(QDir(home.path() + "/.config/autostart").entryList(QDir::Files).size(), 1);
}

TEST(XdgAutostart, AFolderThatCannotBeMadeIsAFailureWithOneLogLine)
{
    TestHome home;
    TestHome::writeFile(home.path() + "/file", "not a folder");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.path() + "/file"));
    WarningCounter warnings("Autostart");
    XdgAutostart autostart;
    EXPECT_FALSE(autostart.enable(makeProgram(home.path() + "/bin")));
    EXPECT_FALSE(autostart.isEnabled());
    EXPECT_EQ(warnings.count(), 1);
}

TEST(XdgAutostart, WithoutAnyHomeThereIsNoPlace)
{
    TestHome home;
    qunsetenv("XDG_CONFIG_HOME");
    qunsetenv("HOME");
    XdgAutostart autostart;
    EXPECT_TRUE(autostart.entryPath().isEmpty());
    EXPECT_FALSE(autostart.isEnabled());
    EXPECT_FALSE(autostart.enable("/opt/TovraMouse"));
}
