#include "tests/ui/missing_folder.h"

#include <windows.h>

#include <QtGlobal>

namespace kolvex::testing {

// Windows's words end with a full stop of their own.
QString MissingFolderReason() {
  return qt_error_string(ERROR_PATH_NOT_FOUND);
}

} // namespace kolvex::testing
