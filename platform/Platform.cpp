#include "platform/Platform.h"

#include "platform/linux/AlsaSoundPlayer.h"
#include "platform/linux/LinuxProcess.h"
#include "platform/linux/V4l2CameraList.h"
#include "platform/linux/XdgAutostart.h"
#include "platform/recording/CallLog.h"
#include "platform/recording/RecordingAutostart.h"
#include "platform/recording/RecordingCameraList.h"
#include "platform/recording/RecordingInputSynthesis.h"
#include "platform/recording/RecordingKeyGrabs.h"
#include "platform/recording/RecordingMouseParameters.h"
#include "platform/recording/RecordingOverlayShapes.h"
#include "platform/recording/RecordingOverlayWindows.h"
#include "platform/recording/RecordingPointerScreens.h"
#include "platform/recording/RecordingProcess.h"
#include "platform/recording/RecordingSoundPlayer.h"
#include "platform/recording/RecordingSystemCursors.h"
#include "platform/x11/ThreadDisplay.h"
#include "platform/x11/X11InputSynthesis.h"
#include "platform/x11/X11KeyGrabs.h"
#include "platform/x11/X11MouseParameters.h"
#include "platform/x11/X11OverlayShapes.h"
#include "platform/x11/X11OverlayWindows.h"
#include "platform/x11/X11PointerScreens.h"
#include "platform/x11/X11SystemCursors.h"

#include <X11/Xlib.h>
#undef None // Xlib's macro; Backend::None is ours
#include <atomic>
#include <memory>
#include <mutex>

namespace platform {

namespace {

// One service of the registry. Readers on any thread load the pointer; installing happens at
// start (or between tests) while no other thread uses the layer.
template<class Service> class Slot
{
public:
    Service *get() const { return active.load(std::memory_order_acquire); }
    void installNative(std::unique_ptr<Service> native)
    {
        Service *service = native.get();
        set(service, std::move(native));
    }
    void installRecording(Service &recording) { set(&recording, nullptr); }
    void clear() { set(nullptr, nullptr); }

private:
    std::atomic<Service *> active{nullptr};
    std::unique_ptr<Service> owned;

    void set(Service *service, std::unique_ptr<Service> owner)
    {
        active.store(service, std::memory_order_release);
        owned = std::move(owner); // destroys the previous native back end, if any
    }
};

// A new service: a Slot here, a line in each install function, an accessor below.
struct Registry
{
    std::mutex installing;
    std::atomic<Backend> backend{Backend::None};
    Slot<MouseParameters> mouse;
    Slot<Process> process;
    Slot<SoundPlayer> sound;
    Slot<Autostart> autostart;
    Slot<InputSynthesis> input;
    Slot<PointerScreens> screens;
    Slot<SystemCursors> cursors;
    Slot<OverlayWindows> overlays;
    Slot<OverlayShapes> shapes;
    Slot<CameraList> cameras;
    Slot<KeyGrabs> keys;
};

Registry &registry()
{
    static Registry r;
    return r;
}

template<class Service, class Recording>
Service &activeOr(const Slot<Service> &slot, Recording &(*recording)())
{
    Service *s = slot.get();
    return s ? *s : recording();
}

} // namespace

// The recording back ends live for the whole process, so references to them never dangle.
// The log and the overlay windows are never destroyed at all: an overlay thread left to end
// by itself (its desktop never answered) may still close its window after main returns.
CallLog &recordingLog()
{
    static CallLog *const log = new CallLog;
    return *log;
}
RecordingMouseParameters &recordingMouseParameters()
{
    static RecordingMouseParameters service;
    return service;
}
RecordingProcess &recordingProcess()
{
    static RecordingProcess service;
    return service;
}
RecordingSoundPlayer &recordingSoundPlayer()
{
    static RecordingSoundPlayer service;
    return service;
}
RecordingAutostart &recordingAutostart()
{
    static RecordingAutostart service;
    return service;
}
RecordingInputSynthesis &recordingInputSynthesis()
{
    static RecordingInputSynthesis service;
    return service;
}
RecordingPointerScreens &recordingPointerScreens()
{
    static RecordingPointerScreens service;
    return service;
}
RecordingSystemCursors &recordingSystemCursors()
{
    static RecordingSystemCursors service;
    return service;
}
RecordingCameraList &recordingCameraList()
{
    static RecordingCameraList service;
    return service;
}

RecordingOverlayWindows &recordingOverlayWindows()
{
    static RecordingOverlayWindows *const service = new RecordingOverlayWindows;
    return *service;
}
RecordingOverlayShapes &recordingOverlayShapes()
{
    static RecordingOverlayShapes service;
    return service;
}
RecordingKeyGrabs &recordingKeyGrabs()
{
    static RecordingKeyGrabs service;
    return service;
}

Backend installDefault()
{
    XInitThreads(); // before any other Xlib call of the process
    Display *probe = XOpenDisplay(nullptr);
    if (!probe) {
        installRecording();
        return Backend::Recording;
    }
    XCloseDisplay(probe);

    Registry &r = registry();
    std::lock_guard<std::mutex> lock(r.installing);
    r.mouse.installNative(std::make_unique<X11MouseParameters>());
    r.process.installNative(std::make_unique<LinuxProcess>());
    r.sound.installNative(std::make_unique<AlsaSoundPlayer>());
    r.autostart.installNative(std::make_unique<XdgAutostart>());
    // Connections a thread opened for earlier back ends may be to another display.
    ThreadDisplay::invalidateAll();
    r.input.installNative(std::make_unique<X11InputSynthesis>());
    r.screens.installNative(std::make_unique<X11PointerScreens>());
    r.cursors.installNative(std::make_unique<X11SystemCursors>());
    r.overlays.installNative(std::make_unique<X11OverlayWindows>());
    r.shapes.installNative(std::make_unique<X11OverlayShapes>());
    r.cameras.installNative(std::make_unique<V4l2CameraList>());
    r.keys.installNative(std::make_unique<X11KeyGrabs>());
    r.backend = Backend::Native;
    return Backend::Native;
}

void installRecording()
{
    Registry &r = registry();
    std::lock_guard<std::mutex> lock(r.installing);
    recordingLog().clear();
    recordingMouseParameters().reset();
    recordingProcess().reset();
    recordingSoundPlayer().reset();
    recordingAutostart().reset();
    recordingInputSynthesis().reset();
    recordingPointerScreens().reset();
    recordingSystemCursors().reset();
    recordingOverlayWindows().reset();
    recordingCameraList().reset();
    recordingKeyGrabs().reset();
    r.mouse.installRecording(recordingMouseParameters());
    r.process.installRecording(recordingProcess());
    r.sound.installRecording(recordingSoundPlayer());
    r.autostart.installRecording(recordingAutostart());
    r.input.installRecording(recordingInputSynthesis());
    r.screens.installRecording(recordingPointerScreens());
    r.cursors.installRecording(recordingSystemCursors());
    r.overlays.installRecording(recordingOverlayWindows());
    r.shapes.installRecording(recordingOverlayShapes());
    r.cameras.installRecording(recordingCameraList());
    r.keys.installRecording(recordingKeyGrabs());
    r.backend = Backend::Recording;
}

void uninstall()
{
    Registry &r = registry();
    std::lock_guard<std::mutex> lock(r.installing);
    r.mouse.clear();
    r.process.clear();
    r.sound.clear();
    r.autostart.clear();
    r.input.clear();
    r.screens.clear();
    r.cursors.clear();
    r.overlays.clear();
    r.shapes.clear();
    r.cameras.clear();
    r.keys.clear();
    r.backend = Backend::None;
}

Backend installedBackend()
{
    return registry().backend;
}

MouseParameters &mouseParameters()
{
    return activeOr(registry().mouse, &recordingMouseParameters);
}
Process &process()
{
    return activeOr(registry().process, &recordingProcess);
}
SoundPlayer &soundPlayer()
{
    return activeOr(registry().sound, &recordingSoundPlayer);
}
Autostart &autostart()
{
    return activeOr(registry().autostart, &recordingAutostart);
}
InputSynthesis &inputSynthesis()
{
    return activeOr(registry().input, &recordingInputSynthesis);
}
PointerScreens &pointerScreens()
{
    return activeOr(registry().screens, &recordingPointerScreens);
}
SystemCursors &systemCursors()
{
    return activeOr(registry().cursors, &recordingSystemCursors);
}
OverlayWindows &overlayWindows()
{
    return activeOr(registry().overlays, &recordingOverlayWindows);
}
OverlayShapes &overlayShapes()
{
    return activeOr(registry().shapes, &recordingOverlayShapes);
}
CameraList &cameraList()
{
    return activeOr(registry().cameras, &recordingCameraList);
}
KeyGrabs &keyGrabs()
{
    return activeOr(registry().keys, &recordingKeyGrabs);
}

} // namespace platform
