// Parameters by name in engineering units, as brelvik-render's --set and --list-params use them:
// ranges and labels are read from the plug-in through its display texts, then mapped to the
// normalised values a host sends.
#include "tests/integration/LoadedPlugin.h"
#include "tools/render/PluginParameters.h"

#include <string>
#include <vector>

namespace brelvik::test {
namespace {

using render::ParameterError;
using render::PluginParameters;

class Parameters : public BuiltPlugin {
protected:
    void SetUp() override
    {
        BuiltPlugin::SetUp();
        plugin().open();
        plugin().setSampleRate(48000.0f);
        plugin().setBlockSize(512);
    }

    float normalised(const std::string& name, const std::string& value)
    {
        PluginParameters parameters(plugin());
        return parameters.normalisedValue(parameters.describe(parameters.find(name)), value);
    }

    std::string error(const std::string& assignment)
    {
        PluginParameters parameters(plugin());
        try {
            parameters.assign(assignment);
        } catch (const ParameterError& e) {
            return e.what();
        }
        return "accepted";
    }
};

TEST_F(Parameters, NumbersMapLinearlyOverTheRangeThePluginShows)
{
    PluginParameters parameters(plugin());
    const auto threshold = parameters.describe(parameters.find("Low Thresh dB"));
    EXPECT_FALSE(threshold.isChoice);
    EXPECT_EQ(threshold.atZero, -40.0);
    EXPECT_EQ(threshold.atOne, 0.0);
    EXPECT_FLOAT_EQ(normalised("Low Thresh dB", "-18"), 0.55f);
    EXPECT_FLOAT_EQ(normalised("Low Ratio", "0.1"), 0.0f);
    EXPECT_FLOAT_EQ(normalised("Eq 3 Freq Hz", "20480"), 1.0f);
    EXPECT_FLOAT_EQ(normalised("Spatial", "-25"), 0.375f);
    EXPECT_FLOAT_EQ(normalised("HeadPhone", "10"), 1.0f);

    // The widths run backwards: 100 at normalised 0, 10 at 1.
    const auto width = parameters.describe(parameters.find("Eq 1 Width"));
    EXPECT_EQ(width.atZero, 100.0);
    EXPECT_EQ(width.atOne, 10.0);
    EXPECT_FLOAT_EQ(normalised("Eq 1 Width", "100"), 0.0f);
    EXPECT_FLOAT_EQ(normalised("Eq 1 Width", "20"), 80.0f / 90.0f);
}

TEST_F(Parameters, ChoicesAreSetByTheirLabels)
{
    PluginParameters parameters(plugin());
    const auto metering = parameters.describe(parameters.find("Metering"));
    ASSERT_TRUE(metering.isChoice);
    ASSERT_EQ(metering.choices.size(), 2u);
    EXPECT_EQ(metering.choices[0].text, "Peak");
    EXPECT_EQ(metering.choices[1].text, "RMS");
    EXPECT_EQ(normalised("Metering", "RMS"), 1.0f);
    EXPECT_EQ(normalised("Metering", "peak"), 0.0f);
    EXPECT_EQ(normalised("Lo Harmonics", "Hard"), 1.0f) << "Hard is shown only at the top of the range";

    // Seven contours share the range; each label's value must show that label and, in
    // engineering units (0 to 6), round to the label's position.
    const auto contour = parameters.describe(parameters.find("AtkContour"));
    const std::vector<std::string> labels = {"Lin", "Exp", "Exp2", "IExp", "SCrv", "SCrv2", "ISCrv"};
    ASSERT_EQ(contour.choices.size(), labels.size());
    for (size_t i = 0; i < labels.size(); ++i) {
        EXPECT_EQ(contour.choices[i].text, labels[i]);
        EXPECT_NEAR(contour.choices[i].value * 6.0, static_cast<double>(i), 1e-5) << labels[i];
        plugin().setParameter(contour.index, contour.choices[i].value);
        EXPECT_EQ(plugin().parameterDisplay(contour.index), labels[i]);
    }

    // Displays are cut to 8 characters: the full label still selects its choice.
    EXPECT_EQ(normalised("Spatial Mode", "Low:Mid:High"), 0.0f);
    EXPECT_EQ(normalised("Spatial Mode", "High"), 1.0f);
}

TEST_F(Parameters, FindsParametersByNameInAnyCaseOrByIndex)
{
    PluginParameters parameters(plugin());
    EXPECT_EQ(parameters.find("Low Thresh dB"), 5);
    EXPECT_EQ(parameters.find("low thresh db"), 5);
    EXPECT_EQ(parameters.find("55"), 55);
    EXPECT_EQ(parameters.find("Master Gain dB"), 55);
}

TEST_F(Parameters, ANameSharedByParametersAsksForTheIndex)
{
    PluginParameters parameters(plugin());
    for (int i = 0; i < parameters.count(); ++i) {
        for (int j = i + 1; j < parameters.count(); ++j) {
            if (parameters.name(i) != parameters.name(j))
                continue;
            const std::string message = error(parameters.name(i) + "=0");
            EXPECT_NE(message.find("names parameters " + std::to_string(i) + ", " + std::to_string(j)), std::string::npos)
                << message;
            EXPECT_NE(message.find("give the index instead"), std::string::npos) << message;
            return;
        }
    }
    GTEST_SKIP() << "every parameter has a name of its own";
}

TEST_F(Parameters, ProbingLeavesEveryValueAsItWas)
{
    std::vector<float> before;
    for (int i = 0; i < effect().numParams; ++i)
        before.push_back(plugin().getParameter(i));
    const std::vector<uint8_t> bank = plugin().getChunk(false);
    PluginParameters parameters(plugin());
    for (int i = 0; i < parameters.count(); ++i)
        parameters.describe(i);
    for (int i = 0; i < effect().numParams; ++i)
        EXPECT_EQ(plugin().getParameter(i), before[static_cast<size_t>(i)]) << "parameter " << i;
    EXPECT_EQ(plugin().getChunk(false), bank);
}

TEST_F(Parameters, AssignmentSetsTheValueThePluginThenShows)
{
    PluginParameters parameters(plugin());
    parameters.assign("Low Thresh dB=-18");
    parameters.assign(" Eq 2 Gain dB = 4.5 ");
    parameters.assign("Comp.Mode=M/S");
    parameters.assign("2=120");
    EXPECT_EQ(plugin().parameterDisplay(5), "-18.0000");
    EXPECT_EQ(plugin().parameterDisplay(25), "4.500000");
    EXPECT_EQ(plugin().parameterDisplay(73), "M/S");
    EXPECT_EQ(plugin().parameterDisplay(2), "120.0000");
}

TEST_F(Parameters, ErrorsNameTheProblemAndTheRange)
{
    EXPECT_EQ(error("Low Thresh dB=5"), "5 is outside the range of 'Low Thresh dB' (-40 to 0)");
    EXPECT_EQ(error("Eq 1 Width=5"), "5 is outside the range of 'Eq 1 Width' (100 to 10)");
    EXPECT_EQ(error("Metering=Loud"), "'Metering' is one of Peak | RMS; 'Loud' is none of them");
    EXPECT_EQ(error("Low Ratio=fast"), "'Low Ratio' takes a number from 0.1 to 20; 'fast' is not a number");
    EXPECT_EQ(error("Frobnicate=1"), "the plug-in has no parameter named 'Frobnicate'");
    EXPECT_EQ(error("Ratio=2"),
              "the plug-in has no parameter named 'Ratio' (did you mean 'Low Ratio' or 'Mid Ratio' or 'High Ratio'?)");
    EXPECT_EQ(error("83=0"), "there is no parameter 83; the plug-in has 83 (0 to 82)");
    EXPECT_EQ(error("no equals sign"), "'no equals sign' is not NAME=VALUE");
    EXPECT_EQ(error("Low Thresh dB=0.00000001"), "accepted") << "within the display's last digit of the end";
}

} // namespace
} // namespace brelvik::test
