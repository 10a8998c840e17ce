// The file selector: cancelled on Linux, one dialog at a time, paths with "/"; and the text entries
// that use it.
#include <gtest/gtest.h>

#include "editor/text/CK_CTextEntry.h"
#include "gui/CFrame.h"
#include "tests/editor/EditorTestSupport.h"

namespace brelvik::editor::test {
namespace {

// A dialog that answers `path`, and while it is open asks its selector once more.
struct ScriptedSelector : CK_FileSelector {
    explicit ScriptedSelector(std::string answer) : path(std::move(answer)) { }
    std::optional<std::string> runDialog(CK_FileDialog kind, const std::string& filter, const std::string&) override
    {
        asked.push_back(kind);
        secondAnswer = openFile(filter, "again");
        return path;
    }
    std::string path;
    std::optional<std::string> secondAnswer = "not asked";
    std::vector<CK_FileDialog> asked;
};

TEST(FileSelector, AnswersCancelledOnLinuxAndRefusesWhileItsDialogIsOpen)
{
    CK_FileSelector platform;
    EXPECT_FALSE(platform.openFile("Wav", "Select a .wav sample to LOAD"));
    EXPECT_FALSE(platform.saveFile("Wav", "Select a .wav sample to SAVE"));
    EXPECT_FALSE(platform.chooseDirectory("Wav", "Set the Directory Path for ALL Samples"));

    ScriptedSelector selector("C:\\Samples\\kick.wav");
    EXPECT_EQ(selector.saveFile("Wav", "t"), "C:/Samples/kick.wav");
    EXPECT_EQ(selector.secondAnswer, std::nullopt);
    EXPECT_FALSE(selector.isBusy());
}

TEST(TextEntry, FileStylesAskTheirDialogAndACancelChangesNothing)
{
    FakeEditorContext context;
    gui::CFrame frame(200, 40);
    auto chosen = std::make_unique<ScriptedSelector>("D:\\a.wav");
    ScriptedSelector* dialog = chosen.get();
    auto* load = new CK_CTextEntry({0, 0, 100, 20}, context.listener(), 5, CK_CTextEntry::kLoadFile, std::move(chosen));
    auto* directory = new CK_CTextEntry({100, 0, 200, 20}, context.listener(), 6, CK_CTextEntry::kDirectory);
    frame.addView(load);
    frame.addView(directory);

    frame.mouseDown({150, 5}, gui::kLButton);
    EXPECT_EQ(directory->getText(), "");
    EXPECT_TRUE(context.effect.automated.empty());

    frame.mouseDown({50, 5}, gui::kLButton);
    EXPECT_EQ(dialog->asked, std::vector<CK_FileDialog>{CK_FileDialog::kOpen});
    EXPECT_EQ(load->getText(), "D:/a.wav");
    ASSERT_EQ(context.effect.automated.size(), 1u);
    EXPECT_EQ(context.effect.automated[0].first, 5);
}

} // namespace
} // namespace brelvik::editor::test
