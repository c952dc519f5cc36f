#pragma once

#include "platform/Autostart.h"

// The XDG autostart entry $XDG_CONFIG_HOME/autostart/TovraMouse.desktop (~/.config when the
// variable is unset), started by the desktop at login in the program's own folder.
namespace platform {

class XdgAutostart : public Autostart
{
public:
    QString entryPath() override;
    bool isEnabled() override;
    bool enable(const QString &programPath) override;
    bool disable() override;

    // The desktop entry for the program (freedesktop.org desktop entry format 1.5).
    static QByteArray entryFor(const QString &programPath);
    // One Exec argument, quoted and escaped so that it reads back as the same text.
    static QString quoteExecArgument(const QString &argument);
    // A value of type string: backslash, tab, newline and return escaped.
    static QString escapeString(const QString &value);
};

} // namespace platform
