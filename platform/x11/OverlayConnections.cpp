#include "platform/x11/OverlayConnections.h"

#include "platform/x11/ThreadDisplay.h"

#include <QtGlobal>
#include <X11/Xlib.h>

#include <mutex>
#include <string>
#include <vector>

namespace platform {

namespace {

struct Idle
{
    std::string name; // the display it was opened for
    Display *connection;
};

std::mutex idleMutex;
// The display each connection was opened for, while a window has it.
std::vector<Idle> &lent()
{
    static auto *const list = new std::vector<Idle>;
    return *list;
}
// Never freed: an overlay thread left to end by itself may give its connection back after
// main returns.
std::vector<Idle> &idle()
{
    static auto *const list = new std::vector<Idle>;
    return *list;
}

} // namespace

Display *OverlayConnections::take()
{
    const std::string name = XDisplayName(nullptr);
    {
        std::lock_guard<std::mutex> lock(idleMutex);
        std::vector<Idle> &list = idle();
        for (auto it = list.begin(); it != list.end(); ++it) {
            if (it->name != name)
                continue;
            Display *connection = it->connection;
            list.erase(it);
            if (!ThreadDisplay::serverStillThere(connection))
                break;               // dropped; a new one is opened below
            XSync(connection, True); // the last window's events are not the next one's
            lent().push_back({name, connection});
            return connection;
        }
    }
    Display *connection = XOpenDisplay(nullptr);
    if (!connection) {
        qWarning("Overlay: cannot open the X display");
        return nullptr;
    }
    std::lock_guard<std::mutex> lock(idleMutex);
    lent().push_back({name, connection});
    return connection;
}

void OverlayConnections::giveBack(Display *connection)
{
    if (!connection)
        return;
    std::string name;
    {
        std::lock_guard<std::mutex> lock(idleMutex);
        std::vector<Idle> &list = lent();
        for (auto it = list.begin(); it != list.end(); ++it) {
            if (it->connection == connection) {
                name = it->name;
                list.erase(it);
                break;
            }
        }
    }
    if (!ThreadDisplay::serverStillThere(connection))
        return;
    XSync(connection, True);
    std::lock_guard<std::mutex> lock(idleMutex);
    idle().push_back({name, connection});
}

} // namespace platform
