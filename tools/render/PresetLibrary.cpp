#include "tools/render/PresetLibrary.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <stdexcept>
#include <utility>

namespace brelvik::render {

namespace {

bool sameName(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
               return std::tolower(x) == std::tolower(y);
           });
}

} // namespace

PresetLibrary::PresetLibrary(std::string folder) : folder_(std::move(folder)) {}

std::vector<PresetEntry> PresetLibrary::entries() const
{
    const std::string indexPath = folder_ + "/index.txt";
    std::ifstream index(indexPath);
    if (!index)
        throw std::runtime_error("no mastering presets in '" + folder_ + "' (" + indexPath +
                                 " is missing; they are made when the tool is built)");
    std::vector<PresetEntry> found;
    std::string line;
    while (std::getline(index, line)) {
        const size_t tab = line.find('\t');
        if (tab == std::string::npos)
            continue;
        PresetEntry entry{line.substr(0, tab), line.substr(tab + 1), {}};
        entry.path = folder_ + "/" + entry.name + ".fxp";
        found.push_back(std::move(entry));
    }
    return found;
}

std::optional<PresetEntry> PresetLibrary::find(const std::string& name) const
{
    try {
        for (const PresetEntry& entry : entries())
            if (sameName(entry.name, name))
                return entry;
    } catch (const std::runtime_error&) {
    }
    return std::nullopt;
}

} // namespace brelvik::render
