// Whole-file reads for the content tools' readers.
#pragma once
#include <string>

namespace content {

// False when the file cannot be opened; the file's bytes otherwise.
bool ReadFileBytes(const std::string& path, std::string* bytes);

} // namespace content
