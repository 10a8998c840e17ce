#include "tools/render/AudioFile.h"
#include "tools/render/ReplaceFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace brelvik::render {

namespace {

// libsndfile renders a file whose header promises more audio than the file holds as if it were
// complete, and only notes the discrepancy in its log: "data : 176400 (should be 99956)".
std::string truncationInLog(SNDFILE* file)
{
    std::string log(16384, '\0');
    sf_command(file, SFC_GET_LOG_INFO, log.data(), static_cast<int>(log.size()));
    log.resize(std::strlen(log.c_str()));
    size_t start = 0;
    while (start < log.size()) {
        size_t end = log.find('\n', start);
        if (end == std::string::npos)
            end = log.size();
        const std::string line = log.substr(start, end - start);
        start = end + 1;
        const bool audioChunk = line.rfind("data", 0) == 0 || line.rfind("SSND", 0) == 0;
        const size_t note = line.find("(should be ");
        if (!audioChunk || note == std::string::npos)
            continue;
        const size_t colon = line.find(':');
        const long long promised = std::atoll(line.c_str() + colon + 1);
        const long long held = std::atoll(line.c_str() + note + 11);
        if (held < promised)
            return "its header promises " + std::to_string(promised) + " bytes of audio, the file holds " +
                   std::to_string(held);
    }
    return {};
}

} // namespace

FileSource::FileSource(const std::string& path, bool allowTruncated) : path_(path), allowTruncated_(allowTruncated)
{
    struct stat status {};
    if (stat(path.c_str(), &status) != 0 || access(path.c_str(), R_OK) != 0)
        throw AudioError("cannot read '" + path + "': " + std::strerror(errno));
    if (S_ISDIR(status.st_mode))
        throw AudioError("cannot read '" + path + "': it is a folder");
    file_ = sf_open(path.c_str(), SFM_READ, &info_);
    if (!file_)
        throw AudioError("cannot read '" + path + "': " + sf_strerror(nullptr));
    const std::string truncation = truncationInLog(file_);
    if (!truncation.empty())
        damaged("'" + path + "' is truncated: " + truncation);
}

FileSource::~FileSource()
{
    sf_close(file_);
}

void FileSource::damaged(const std::string& what)
{
    if (!allowTruncated_)
        throw AudioError(what + " (--allow-truncated renders what is there)");
    if (warning_.empty())
        warning_ = what + "; rendered what is there";
}

int FileSource::read(const std::vector<float*>& planar, int maxFrames)
{
    const int channels = info_.channels;
    interleaved_.resize(static_cast<size_t>(maxFrames) * channels);
    sf_count_t got = sf_readf_float(file_, interleaved_.data(), maxFrames);
    if (got < 0 || sf_error(file_) != SF_ERR_NO_ERROR) {
        damaged("error reading '" + path_ + "' after " + std::to_string(position_) + " frames: " +
                sf_strerror(file_));
        got = 0;
    }
    // MP3 files hold no exact length: libsndfile estimates it, so ending early is no damage there.
    const bool exactLength = (info_.format & SF_FORMAT_TYPEMASK) != SF_FORMAT_MPEG;
    if (got == 0 && position_ < info_.frames && exactLength)
        damaged("'" + path_ + "' ends after " + std::to_string(position_) + " of the " +
                std::to_string(info_.frames) + " frames its header promises");
    for (sf_count_t i = 0; i < got; ++i)
        for (int c = 0; c < channels; ++c)
            planar[c][i] = interleaved_[static_cast<size_t>(i) * channels + c];
    position_ += got;
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

#if defined(O_BINARY)
constexpr int kBinary = O_BINARY;
#else
constexpr int kBinary = 0;
#endif

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
    // The temporary file is created here and only here, so removing it never touches anyone else's.
    struct stat existing {};
    const int mode = stat(path.c_str(), &existing) == 0 ? (existing.st_mode & 0777) : 0666;
    descriptor_ = open(tempPath_.c_str(), O_WRONLY | O_CREAT | O_EXCL | kBinary, mode);
    if (descriptor_ < 0)
        throw AudioError("cannot write '" + path + "': " + std::strerror(errno));
    file_ = sf_open_fd(descriptor_, SFM_WRITE, &info, SF_FALSE);
    if (!file_) {
        const std::string reason = sf_strerror(nullptr);
        discard();
        throw AudioError("cannot write '" + path + "': " + reason);
    }
    // Integer formats clip overs instead of wrapping them around.
    sf_command(file_, SFC_SET_CLIPPING, nullptr, SF_TRUE);
}

void AudioFileWriter::discard()
{
    if (file_)
        sf_close(file_);
    file_ = nullptr;
    if (descriptor_ >= 0) {
        close(descriptor_);
        descriptor_ = -1;
        std::remove(tempPath_.c_str());
    }
}

AudioFileWriter::~AudioFileWriter()
{
    discard();
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
    const int closeError = sf_close(file_);
    file_ = nullptr;
    if (closeError != 0) {
        discard();
        throw AudioError("error finishing '" + path_ + "': " + sf_error_number(closeError));
    }
    if (close(descriptor_) != 0) {
        const std::string reason = std::strerror(errno);
        descriptor_ = -1;
        std::remove(tempPath_.c_str());
        throw AudioError("error finishing '" + path_ + "': " + reason);
    }
    descriptor_ = -1;
    if (!replaceFile(tempPath_, path_)) {
        const std::string reason = std::strerror(errno);
        std::remove(tempPath_.c_str());
        throw AudioError("cannot move the finished file to '" + path_ + "': " + reason);
    }
}

} // namespace brelvik::render
