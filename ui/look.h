#pragma once

// The look the program's windows share: their fonts, the frame of a fixed window, and where a
// window first appears.

#include <QFont>

class QWidget;

namespace kolvex {

// Fonts asked for in pixels, so that they keep their sizes whatever the screen's resolution:
// "MS Sans Serif" and "Courier New" where the system has them, otherwise Liberation Sans and
// Liberation Mono, which have nearly their widths. The faces are looked up once a run: every
// request for a face the system lacks costs a fontconfig search.
QFont SansSerifFont(int pixels, bool bold = false);
QFont CourierFont(int pixels, bool bold = false);

// The chart grid's texts: Courier New, 16 pixels, bold; made once.
const QFont &CellFont();

// A window of fixed size with a caption, a system menu, a minimise button and no maximise button.
void UseFixedFrame(QWidget &window);

// Centres a window, frame included, on the whole primary screen, never past the screen's top or
// left edge: where each window of the program appears at its first showing. A window manager
// that frames the window only once it is mapped has it centred again by its frame at its first
// paint, unless it has been moved meanwhile.
void CentreOnScreen(QWidget &window);

} // namespace kolvex
