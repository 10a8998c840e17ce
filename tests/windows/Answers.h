// A transcript of what the plug-in answers a host: its AEffect record, the dispatcher's replies to
// identity, I/O, capability, parameter, program and chunk questions, and the parameter texts over a
// sweep of values. Two builds of the plug-in that behave alike give identical transcripts, line
// for line; values are written as bit patterns, so no C library's number formatting enters.
#pragma once

#include "host/HostedPlugin.h"

#include <string>
#include <vector>

namespace brelvik::check {

// Asks a freshly loaded instance (entry point called, nothing else yet). Changes its state.
std::vector<std::string> dispatcherAnswers(host::HostedPlugin& plugin);

// File form of a transcript: one answer per line, '\n' line ends on every platform.
bool writeAnswers(const std::string& path, const std::vector<std::string>& answers);
bool readAnswers(const std::string& path, std::vector<std::string>& answers);

} // namespace brelvik::check
