#pragma once

// Process-level services of the desktop session.
namespace platform {

class Process
{
public:
    virtual ~Process() = default;

    // Raises the scheduling priority of the whole process a little above normal.
    // Ordinary users usually lack the privilege: false (and one log line) then.
    virtual bool raisePriority() = 0;
};

} // namespace platform
