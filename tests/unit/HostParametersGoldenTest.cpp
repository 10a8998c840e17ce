// What a host sees of every host parameter, compared with a golden file that a reviewer reads
// against the parameter list: name, the display at normalised 0, 0.5 and 1, and the label.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "shell/CK_DSP_VST.h"
#include "shell/ParameterTags.h"

namespace {

const char* const kRegenerate =
    "If the change is intended, regenerate the file with\n"
    "  BRELVIK_UPDATE_GOLDEN=1 build/tests/brelvik_unit_tests --gtest_filter='HostParameters.*'\n"
    "and review its diff before committing it.";

std::string goldenPath()
{
    const std::string source = __FILE__;
    return source.substr(0, source.find_last_of('/') + 1) + "golden/host-parameters.txt";
}

std::string quoted(const char* text)
{
    return std::string("\"") + text + "\"";
}

std::string column(const std::string& text, size_t width)
{
    return text.size() < width ? text + std::string(width - text.size(), ' ') : text;
}

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        result.push_back(line);
    return result;
}

std::string hostView()
{
    CK_DSP_VST fx(nullptr);
    std::ostringstream out;
    out << "# What a host sees of each host parameter (checked by HostParameters.MatchTheGoldenFile).\n"
           "# index | name | display at normalised 0 | at 0.5 | at 1 | label\n";
    for (int index = 0; index < kHostParameterCount; ++index) {
        char text[64];
        fx.getParameterName(index, text);
        out << column(std::to_string(index), 3) << "| " << column(quoted(text), 17);
        for (float normalised : {0.0f, 0.5f, 1.0f}) {
            fx.setParameter(index, normalised);
            fx.getParameterDisplay(index, text);
            out << "| " << column(quoted(text), 11);
        }
        fx.getParameterLabel(index, text);
        out << "| " << quoted(text) << "\n";
    }
    return out.str();
}

TEST(HostParameters, MatchTheGoldenFile)
{
    const std::string actual = hostView();
    if (const char* update = std::getenv("BRELVIK_UPDATE_GOLDEN"); update && std::strcmp(update, "1") == 0) {
        std::ofstream(goldenPath()) << actual;
        GTEST_SKIP() << "wrote " << goldenPath();
    }
    std::ifstream file(goldenPath());
    ASSERT_TRUE(file) << "cannot read " << goldenPath() << "\n" << kRegenerate;
    const std::vector<std::string> expected = lines(std::string(std::istreambuf_iterator<char>(file), {}));
    const std::vector<std::string> got = lines(actual);
    for (size_t i = 0; i < std::max(expected.size(), got.size()); ++i) {
        const std::string golden = i < expected.size() ? expected[i] : "<no line>";
        const std::string effect = i < got.size() ? got[i] : "<no line>";
        ASSERT_EQ(golden, effect) << "line " << i + 1 << " of " << goldenPath() << " differs\n" << kRegenerate;
    }
}

} // namespace
