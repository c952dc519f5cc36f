#pragma once

// The one registry of desktop services. Back ends are chosen once at start: the X11/Linux
// ones when a display can be opened, the recording ones otherwise. Tests install the
// recording ones explicitly.
namespace platform {

class MouseParameters;
class Process;
class SoundPlayer;
class Autostart;
class InputSynthesis;
class PointerScreens;
class SystemCursors;
class OverlayWindows;
class OverlayShapes;
class CameraList;
class KeyGrabs;

enum class Backend
{
    None,
    Native,
    Recording
};

// Installs the native back ends when an X display can be opened, else the recording ones.
Backend installDefault();
// Installs the recording back ends (tests; no display).
void installRecording();
// Removes every back end (tests).
void uninstall();
Backend installedBackend();

// Each accessor returns the installed service; the recording one when nothing was installed.
MouseParameters &mouseParameters();
Process &process();
SoundPlayer &soundPlayer();
Autostart &autostart();
InputSynthesis &inputSynthesis();
PointerScreens &pointerScreens();
SystemCursors &systemCursors();
OverlayWindows &overlayWindows();
OverlayShapes &overlayShapes();
CameraList &cameraList();
KeyGrabs &keyGrabs();

} // namespace platform
