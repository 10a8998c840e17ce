// Where the tool may write a file without harming another one: never onto one of its inputs
// (whatever the spelling: another path, a symlink or a hard link to it), never in place of a
// special file (FIFO, device, socket) or a folder, and through a symlink onto the link's target,
// so that the link stays.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

namespace brelvik::render {

struct TargetError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct OutputTarget {
    std::string path;     // the file to replace or create: the symlink's target for a symlink
    bool existed = false; // a regular file is there already
};

// Throws TargetError with a one-line reason naming `path`.
OutputTarget resolveOutputTarget(const std::string& path, const std::vector<std::string>& inputs);

// True when both paths name one existing file.
bool sameFile(const std::string& a, const std::string& b);

} // namespace brelvik::render
