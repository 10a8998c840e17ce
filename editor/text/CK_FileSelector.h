// Asks the user for a file to load, a file to save or a folder, through the system's dialogs.
// One selector shows one dialog at a time: a second request while its dialog is open is refused.
#pragma once

#include <optional>
#include <string>

enum class CK_FileDialog { kOpen, kSave, kDirectory };

// The platform's dialog (one source file per platform): the chosen path as the system gives it,
// or none when the user cancels or the platform has no dialog.
std::optional<std::string> runSystemFileDialog(CK_FileDialog kind, const std::string& filter, const std::string& title);

class CK_FileSelector {
public:
    virtual ~CK_FileSelector() = default;

    // Each answers the chosen path with "/" as separator, or none when cancelled or refused.
    std::optional<std::string> openFile(const std::string& filter, const std::string& title);
    std::optional<std::string> saveFile(const std::string& filter, const std::string& title);
    std::optional<std::string> chooseDirectory(const std::string& filter, const std::string& title);

    bool isBusy() const { return busy_; }

protected:
    // The dialog itself; the platform's unless a subclass supplies another.
    virtual std::optional<std::string> runDialog(
        CK_FileDialog kind, const std::string& filter, const std::string& title)
    {
        return runSystemFileDialog(kind, filter, title);
    }

private:
    std::optional<std::string> ask(CK_FileDialog kind, const std::string& filter, const std::string& title);

    bool busy_ = false;
};
