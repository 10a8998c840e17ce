#pragma once

#include <cstdint>

#include "gui/CView.h"

namespace brelvik::gui {

class CControlListener;

// A view with a value in [min, max] and a tag, reporting user edits to its listener.
class CControl : public CView {
public:
    CControl(const CRect& size, CControlListener* listener = nullptr, int32_t tag = -1, CBitmap* background = nullptr);

    virtual void setValue(float value) { value_ = value; }
    float getValue() const { return value_; }
    void setMin(float min) { min_ = min; }
    float getMin() const { return min_; }
    void setMax(float max) { max_ = max; }
    float getMax() const { return max_; }
    void setDefaultValue(float value) { default_ = value; }
    float getDefaultValue() const { return default_; }
    // Clamps the value into [min, max].
    void bounceValue();
    // The value mapped from [min, max] to [0, 1].
    float getValueNormalized() const;

    int32_t getTag() const { return tag_; }
    void setTag(int32_t tag) { tag_ = tag; }
    CControlListener* getListener() const { return listener_; }
    void setListener(CControlListener* listener) { listener_ = listener; }

    // Tells the listener about the current value (a user edit).
    void reportValueChanged();
    // Bracket a gesture; nested calls reach the listener once.
    void beginEdit();
    void endEdit();
    bool isEditing() const { return editDepth_ > 0; }

    float getWheelInc() const { return wheelInc_; }
    void setWheelInc(float inc) { wheelInc_ = inc; }

protected:
    float value_ = 0.0f;

private:
    float min_ = 0.0f;
    float max_ = 1.0f;
    float default_ = 0.5f;
    float wheelInc_ = 0.1f;
    int32_t tag_;
    CControlListener* listener_;
    int editDepth_ = 0;
};

} // namespace brelvik::gui
