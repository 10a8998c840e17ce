// Typed numbers: signs, one decimal point, nothing else.
#include <gtest/gtest.h>

#include "editor/text/CK_NumberText.h"
#include "shell/ParameterTags.h"

namespace {

TEST(NumberText, ParsesSignsAndOneDecimalPointOnly)
{
    using CK_NumberText::parse;
    EXPECT_EQ(parse("+12"), 12.0);
    EXPECT_EQ(parse("-+12.5"), -12.5);
    EXPECT_EQ(parse(" -3 "), -3.0);
    EXPECT_EQ(parse(".5"), 0.5);
    for (const char* bad : {"", " ", "-", ".", "+-1", "12a", "1.2.3", "1 2", "1e3"})
        EXPECT_EQ(parse(bad), std::nullopt) << '"' << bad << '"';
}

TEST(NumberText, TypedValuesOutsideTheRangeAreRefused)
{
    using CK_NumberText::typedValue;
    EXPECT_FLOAT_EQ(*typedValue(kTagLowThreshold, "-40"), 0.0f); // range -40 .. 0 dB
    EXPECT_FLOAT_EQ(*typedValue(kTagLowThreshold, "0"), 1.0f);
    EXPECT_EQ(typedValue(kTagLowThreshold, "-40.01"), std::nullopt);
    EXPECT_EQ(typedValue(kTagLowThreshold, "0.01"), std::nullopt);
}

} // namespace
