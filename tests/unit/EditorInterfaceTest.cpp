// The effect as the editor sees it, through the editor interface only.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "shell/CK_DSP_VST.h"

namespace {

std::vector<std::pair<VstInt32, VstInt32>> gHostCalls; // (opcode, index)

VstIntPtr recordingHost(AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr, void*, float)
{
    if (opcode == audioMasterAutomate || opcode == audioMasterBeginEdit || opcode == audioMasterEndEdit)
        gHostCalls.emplace_back(opcode, index);
    return 0;
}

TEST(EditorInterface, HostHearsOnlyOfHostParameters)
{
    gHostCalls.clear();
    CK_DSP_VST fx(recordingHost);
    CK_EditorHost& host = fx;
    host.beginEdit(5);
    host.setParameterAutomated(5, 0.25f);
    host.endEdit(5);
    // The bypass and a panel button exist only between editor and modules.
    host.beginEdit(kTagBypass);
    host.setParameterAutomated(kTagBypass, 1.0f);
    host.endEdit(kTagBypass);
    host.setParameterAutomated(kTagCreditsButton, 1.0f);
    const std::vector<std::pair<VstInt32, VstInt32>> expected = {
        {audioMasterBeginEdit, 5}, {audioMasterAutomate, 5}, {audioMasterEndEdit, 5}};
    EXPECT_EQ(gHostCalls, expected);
    EXPECT_FLOAT_EQ(host.getParameter(5), 0.25f);
}

TEST(EditorInterface, EditorOnlyValuesAreReadableThoughTheHostSeesZero)
{
    CK_DSP_VST fx(nullptr);
    CK_EditorHost& host = fx;
    host.setParameterAutomated(kTagBypass, 1.0f);        // bypass on (its range is 0..1)
    host.setParameterFromEditor(kTagEqDisplaySelect, 0.5f, true); // band-split display, 5 of 0..10
    EXPECT_EQ(host.getParameter(kTagBypass), 0.0f);
    EXPECT_FLOAT_EQ(host.editorValue(kTagBypass), 1.0f);
    EXPECT_FLOAT_EQ(host.editorValue(kTagEqDisplaySelect), 0.5f);
    EXPECT_EQ(host.editorValue(kParameterCount), 0.0f);
    host.setParameterAutomated(5, 0.75f);
    EXPECT_FLOAT_EQ(host.editorValue(5), 0.75f);
}

TEST(EditorInterface, GlobalDisplaysAndOpeningFlag)
{
    CK_DSP_VST fx(nullptr);
    CK_EditorHost& host = fx;
    EXPECT_FALSE(host.isEditorOpening());
    host.setEditorOpening(true);
    EXPECT_TRUE(host.isEditorOpening());
    host.setShownTag(7);
    host.setGlobalDisplayTags(kTagGlobalValue, kTagGlobalName);
    EXPECT_EQ(host.globalValueDisplayTag(), kTagGlobalValue);
    EXPECT_EQ(host.globalNameDisplayTag(), kTagGlobalName);
    EXPECT_EQ(host.shownTag(), -1); // new displays show nothing yet
}

} // namespace
