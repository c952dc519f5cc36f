#pragma once

// The body of main() for tests of windows on a private desktop (Xvfb with openbox): a
// throw-away home, the desktop, the program's application object, then every test. With
// `nativeServices` the desktop's own services (work area, focus, window hints) are used, else
// the recording ones.
int runTestsOnPrivateDesktop(int argc, char **argv, bool nativeServices);
