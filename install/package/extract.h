// Extracting a container block's files to disk: the work behind the script's FilesProcess.
#pragma once
#include <functional>
#include <string>

#include "install/package/storage.h"
#include "install/script.h"

namespace pkg {

// Gets the fraction of the block and of the current file done; false stops the extraction.
using ExtractProgress = std::function<bool(double blockFraction, double fileFraction)>;

// Walks the tree from the root table (or from the `source` folder when it is not empty) and
// writes every file whose name does not begin with '~' below `destination`; folder names are
// expanded. With overwrite off a file on disk newer than the entry stays. A "~stem.MARK.ext"
// entry beside a file supplies its content when DMARK_LOC is MARK. Every created folder and
// file is logged through the runner. False on a damaged block, an abort in a retry dialog, a
// short write or when the progress callback says stop.
bool ExtractFiles(inst::ScriptRunner& runner, const PackageBlock& block, const std::string& source,
                  const std::string& destination, bool overwrite, const ExtractProgress& progress);

} // namespace pkg
