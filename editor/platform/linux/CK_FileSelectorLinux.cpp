// Linux offers no file dialog without a desktop toolkit, which the plug-in does not load into its
// host: every request answers as a cancelled dialog.
#include "editor/text/CK_FileSelector.h"

std::optional<std::string> runSystemFileDialog(CK_FileDialog, const std::string&, const std::string&)
{
    return std::nullopt;
}
