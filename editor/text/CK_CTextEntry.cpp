#include "editor/text/CK_CTextEntry.h"

using namespace brelvik::gui;

namespace {
constexpr const char* kWavFilter = "Wav";
} // namespace

CK_CTextEntry::CK_CTextEntry(
    const CRect& size, CControlListener* listener, int32_t tag, int style, std::unique_ptr<CK_FileSelector> selector)
    : CTextEdit(size, listener, tag), style_(style), selector_(std::move(selector))
{
}

std::optional<std::string> CK_CTextEntry::choosePath()
{
    switch (style_) {
    case kLoadFile: return selector_->openFile(kWavFilter, "Select a .wav sample to LOAD");
    case kSaveFile: return selector_->saveFile(kWavFilter, "Select a .wav sample to SAVE");
    default: return selector_->chooseDirectory(kWavFilter, "Set the Directory Path for ALL Samples");
    }
}

CMouseEventResult CK_CTextEntry::onMouseDown(CPoint& where, const CButtonState& buttons)
{
    if (style_ < kLoadFile)
        return CTextEdit::onMouseDown(where, buttons);
    if (!buttons.isLeftButton())
        return CMouseEventResult::kNotHandled;
    // A cancelled or refused dialog changes nothing.
    if (const std::optional<std::string> path = choosePath()) {
        setText(*path);
        reportValueChanged();
    }
    return CMouseEventResult::kHandled;
}
