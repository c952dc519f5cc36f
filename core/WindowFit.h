#pragma once

#include <QRect>

class QWidget;

// Every window of the program fits the work area (the primary screen less its panels), at
// every scale: a window placed or restored where it would not fit is brought inside, and made
// smaller where it is larger, its minimum size lowered when even that does not fit.

// The work area in the program's (logical) pixels, rounded inwards so that nothing placed
// inside it reaches a pixel outside; the primary screen's available geometry as the toolkit
// sees it when the desktop gives none.
QRect logicalWorkArea();

// Whether the window stands on the primary screen (its frame's centre there), whose work area
// is the one the desktop tells: a window the user keeps on another screen is left there.
bool onPrimaryScreen(const QWidget *window);

// The frame nearest to `frame` that lies inside `area`: no larger than the area, moved in by
// the least it takes. `frame` unchanged when `area` is empty.
QRect fitFrameInto(const QRect &frame, const QRect &area);

// Fits a top-level window's frame (the window manager's borders and title bar with it) into
// the work area: resizes and moves it when needed, and lowers a minimum size that does not
// fit. Before the window manager has framed it, its frame counts as its client area.
void fitToWorkArea(QWidget *window);

// The same once the window manager has framed the window (at most a second after it is
// shown; without one, at once), so that the frame counts. Returns at once.
void fitToWorkAreaOnceFramed(QWidget *window);

// Ends a wait begun by fitToWorkAreaOnceFramed(): the window has just been placed inside the
// work area on purpose. The window manager's own placement of a window it frames late may
// still reach the toolkit after that move; a fit then would act on that stale place.
void placedOnPurpose(QWidget *window);

// From now on the window is fitted again whenever a resize of it has settled (a quarter of a
// second without another) while it stands on the primary screen: grown past an edge of the
// work area, by the user or by its content, it comes back inside.
void keepInWorkAreaWhenResized(QWidget *window);
