// Random chunks of random sizes, each followed by processing: whatever a host or a damaged project
// file hands over must never crash the plug-in or put NaN or infinity into the audio.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "shell/CK_DSP_VST.h"

TEST(ChunkFuzz, RandomChunksNeverCrashOrProduceNonFiniteOutput)
{
    CK_DSP_VST fx(nullptr);
    fx.setSampleRate(44100.0f);
    fx.setBlockSize(64);
    fx.resume();

    std::mt19937 random(20261207);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<int> size(1, 12000);
    std::normal_distribution<float> noise(0.0f, 0.3f);
    std::vector<uint8_t> chunk(12000);
    std::vector<float> inL(64), inR(64), outL(64), outR(64);
    float* in[2] = {inL.data(), inR.data()};
    float* out[2] = {outL.data(), outR.data()};

    for (int round = 0; round < 10000; ++round) {
        const int n = round % 3 == 0 ? 780 : size(random); // a third hit the single-program path
        for (int i = 0; i < n; ++i)
            chunk[static_cast<size_t>(i)] = static_cast<uint8_t>(byte(random));
        ASSERT_EQ(fx.setChunk(chunk.data(), n, (round & 1) != 0), n);
        for (int i = 0; i < 64; ++i) {
            inL[static_cast<size_t>(i)] = noise(random);
            inR[static_cast<size_t>(i)] = noise(random);
        }
        fx.processReplacing(in, out, 64);
        for (int i = 0; i < 64; ++i) {
            ASSERT_TRUE(std::isfinite(outL[static_cast<size_t>(i)])) << "round " << round;
            ASSERT_TRUE(std::isfinite(outR[static_cast<size_t>(i)])) << "round " << round;
        }
        for (int p = 0; p < CK_DSP_VST::kNumParams; ++p) {
            const float v = fx.getParameter(p);
            ASSERT_TRUE(v >= 0.0f && v <= 1.0f) << "parameter " << p;
        }
    }
    EXPECT_EQ(fx.eventPool.heapFallbacks(), 0u);
}
