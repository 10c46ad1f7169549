#pragma once

// A window's name as the window system knows it, apart from its title.

class QWidget;

namespace kolvex {

// Qt names a window whose title is empty after the application; on X the window's name
// properties are emptied here instead. Elsewhere the window keeps the name Qt gave it. Needs the
// native window (winId()).
void ClearWindowName(QWidget &window);

} // namespace kolvex
