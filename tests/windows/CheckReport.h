// The verdicts of a check run, printed as they come: "[ ok ]" or "[FAIL]", the check's name and a
// short detail. The last line is "ALL CHECKS PASSED" only when every check passed; scripts that
// run this program (under wine, whose own exit status cannot be trusted) look for that line.
#pragma once

#include <string>

namespace brelvik::check {

class CheckReport {
public:
    // Records the verdict and answers `passed`.
    bool expect(bool passed, const std::string& name, const std::string& detail = {});
    bool pass(const std::string& name, const std::string& detail = {}) { return expect(true, name, detail); }
    bool fail(const std::string& name, const std::string& detail) { return expect(false, name, detail); }
    // A line of explanation under the last verdict.
    void note(const std::string& text);

    int failures() const { return failures_; }
    // Prints the closing line; answers the process exit status.
    int finish();

private:
    int checks_ = 0;
    int failures_ = 0;
};

} // namespace brelvik::check
