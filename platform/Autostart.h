#pragma once

#include <QString>

// Starting the program when the user logs in.
namespace platform {

class Autostart
{
public:
    virtual ~Autostart() = default;

    // Where the entry lives; empty when the location cannot be determined.
    virtual QString entryPath() = 0;
    virtual bool isEnabled() = 0;
    // Creates the entry for the given program; the program starts in its own folder.
    virtual bool enable(const QString &programPath) = 0;
    virtual bool disable() = 0;
};

} // namespace platform
