// The file selector: cancelled on Linux, one dialog at a time, paths with "/"; and the text entries
// that use it.
#include <gtest/gtest.h>

#include "editor/text/CK_CTextEntry.h"
#include "editor/text/CK_FileSelector.h"
#include "gui/CFrame.h"
#include "tests/editor/EditorTestSupport.h"

namespace brelvik::editor::test {
namespace {

// A dialog that answers `path`, and while it is open asks its selector once more.
class ScriptedSelector : public CK_FileSelector {
public:
    explicit ScriptedSelector(std::optional<std::string> path) : path_(std::move(path)) { }
    std::optional<std::string> secondAnswer = "not asked";
    std::vector<CK_FileDialog> asked;

protected:
    std::optional<std::string> runDialog(
        CK_FileDialog kind, const std::string& filter, const std::string& title) override
    {
        asked.push_back(kind);
        EXPECT_TRUE(isBusy());
        secondAnswer = openFile(filter, title);
        return path_;
    }

private:
    std::optional<std::string> path_;
};

TEST(FileSelector, AnswersCancelledOnLinux)
{
    CK_FileSelector selector;
    EXPECT_FALSE(selector.openFile("Wav", "Select a .wav sample to LOAD"));
    EXPECT_FALSE(selector.saveFile("Wav", "Select a .wav sample to SAVE"));
    EXPECT_FALSE(selector.chooseDirectory("Wav", "Set the Directory Path for ALL Samples"));
    EXPECT_FALSE(selector.isBusy());
}

TEST(FileSelector, RefusesWhileItsDialogIsOpenAndAnswersForwardSlashes)
{
    ScriptedSelector selector(std::string("C:\\Samples\\kick.wav"));
    EXPECT_EQ(selector.saveFile("Wav", "t"), "C:/Samples/kick.wav");
    EXPECT_EQ(selector.secondAnswer, std::nullopt);
    EXPECT_FALSE(selector.isBusy());
    EXPECT_EQ(selector.asked, std::vector<CK_FileDialog>{CK_FileDialog::kSave});
}

TEST(TextEntry, FileStylesAskTheirDialogAndACancelChangesNothing)
{
    FakeEditorContext context;
    gui::CFrame frame(200, 40);
    auto chosen = std::make_unique<ScriptedSelector>(std::string("D:\\a.wav"));
    ScriptedSelector* chosenDialog = chosen.get();
    auto* load = new CK_CTextEntry({0, 0, 100, 20}, context.listener(), 5, CK_CTextEntry::kLoadFile, std::move(chosen));
    auto* directory = new CK_CTextEntry({100, 0, 200, 20}, context.listener(), 6, CK_CTextEntry::kDirectory);
    frame.addView(load);
    frame.addView(directory);

    frame.mouseDown({150, 5}, gui::kLButton);
    EXPECT_EQ(directory->getText(), "");
    EXPECT_TRUE(context.effect.automated.empty());

    frame.mouseDown({50, 5}, gui::kLButton);
    EXPECT_EQ(chosenDialog->asked, std::vector<CK_FileDialog>{CK_FileDialog::kOpen});
    EXPECT_EQ(load->getText(), "D:/a.wav");
    ASSERT_EQ(context.effect.automated.size(), 1u);
    EXPECT_EQ(context.effect.automated[0].first, 5);
}

} // namespace
} // namespace brelvik::editor::test
