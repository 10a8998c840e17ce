// Choosing the libsndfile format of the rendered file: the input's container and sample format
// unless the command line asks for another container (by name or by the output's extension), bit
// depth or floating point.
#pragma once

#include <string>

namespace brelvik::render {

struct FormatRequest {
    std::string container; // "wav", "flac", "aiff", "ogg", ...; empty: from the output's extension
    int bits = 0;          // 0: keep
    bool floatingPoint = false;
};

struct ChosenFormat {
    int format = 0;   // SF_FORMAT_* container | sample format | endianness
    std::string note; // why the sample format differs from the input's, when it had to
};

// Throws AudioError naming what cannot be written (unknown container, a bit depth the container
// cannot hold, bits asked of a lossy codec).
ChosenFormat chooseOutputFormat(int inputFormat, const std::string& outputPath, const FormatRequest& request,
                                int channels, int sampleRate);

// "WAV, 24-bit", "FLAC, 16-bit", "OGG, Vorbis", "WAV, 32-bit float".
std::string describeFormat(int format);

} // namespace brelvik::render
