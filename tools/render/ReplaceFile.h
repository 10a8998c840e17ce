// Moves a finished temporary file over its destination, replacing an existing file. POSIX rename
// does that already; the Windows C library's refuses an existing destination.
#pragma once

#include <string>

namespace brelvik::render {

// Answers true on success; on failure errno describes the reason.
bool replaceFile(const std::string& from, const std::string& to);

} // namespace brelvik::render
