#include "tools/render/ReplaceFile.h"

#include <cerrno>
#include <cstdio>

#if defined(_WIN32)
#include <windows.h>
#endif

namespace brelvik::render {

bool replaceFile(const std::string& from, const std::string& to)
{
#if defined(_WIN32)
    if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED))
        return true;
    errno = GetLastError() == ERROR_ACCESS_DENIED ? EACCES : EIO;
    return false;
#else
    return std::rename(from.c_str(), to.c_str()) == 0;
#endif
}

} // namespace brelvik::render
