#pragma once

// Names the calling thread as tools such as top and /proc/PID/task/*/comm show it, so the
// program's threads can be told apart. At most 15 characters are kept.
namespace platform {

void nameCurrentThread(const char *name);

} // namespace platform
