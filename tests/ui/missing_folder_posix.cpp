#include "tests/ui/missing_folder.h"

#include <QCoreApplication>

namespace kolvex::testing {

// Qt's own text for ENOENT, and the full stop the error display adds.
QString MissingFolderReason() {
  return QCoreApplication::translate("QIODevice", "No such file or directory") + ".";
}

} // namespace kolvex::testing
