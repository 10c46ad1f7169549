#include "ui/window_name.h"

namespace kolvex {

// Without X there is no name apart from the title to empty.
void ClearWindowName(QWidget &) {}

} // namespace kolvex
