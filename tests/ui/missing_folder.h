#pragma once

#include <QString>

namespace kolvex::testing {

// The system's own words for a folder that does not exist, as the error display shows them.
QString MissingFolderReason();

} // namespace kolvex::testing
