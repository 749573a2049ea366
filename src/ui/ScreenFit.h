#pragma once

#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>

#include <optional>

class QTabWidget;

// Where a window of this natural size goes: its client area no larger than the room the
// available geometry leaves for the frame (but never below minimum), centred there, and never
// with its title bar above the top or its left edge off the left. Sizes are in the screen's
// device-independent pixels.
QRect FitOnScreen(QSize natural, QSize minimum, const QMargins &frame, const QRect &available);

// Where a window whose frame has the size outer goes beside companion (a frame geometry): to
// its right when there is room on the available area, else to its left, top edges level as far
// as the area allows. No value when neither side has room.
std::optional<QPoint> PlaceBeside(const QRect &companion, QSize outer, const QRect &available);

// Puts every page of the tab widget in a frameless scroll area, so a page squeezed below its
// own minimum scrolls instead of overlapping or cutting its widgets. The pages keep their
// object names; the scroll areas ask for what their pages ask for.
void MakePagesScrollable(QTabWidget &tabs);
