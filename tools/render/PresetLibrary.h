// The mastering presets built with the tool: NAME.fxp program files and index.txt, one
// "name<TAB>description" line per preset, in one folder.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace brelvik::render {

struct PresetEntry {
    std::string name;
    std::string description;
    std::string path; // the .fxp file
};

class PresetLibrary {
public:
    explicit PresetLibrary(std::string folder);

    // Throws std::runtime_error when the folder holds no index.
    std::vector<PresetEntry> entries() const;
    // By name, ignoring case; nothing when there is no such preset (or no library).
    std::optional<PresetEntry> find(const std::string& name) const;

private:
    std::string folder_;
};

} // namespace brelvik::render
