#include "tools/render/AudioFile.h"
#include "tools/render/ReplaceFile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <utility>

namespace brelvik::render {

FileSource::FileSource(const std::string& path) : path_(path)
{
    struct stat status {};
    if (stat(path.c_str(), &status) != 0 || access(path.c_str(), R_OK) != 0)
        throw AudioError("cannot read '" + path + "': " + std::strerror(errno));
    if (S_ISDIR(status.st_mode))
        throw AudioError("cannot read '" + path + "': it is a folder");
    file_ = sf_open(path.c_str(), SFM_READ, &info_);
    if (!file_)
        throw AudioError("cannot read '" + path + "': " + sf_strerror(nullptr));
}

FileSource::~FileSource()
{
    sf_close(file_);
}

int FileSource::read(const std::vector<float*>& planar, int maxFrames)
{
    const int channels = info_.channels;
    interleaved_.resize(static_cast<size_t>(maxFrames) * channels);
    sf_count_t got = sf_readf_float(file_, interleaved_.data(), maxFrames);
    if (got < 0 || sf_error(file_) != SF_ERR_NO_ERROR)
        throw AudioError("error reading '" + path_ + "': " + sf_strerror(file_));
    for (sf_count_t i = 0; i < got; ++i)
        for (int c = 0; c < channels; ++c)
            planar[c][i] = interleaved_[static_cast<size_t>(i) * channels + c];
    return static_cast<int>(got);
}

BufferSource::BufferSource(std::vector<std::vector<float>> channels, int sampleRate, int format)
    : channels_(std::move(channels)), sampleRate_(sampleRate), format_(format)
{
}

int BufferSource::read(const std::vector<float*>& planar, int maxFrames)
{
    int n = static_cast<int>(std::min<int64_t>(maxFrames, frames() - position_));
    for (size_t c = 0; c < channels_.size(); ++c)
        std::copy_n(channels_[c].data() + position_, n, planar[c]);
    position_ += n;
    return n;
}

namespace {

// Formats that store floating-point or lossy-coded samples keep levels above full scale.
bool clipsOvers(int format)
{
    switch (format & SF_FORMAT_SUBMASK) {
    case SF_FORMAT_FLOAT:
    case SF_FORMAT_DOUBLE:
    case SF_FORMAT_VORBIS:
    case SF_FORMAT_OPUS:
        return false;
    default:
        return true;
    }
}

} // namespace

AudioFileWriter::AudioFileWriter(const std::string& path, int format, int channels, int sampleRate)
    : path_(path), tempPath_(path + ".partial-" + std::to_string(getpid())), channels_(channels),
      clips_(clipsOvers(format))
{
    SF_INFO info{};
    info.format = format;
    info.channels = channels;
    info.samplerate = sampleRate;
    if (!sf_format_check(&info))
        throw AudioError("cannot write '" + path + "': libsndfile has no writer for this format with " +
                         std::to_string(channels) + " channels at " + std::to_string(sampleRate) + " Hz");
    file_ = sf_open(tempPath_.c_str(), SFM_WRITE, &info);
    if (!file_)
        throw AudioError("cannot write '" + path + "': " + sf_strerror(nullptr));
    // Integer formats clip overs instead of wrapping them around.
    sf_command(file_, SFC_SET_CLIPPING, nullptr, SF_TRUE);
}

AudioFileWriter::~AudioFileWriter()
{
    if (file_) {
        sf_close(file_);
        std::remove(tempPath_.c_str());
    }
}

void AudioFileWriter::write(const std::vector<const float*>& planar, int frames)
{
    interleaved_.resize(static_cast<size_t>(frames) * channels_);
    for (int i = 0; i < frames; ++i)
        for (int c = 0; c < channels_; ++c)
            interleaved_[static_cast<size_t>(i) * channels_ + c] = planar[c][i];
    if (clips_)
        for (float v : interleaved_)
            clipped_ += std::fabs(v) > 1.0f;
    if (sf_writef_float(file_, interleaved_.data(), frames) != frames)
        throw AudioError("error writing '" + path_ + "': " + sf_strerror(file_));
}

void AudioFileWriter::commit()
{
    int closeError = sf_close(file_);
    file_ = nullptr;
    if (closeError != 0) {
        std::remove(tempPath_.c_str());
        throw AudioError("error finishing '" + path_ + "': " + sf_error_number(closeError));
    }
    if (!replaceFile(tempPath_, path_)) {
        std::string reason = std::strerror(errno);
        std::remove(tempPath_.c_str());
        throw AudioError("cannot move the finished file to '" + path_ + "': " + reason);
    }
}

} // namespace brelvik::render
