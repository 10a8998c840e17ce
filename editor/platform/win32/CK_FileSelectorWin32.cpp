// Windows: the system's common dialogs, modal to the host's active window. COM is initialised on
// the calling thread only while a dialog runs (shell extensions shown in the dialog need it) and
// released after it, so creating the editor never touches COM.
#include "editor/text/CK_FileSelector.h"

#include <windows.h>
#include <commdlg.h>
#include <objbase.h>

#include <cctype>
#include <vector>

namespace {

// The name offered in the folder choice: the dialog wants a file, the answer keeps only its folder.
constexpr const char* kFolderPlaceholder = "Select this folder";

// "Wav" becomes "Wav files (*.wav)", "*.wav", then every file; the list ends with two NULs.
std::string filterList(const std::string& extension)
{
    std::string lower = extension;
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    std::string list;
    if (!lower.empty()) {
        list += extension + " files (*." + lower + ")";
        list.push_back('\0');
        list += "*." + lower;
        list.push_back('\0');
    }
    list += "All files (*.*)";
    list.push_back('\0');
    list += "*.*";
    list.push_back('\0');
    list.push_back('\0');
    return list;
}

// Holds COM for the dialog's duration when this thread had none; a thread that already has it (in
// either model) keeps it as it was.
class ComForDialog {
public:
    ComForDialog() : initialised_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) { }
    ~ComForDialog()
    {
        if (initialised_)
            CoUninitialize();
    }
    ComForDialog(const ComForDialog&) = delete;
    ComForDialog& operator=(const ComForDialog&) = delete;

private:
    bool initialised_;
};

} // namespace

std::optional<std::string> runSystemFileDialog(CK_FileDialog kind, const std::string& filter, const std::string& title)
{
    ComForDialog com;
    const std::string filters = filterList(kind == CK_FileDialog::kDirectory ? std::string() : filter);
    std::vector<char> path(32768, '\0');
    if (kind == CK_FileDialog::kDirectory)
        lstrcpynA(path.data(), kFolderPlaceholder, static_cast<int>(path.size()));

    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = GetActiveWindow();
    dialog.lpstrFilter = filters.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = path.data();
    dialog.nMaxFile = static_cast<DWORD>(path.size());
    dialog.lpstrTitle = title.c_str();
    dialog.Flags = OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_HIDEREADONLY;

    BOOL chosen = FALSE;
    switch (kind) {
    case CK_FileDialog::kOpen:
        dialog.Flags |= OFN_FILEMUSTEXIST;
        chosen = GetOpenFileNameA(&dialog);
        break;
    case CK_FileDialog::kSave:
        dialog.Flags |= OFN_OVERWRITEPROMPT;
        dialog.lpstrDefExt = filter.empty() ? nullptr : filter.c_str();
        chosen = GetSaveFileNameA(&dialog);
        break;
    case CK_FileDialog::kDirectory:
        chosen = GetOpenFileNameA(&dialog);
        break;
    }
    if (!chosen)
        return std::nullopt; // cancelled, or the dialog failed (CommDlgExtendedError says which)

    std::string chosenPath(path.data());
    if (kind == CK_FileDialog::kDirectory) {
        // The folder the user stood in: the path up to the file name, without its last separator
        // unless that is a drive's root ("C:\").
        size_t end = dialog.nFileOffset;
        if (end > 0 && end <= chosenPath.size())
            chosenPath.resize(end);
        if (chosenPath.size() > 3 && (chosenPath.back() == '\\' || chosenPath.back() == '/'))
            chosenPath.pop_back();
    }
    return chosenPath;
}
