#include "engine/EngineSignals.h"

#include <atomic>

namespace {

// Set on the GUI thread before the worker starts, read on the worker.
std::atomic<EngineSignals *> registered{nullptr};

} // namespace

EngineSignals *engineSignals()
{
    return registered.load();
}

void setEngineSignals(EngineSignals *receiver)
{
    registered.store(receiver);
}
