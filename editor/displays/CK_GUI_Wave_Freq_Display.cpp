#include "editor/displays/CK_GUI_Wave_Freq_Display.h"

#include <algorithm>
#include <cmath>

#include "editor/displays/CK_GUI_dBMeter.h"
#include "gui/CDrawContext.h"

using namespace brelvik::gui;

namespace {

constexpr CColor kGrid{7, 58, 35, 255};
constexpr CColor kTrace{96, 255, 96, 255};
constexpr CColor kFill{96, 255, 96, 96};
constexpr CColor kSecondTrace{255, 220, 64, 255};
constexpr float kTraceBase[CK_GUI_Wave_Freq_Display::kTraces] = {0.68f, 0.78f, 0.89f, 0.999f};
constexpr float kTraceSpan = 0.68f; // of the height, for 50 dB
constexpr float kTraceRangeDb = 50.0f;
constexpr float kTraceShift = 0.06f;
constexpr float kSpectrumTopDb = 6.0f;
constexpr float kSpectrumRangeDb = 80.0f;
constexpr float kLinearGridHz = 2000.0f;
constexpr float kLogGridHz[] = {50, 100, 200, 500, 1000, 2000, 5000, 10000};

// The ready word is written by the audio thread after the samples.
float loadReady(const float* word)
{
    float value;
    __atomic_load(word, &value, __ATOMIC_ACQUIRE);
    return value;
}

void clearReady(float* word)
{
    float zero = 0.0f;
    __atomic_store(word, &zero, __ATOMIC_RELEASE);
}

} // namespace

CK_GUI_Wave_Freq_Display::CK_GUI_Wave_Freq_Display(const CRect& size)
    : CView(size), width_(std::max(1, size.width())), height_(std::max(1, size.height())),
      centre_(static_cast<float>(height_) / 2.0f), halfHeight_(static_cast<float>(height_) / 2.0f),
      shift_(static_cast<int>(kTraceShift * static_cast<float>(width_ + 1))),
      traceLength_(std::max(1, width_ + 1 - 3 * shift_)), captured_(kCaptureLength),
      levelRing_(static_cast<size_t>(width_ + 1))
{
    setMouseEnabled(false);
    for (auto& ring : fourRings_)
        ring.assign(static_cast<size_t>(traceLength_), 0);
}

void CK_GUI_Wave_Freq_Display::setSources(float* capture, const float* fourPeaks, float sampleRate)
{
    capture_ = capture;
    fourPeaks_ = fourPeaks;
    if (sampleRate > 0.0f)
        sampleRate_ = sampleRate;
}

void CK_GUI_Wave_Freq_Display::link(CK_LinkedView*, const CK_LinkMessage& message)
{
    if (message.id < kLevel || message.id > kScope)
        return;
    kind_ = message.id;
    if (kind_ == kLevel) {
        // The history scrolls one step per report.
        std::rotate(levelRing_.begin(), levelRing_.begin() + 1, levelRing_.end());
        levelRing_.back() = static_cast<int>(halfHeight_ * std::clamp(message.value, 0.0f, 1.0f));
    } else if (kind_ == kFourLevels && fourPeaks_) {
        for (int t = 0; t < kTraces; ++t) {
            const float db = std::max(
                CK_GUI_dBMeter::displayLevel(20.0f * std::log10(std::max(fourPeaks_[t], 1e-9f))), -kTraceRangeDb);
            auto& ring = fourRings_[t];
            std::rotate(ring.begin(), ring.begin() + 1, ring.end());
            ring.back()
                = static_cast<int>((db + kTraceRangeDb) * kTraceSpan * static_cast<float>(height_) / kTraceRangeDb);
        }
    }
    pending_ = true;
}

// Copies a waiting capture and hands the buffer back to the module.
bool CK_GUI_Wave_Freq_Display::takeCapture()
{
    if (!capture_ || loadReady(capture_ + kCaptureLength) == 0.0f)
        return false;
    std::copy(capture_, capture_ + kCaptureLength, captured_.begin());
    clearReady(capture_ + kCaptureLength);
    return true;
}

void CK_GUI_Wave_Freq_Display::updateLevels()
{
    levelEdge_.resize(levelRing_.size());
    levelArea_.clear();
    for (size_t i = 0; i < levelRing_.size(); ++i) {
        levelEdge_[i] = {static_cast<double>(i), static_cast<double>(centre_ - static_cast<float>(levelRing_[i]))};
        levelArea_.push_back(levelEdge_[i]);
    }
    for (size_t i = levelRing_.size(); i-- > 0;)
        levelArea_.push_back(
            {static_cast<double>(i), static_cast<double>(centre_ + static_cast<float>(levelRing_[i]))});
}

void CK_GUI_Wave_Freq_Display::updateFourLevels()
{
    for (int t = 0; t < kTraces; ++t) {
        const double base = kTraceBase[t] * static_cast<double>(height_);
        auto& trace = traces_[t];
        trace.resize(fourRings_[t].size());
        for (size_t i = 0; i < trace.size(); ++i)
            trace[i] = {static_cast<double>(t * shift_) + static_cast<double>(i), base - fourRings_[t][i]};
    }
}

void CK_GUI_Wave_Freq_Display::updateSpectrum()
{
    analyser_.analyse(captured_.data(), sampleRate_, kind_ == kSpectrum);
    const double pixelsPerDb = static_cast<double>(height_) / kSpectrumRangeDb;
    spectrum_.resize(static_cast<size_t>(width_));
    for (int i = 0; i < width_; ++i) {
        const float db = kind_ == kSpectrum ? analyser_.bandDb(CK_SpectrumAnalyser::kBands * i / width_)
                                            : analyser_.binDb(CK_SpectrumAnalyser::kBins * i / width_);
        const double y = (kSpectrumTopDb - db) * pixelsPerDb;
        spectrum_[static_cast<size_t>(i)] = {i + 0.5, std::clamp(y, 0.0, static_cast<double>(height_))};
    }
}

void CK_GUI_Wave_Freq_Display::updateScope()
{
    const int columns = std::min(width_ + 1, kScopeLength);
    for (int c = 0; c < 2; ++c) {
        scope_[c].resize(static_cast<size_t>(columns));
        for (int i = 0; i < columns; ++i)
            scope_[c][static_cast<size_t>(i)] = {
                static_cast<double>(i), centre_ - halfHeight_ * captured_[static_cast<size_t>(c * kScopeLength + i)]};
    }
}

void CK_GUI_Wave_Freq_Display::onFrameTick()
{
    if (pending_) {
        pending_ = false;
        switch (kind_) {
        case kLevel: updateLevels(); break;
        case kFourLevels: updateFourLevels(); break;
        case kWave:
        case kSpectrum:
            if (takeCapture())
                updateSpectrum();
            break;
        case kScope:
            if (takeCapture())
                updateScope();
            break;
        default: break;
        }
        requestRedraw();
    }
    CView::onFrameTick();
}

void CK_GUI_Wave_Freq_Display::drawGrid(CDrawContext& context) const
{
    auto line = [&](double position) {
        const int x = size_.left + static_cast<int>(position * width_);
        context.fillRect(CRect{x, size_.top, x + 1, size_.bottom}, kGrid);
    };
    if (kind_ == kWave) {
        for (float hz = kLinearGridHz; hz < sampleRate_ / 2.0f; hz += kLinearGridHz)
            line(hz / (sampleRate_ / 2.0f));
    } else if (kind_ == kSpectrum) {
        for (const float hz : kLogGridHz)
            line(std::log2(hz / CK_SpectrumAnalyser::kLowestHz) / CK_SpectrumAnalyser::kOctaves);
    } else {
        context.fillRect(CRect{size_.left, size_.top + static_cast<int>(centre_), size_.right,
                             size_.top + static_cast<int>(centre_) + 1},
            kGrid);
    }
}

void CK_GUI_Wave_Freq_Display::draw(CDrawContext& context)
{
    CDrawContextState state(context);
    context.clipRect(size_);
    drawGrid(context);
    auto placed = [this](const std::vector<CPointF>& points) {
        std::vector<CPointF> out(points);
        for (CPointF& p : out)
            p = {p.x + size_.left, p.y + size_.top};
        return out;
    };
    switch (kind_) {
    case kLevel: context.fillPolygon(placed(levelArea_), kFill); break;
    case kFourLevels:
        for (const auto& trace : traces_)
            context.drawPolyline(placed(trace), kTrace);
        break;
    case kWave:
    case kSpectrum: context.drawPolyline(placed(spectrum_), kTrace); break;
    case kScope:
        context.drawPolyline(placed(scope_[0]), kTrace);
        context.drawPolyline(placed(scope_[1]), kSecondTrace);
        break;
    default: break;
    }
}
