#include "tools/render/OutputFormat.h"

#include "tools/render/AudioFile.h"

#include <sndfile.h>

#include <algorithm>
#include <cctype>
#include <utility>
#include <vector>

namespace brelvik::render {

namespace {

std::string lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

// Names users give containers, beyond the extensions libsndfile lists.
const std::pair<const char*, int> kContainerAliases[] = {
    {"wav", SF_FORMAT_WAV},   {"wave", SF_FORMAT_WAV},   {"aif", SF_FORMAT_AIFF}, {"aifc", SF_FORMAT_AIFF},
    {"ogg", SF_FORMAT_OGG},   {"opus", SF_FORMAT_OGG},   {"mp3", SF_FORMAT_MPEG}, {"mpeg", SF_FORMAT_MPEG},
    {"wavex", SF_FORMAT_WAVEX},
};

// 0 when libsndfile knows no container by that name.
int containerByName(const std::string& name)
{
    const std::string key = lower(name);
    for (const auto& [alias, format] : kContainerAliases)
        if (key == alias)
            return format;
    int count = 0;
    sf_command(nullptr, SFC_GET_FORMAT_MAJOR_COUNT, &count, sizeof count);
    for (int i = 0; i < count; ++i) {
        SF_FORMAT_INFO info{};
        info.format = i;
        sf_command(nullptr, SFC_GET_FORMAT_MAJOR, &info, sizeof info);
        if (info.extension && key == info.extension)
            return info.format;
    }
    return 0;
}

std::string extensionOf(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    const size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return {};
    return path.substr(dot + 1);
}

std::string containerName(int container)
{
    SF_FORMAT_INFO info{};
    info.format = container & SF_FORMAT_TYPEMASK;
    if (sf_command(nullptr, SFC_GET_FORMAT_INFO, &info, sizeof info) != 0 || !info.name)
        return "this container";
    std::string name = info.name;
    return name.substr(0, name.find(" ("));
}

bool isLossy(int container)
{
    return container == SF_FORMAT_OGG || container == SF_FORMAT_MPEG;
}

bool valid(int format, int channels, int sampleRate)
{
    SF_INFO info{};
    info.format = format;
    info.channels = channels;
    info.samplerate = sampleRate;
    return sf_format_check(&info) == SF_TRUE;
}

// Integer subtypes carry their bit depth; 0 for everything else.
int integerBits(int subtype)
{
    switch (subtype) {
    case SF_FORMAT_PCM_S8:
    case SF_FORMAT_PCM_U8:
        return 8;
    case SF_FORMAT_PCM_16:
    case SF_FORMAT_ALAC_16:
    case SF_FORMAT_DWVW_16:
        return 16;
    case SF_FORMAT_PCM_24:
    case SF_FORMAT_ALAC_24:
    case SF_FORMAT_DWVW_24:
        return 24;
    case SF_FORMAT_PCM_32:
    case SF_FORMAT_ALAC_32:
        return 32;
    default:
        return 0;
    }
}

std::vector<int> requestedSubtypes(const FormatRequest& request)
{
    if (request.floatingPoint) {
        if (request.bits == 0 || request.bits == 32)
            return {SF_FORMAT_FLOAT};
        if (request.bits == 64)
            return {SF_FORMAT_DOUBLE};
        throw AudioError("floating-point samples have 32 or 64 bits, not " + std::to_string(request.bits));
    }
    switch (request.bits) {
    case 8:
        return {SF_FORMAT_PCM_S8, SF_FORMAT_PCM_U8};
    case 16:
        return {SF_FORMAT_PCM_16};
    case 24:
        return {SF_FORMAT_PCM_24};
    case 32:
        return {SF_FORMAT_PCM_32};
    default:
        throw AudioError("--bits takes 8, 16, 24 or 32 (64 with --float), not " + std::to_string(request.bits));
    }
}

std::string sampleFormatName(int subtype)
{
    if (const int bits = integerBits(subtype))
        return std::to_string(bits) + "-bit";
    if (subtype == SF_FORMAT_FLOAT)
        return "32-bit float";
    if (subtype == SF_FORMAT_DOUBLE)
        return "64-bit float";
    SF_FORMAT_INFO info{};
    info.format = subtype;
    return sf_command(nullptr, SFC_GET_FORMAT_INFO, &info, sizeof info) == 0 && info.name ? info.name : "";
}

} // namespace

std::string describeFormat(int format)
{
    const std::string sample = sampleFormatName(format & SF_FORMAT_SUBMASK);
    return containerName(format) + (sample.empty() ? "" : ", " + sample);
}

ChosenFormat chooseOutputFormat(int inputFormat, const std::string& outputPath, const FormatRequest& request,
                                int channels, int sampleRate)
{
    const int inputContainer = inputFormat & SF_FORMAT_TYPEMASK;
    const int inputSubtype = inputFormat & SF_FORMAT_SUBMASK;

    int container = inputContainer;
    if (!request.container.empty()) {
        container = containerByName(request.container);
        if (!container)
            throw AudioError("unknown output format '" + request.container + "' (try wav, flac, aiff, ogg, caf, w64)");
    } else if (const int byExtension = containerByName(extensionOf(outputPath))) {
        container = byExtension;
    }
    const int endian = container == inputContainer ? (inputFormat & SF_FORMAT_ENDMASK) : 0;

    ChosenFormat chosen;
    if (request.bits != 0 || request.floatingPoint) {
        if (isLossy(container))
            throw AudioError("--bits and --float do not apply to " + containerName(container) +
                             ", a lossy format");
        for (int subtype : requestedSubtypes(request)) {
            if (valid(container | subtype | endian, channels, sampleRate)) {
                chosen.format = container | subtype | endian;
                return chosen;
            }
        }
        throw AudioError(containerName(container) + " cannot hold " +
                         sampleFormatName(requestedSubtypes(request).front()) + " samples");
    }

    // Keep the input's sample format when the container takes it, else the nearest one it does.
    // A lossy codec is only kept in its own container: libsndfile accepts MP3 in WAV, for one,
    // but cannot write it.
    std::vector<int> candidates;
    if (!isLossy(inputContainer) || container == inputContainer)
        candidates.push_back(inputSubtype);
    if (inputSubtype == SF_FORMAT_OPUS && container == SF_FORMAT_OGG)
        candidates.push_back(SF_FORMAT_OPUS);
    if (lower(extensionOf(outputPath)) == "opus" && container == SF_FORMAT_OGG)
        candidates.insert(candidates.begin(), SF_FORMAT_OPUS);
    if (inputSubtype == SF_FORMAT_DOUBLE)
        candidates.push_back(SF_FORMAT_FLOAT);
    for (int fallback : {SF_FORMAT_PCM_24, SF_FORMAT_PCM_16, SF_FORMAT_FLOAT, SF_FORMAT_VORBIS,
                         SF_FORMAT_MPEG_LAYER_III, SF_FORMAT_PCM_S8, SF_FORMAT_PCM_U8})
        candidates.push_back(fallback);
    for (int subtype : candidates) {
        if (valid(container | subtype | endian, channels, sampleRate)) {
            chosen.format = container | subtype | endian;
            if (subtype != inputSubtype && !isLossy(container))
                chosen.note = "writing " + sampleFormatName(subtype) + " samples: " + containerName(container) +
                              " cannot hold the input's " + sampleFormatName(inputSubtype) + " samples";
            return chosen;
        }
    }
    throw AudioError("libsndfile cannot write " + containerName(container) + " with " + std::to_string(channels) +
                     " channels at " + std::to_string(sampleRate) + " Hz");
}

} // namespace brelvik::render
