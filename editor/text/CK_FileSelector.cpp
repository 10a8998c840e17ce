#include "editor/text/CK_FileSelector.h"

#include <algorithm>

std::optional<std::string> CK_FileSelector::openFile(const std::string& filter, const std::string& title)
{
    return ask(CK_FileDialog::kOpen, filter, title);
}

std::optional<std::string> CK_FileSelector::saveFile(const std::string& filter, const std::string& title)
{
    return ask(CK_FileDialog::kSave, filter, title);
}

std::optional<std::string> CK_FileSelector::chooseDirectory(const std::string& filter, const std::string& title)
{
    return ask(CK_FileDialog::kDirectory, filter, title);
}

std::optional<std::string> CK_FileSelector::ask(CK_FileDialog kind, const std::string& filter, const std::string& title)
{
    if (busy_)
        return std::nullopt;
    busy_ = true;
    std::optional<std::string> path = runDialog(kind, filter, title);
    busy_ = false;
    if (path && path->empty())
        return std::nullopt;
    if (path)
        std::replace(path->begin(), path->end(), '\\', '/');
    return path;
}
