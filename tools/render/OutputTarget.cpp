#include "tools/render/OutputTarget.h"

#include <sys/stat.h>
#if !defined(_WIN32)
#include <unistd.h>
#endif

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace brelvik::render {

namespace {

#if !defined(_WIN32)
constexpr int kMaxLinks = 40; // as the kernel's own limit on nested symlinks

std::string directoryOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// Follows symlinks to the name that will finally be written; a dangling link gives its target.
std::string followLinks(const std::string& path)
{
    std::string current = path;
    for (int depth = 0; depth < kMaxLinks; ++depth) {
        struct stat status {};
        if (lstat(current.c_str(), &status) != 0 || !S_ISLNK(status.st_mode))
            return current;
        std::string target(4096, '\0');
        const ssize_t n = readlink(current.c_str(), target.data(), target.size());
        if (n < 0)
            throw TargetError("cannot write '" + path + "': " + std::strerror(errno));
        target.resize(static_cast<size_t>(n));
        current = !target.empty() && target[0] == '/' ? target : directoryOf(current) + target;
    }
    throw TargetError("cannot write '" + path + "': too many levels of symbolic links");
}
#endif

} // namespace

bool sameFile(const std::string& a, const std::string& b)
{
#if defined(_WIN32)
    // stat has no file identity on Windows: compare full names, which Windows matches without case.
    char fa[_MAX_PATH], fb[_MAX_PATH];
    return _fullpath(fa, a.c_str(), sizeof fa) && _fullpath(fb, b.c_str(), sizeof fb) && _stricmp(fa, fb) == 0;
#else
    struct stat sa {}, sb {};
    if (stat(a.c_str(), &sa) != 0 || stat(b.c_str(), &sb) != 0)
        return false;
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
#endif
}

OutputTarget resolveOutputTarget(const std::string& path, const std::vector<std::string>& inputs)
{
    OutputTarget target;
#if defined(_WIN32)
    target.path = path;
#else
    target.path = followLinks(path);
#endif
    struct stat status {};
    if (stat(target.path.c_str(), &status) == 0) {
        if (S_ISDIR(status.st_mode))
            throw TargetError("cannot write '" + path + "': it is a folder");
        if (!S_ISREG(status.st_mode))
            throw TargetError("will not write '" + path + "': it is a special file (a device, FIFO or socket), "
                              "not a regular file");
        target.existed = true;
        for (const std::string& input : inputs)
            if (sameFile(target.path, input))
                throw TargetError("will not write '" + path + "': it is the input file '" + input +
                                  "'; give the output another name");
    }
    return target;
}

} // namespace brelvik::render
