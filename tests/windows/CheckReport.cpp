#include "tests/windows/CheckReport.h"

#include <cstdio>

namespace brelvik::check {

bool CheckReport::expect(bool passed, const std::string& name, const std::string& detail)
{
    ++checks_;
    if (!passed)
        ++failures_;
    std::printf("[%s] %s%s%s\n", passed ? " ok " : "FAIL", name.c_str(), detail.empty() ? "" : ": ", detail.c_str());
    std::fflush(stdout);
    return passed;
}

void CheckReport::note(const std::string& text)
{
    std::printf("       %s\n", text.c_str());
}

int CheckReport::finish()
{
    if (failures_ == 0)
        std::printf("ALL CHECKS PASSED (%d check%s)\n", checks_, checks_ == 1 ? "" : "s");
    else
        std::printf("%d OF %d CHECKS FAILED\n", failures_, checks_);
    std::fflush(stdout);
    return failures_ == 0 ? 0 : 1;
}

} // namespace brelvik::check
