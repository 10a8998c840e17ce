// Audio in and out for the render tool: sources that deliver planar float frames (a file read
// through libsndfile, or a buffer made in memory) and a writer that only replaces its target once
// the whole file has been written.
#pragma once

#include <sndfile.h>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace brelvik::render {

struct AudioError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

class AudioSource {
public:
    virtual ~AudioSource() = default;
    virtual int channels() const = 0;
    virtual int sampleRate() const = 0;
    virtual int64_t frames() const = 0;
    // The libsndfile format written for this source (SF_FORMAT_* major | subtype).
    virtual int format() const = 0;
    // Reads up to maxFrames into one buffer per channel; returns the frames read, 0 at the end.
    virtual int read(const std::vector<float*>& planar, int maxFrames) = 0;
};

class FileSource : public AudioSource {
public:
    // A file that ends before its header says it does is refused (AudioError) unless
    // `allowTruncated`, when what is there is rendered and warning() says what was missing.
    explicit FileSource(const std::string& path, bool allowTruncated = false); // throws AudioError
    ~FileSource() override;
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;

    int channels() const override { return info_.channels; }
    int sampleRate() const override { return info_.samplerate; }
    int64_t frames() const override { return info_.frames; }
    int format() const override { return info_.format; }
    int read(const std::vector<float*>& planar, int maxFrames) override;
    const std::string& warning() const { return warning_; }

private:
    void damaged(const std::string& what);

    std::string path_;
    bool allowTruncated_;
    std::string warning_;
    int64_t position_ = 0;
    SF_INFO info_{};
    SNDFILE* file_ = nullptr;
    std::vector<float> interleaved_;
};

// Planar audio held in memory.
class BufferSource : public AudioSource {
public:
    BufferSource(std::vector<std::vector<float>> channels, int sampleRate, int format);

    int channels() const override { return static_cast<int>(channels_.size()); }
    int sampleRate() const override { return sampleRate_; }
    int64_t frames() const override { return channels_.empty() ? 0 : static_cast<int64_t>(channels_[0].size()); }
    int format() const override { return format_; }
    int read(const std::vector<float*>& planar, int maxFrames) override;

private:
    std::vector<std::vector<float>> channels_;
    int sampleRate_;
    int format_;
    int64_t position_ = 0;
};

// Where rendered audio goes: planar float frames, in order.
class AudioSink {
public:
    virtual ~AudioSink() = default;
    virtual void write(const std::vector<const float*>& planar, int frames) = 0;
};

// Discards what it is given: renders that are only measured.
class NullSink : public AudioSink {
public:
    void write(const std::vector<const float*>&, int) override {}
};

// Writes to a temporary file next to the target and renames it over the target in commit(), so
// an interrupted or failed render never leaves a half-written file under the target's name.
class AudioFileWriter : public AudioSink {
public:
    AudioFileWriter(const std::string& path, int format, int channels, int sampleRate); // throws AudioError
    ~AudioFileWriter() override; // removes the temporary file unless committed
    AudioFileWriter(const AudioFileWriter&) = delete;
    AudioFileWriter& operator=(const AudioFileWriter&) = delete;

    void write(const std::vector<const float*>& planar, int frames) override;
    void commit();

    // Samples beyond full scale that an integer format had to clip.
    int64_t clippedSamples() const { return clipped_; }

private:
    void discard(); // closes and removes the temporary file

    std::string path_;
    std::string tempPath_;
    int channels_;
    bool clips_;
    int64_t clipped_ = 0;
    int descriptor_ = -1; // the temporary file, open until commit or discard
    SNDFILE* file_ = nullptr;
    std::vector<float> interleaved_;
};

} // namespace brelvik::render
