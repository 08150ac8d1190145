// CompGateEffect: construction, parameter and program operations, and the audio entry points.
#include "effect/CompGateEffect.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <new>

#include "effect/CompGateDisplay.h"
#include "effect/DetectorFilterDesign.h"
#include "effect/ParameterCurves.h"
#include "framework/GuiEditor.h"

namespace {

constexpr VstInt32 kUniqueId = fourCharCode('Q', 'V', 'b', 'x');

const char* const kParameterNames[kNumUserParameters] = {
    "Delay",     "InputGain", "LPShelf",     "HPShelf",   "GateThreshold", "GateAttack", "GateRelease",
    "CompThreshold", "CompRatio", "CompAttack", "CompRelease", "CompMakeup", "FeedBack",  "Volume",
};

const char* const kParameterLabels[kNumUserParameters] = {
    "samples", "dB", "Hz", "Hz", "dB", "ms", "ms", "dB", "", "ms", "ms", "dB", "amount", "dB",
};

bool isUserParameter(VstInt32 index) { return index >= 0 && index < kNumUserParameters; }

// Upper limits are compared in double precision and stored as their single-precision constants.
float clampParameter(VstInt32 index, float value) {
    switch (index) {
        case kCompRatio:
            return static_cast<double>(value) > 0.33 ? 0.33f : value;
        case kCompRelease:
            return static_cast<double>(value) > 0.2 ? 0.2f : value;
        case kCompMakeup:
            return static_cast<double>(value) > 0.75 ? 0.75f : value;
        default:
            return value;
    }
}

}  // namespace

CompGateEffect::CompGateEffect(audioMasterCallback hostCallback)
    : EffectBaseExt(hostCallback, kNumPrograms, kNumParameters),
      programs(nullptr),
      delay(0.0f), feedBack(0.0f), volume(0.0f), inputGain(0.0f), lpShelf(0.0f), hpShelf(0.0f),
      gateThreshold(0.0f), gateAttack(0.0f), gateRelease(0.0f), compThreshold(0.0f), compRatio(0.0f),
      compAttack(0.0f), compRelease(0.0f), compMakeup(0.0f),
      inputGainDb(0.0), inputGainLinear(0.0), inverseRatio(0.0), makeupLinear(0.0) {
    programs = new (std::nothrow) CompGateProgram[kNumPrograms];
    chain.resetDetector();
    if (programs) setProgram(0);
    // The first block's settings; the block itself builds the gain table.
    blockSettings = settingsForBlock();
    blockSettingsWrites = derivedWrites.load();
    setNumInputs(2);
    setNumOutputs(2);
    setCanMono(true);
    setHasVu(true);
    setCanProcessReplacing(true);
    setUniqueId(kUniqueId);
    effectRecord.processReplacing = replacingEntry;
}

CompGateEffect::~CompGateEffect() { delete[] programs; }

RelaxedAtomic<float>& CompGateEffect::liveValue(VstInt32 index) {
    static RelaxedAtomic<float> CompGateEffect::* const members[kNumUserParameters] = {
        &CompGateEffect::delay,         &CompGateEffect::inputGain,   &CompGateEffect::lpShelf,
        &CompGateEffect::hpShelf,       &CompGateEffect::gateThreshold, &CompGateEffect::gateAttack,
        &CompGateEffect::gateRelease,   &CompGateEffect::compThreshold, &CompGateEffect::compRatio,
        &CompGateEffect::compAttack,    &CompGateEffect::compRelease, &CompGateEffect::compMakeup,
        &CompGateEffect::feedBack,      &CompGateEffect::volume,
    };
    return this->*members[index];
}

// Parameters ---------------------------------------------------------------------------------------------

void CompGateEffect::setParameter(VstInt32 index, float value) {
    if (isUserParameter(index)) {
        value = clampParameter(index, value);
        const VstInt32 current = curProgram.load();
        if (programs && current >= 0 && current < kNumPrograms) {
            programs[current].values[index] = value;
        }
        liveValue(index) = value;
        computeDerived(index, value);
    }
    if (editor) editor->requestUpdate();
}

void CompGateEffect::computeDerived(VstInt32 index, float value) {
    const double v = value;
    switch (index) {
        case kDelay:
        case kGateThreshold:
        case kGateAttack:
        case kGateRelease:
        case kFeedBack:
        case kVolume:
            return;  // stored and displayed only
        default:
            break;
    }
    switch (index) {
        case kInputGain: {
            const double db = gainDecibels(v);
            inputGainDb = db;
            inputGainLinear = std::pow(10.0, db * 0.05);
            break;
        }
        case kLpShelf:
        case kHpShelf:
        case kCompThreshold:
        case kCompAttack:
        case kCompRelease:
            break;  // derived where a block takes its settings
        case kCompRatio:
            inverseRatio = 1.0 / compressionRatio(v);
            break;
        case kCompMakeup:
            makeupLinear = std::pow(10.0, gainDecibels(v) * 0.05);
            break;
        default:
            break;
    }
    derivedWrites.fetch_add(1, std::memory_order_release);
}

namespace {

uint32_t valueBits(float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof(bits));
    return bits;
}

void setThreshold(ChainSettings& s, double db, double linear) {
    s.thresholdDb = db;
    s.thresholdLinear = linear;
}

void setLowPass(ChainSettings& s, const SectionCoefficients& c) {
    s.lpC0 = c.gain;
    s.lpC1 = c.c1;
    s.lpC2 = c.c2;
    s.lpActive = c.active;
}

void setHighPass(ChainSettings& s, const SectionCoefficients& c) {
    s.hpB = c.gain;
    s.hpC1 = c.c1;
    s.hpC2 = c.c2;
    s.hpActive = c.active;
}

double thresholdLinearOf(double db) { return std::pow(10.0, db * 0.05); }

}  // namespace

ChainSettings CompGateEffect::singleValues(float rate) const {
    ChainSettings s{};
    s.inputGainLinear = inputGainLinear.load();
    s.inverseRatio = inverseRatio.load();
    s.attackCoefficient = timeCoefficient(compAttack.load(), kAttackSpanMs, rate);
    s.releaseCoefficient = timeCoefficient(compRelease.load(), kReleaseSpanMs, rate);
    s.makeupLinear = makeupLinear.load();
    s.rampFrames = rampLength(rate);
    return s;
}

ChainSettings CompGateEffect::chainSettings() const {
    ChainSettings s = singleValues(sampleRate.load());
    const double db = thresholdDecibels(compThreshold.load());
    setThreshold(s, db, thresholdLinearOf(db));
    setLowPass(s, DetectorFilterDesign::lowPass(lpShelf.load()));
    setHighPass(s, DetectorFilterDesign::highPass(hpShelf.load()));
    return s;
}

ChainSettings CompGateEffect::settingsForBlock() {
    // One reading of the rate for every value made from it.
    const float rate = sampleRate.load();
    ChainSettings s = singleValues(rate);
    const uint32_t changes = rateChanges.load(std::memory_order_acquire);
    if (changes != rateChangesTaken.load(std::memory_order_relaxed)) {
        chain.limitHold(lowestRate.load());
        rateChangesTaken.store(changes, std::memory_order_release);
    }
    if (valueBits(rate) != holdRate) {
        chain.setPeakHold(rate);
        holdRate = valueBits(rate);
    }
    // Each group is derived again only when its stored value changed.
    const float threshold = compThreshold.load(), low = lpShelf.load(), high = hpShelf.load();
    if (!groupsDerived || valueBits(threshold) != groupSources[0]) {
        blockThresholdDb = thresholdDecibels(threshold);
        blockThresholdLinear = thresholdLinearOf(blockThresholdDb);
        groupSources[0] = valueBits(threshold);
    }
    if (!groupsDerived || valueBits(low) != groupSources[1]) {
        blockLowPass = DetectorFilterDesign::lowPass(low);
        groupSources[1] = valueBits(low);
    }
    if (!groupsDerived || valueBits(high) != groupSources[2]) {
        blockHighPass = DetectorFilterDesign::highPass(high);
        groupSources[2] = valueBits(high);
    }
    groupsDerived = true;
    setThreshold(s, blockThresholdDb, blockThresholdLinear);
    setLowPass(s, blockLowPass);
    setHighPass(s, blockHighPass);
    return s;
}

float CompGateEffect::getParameter(VstInt32 index) {
    if (!isUserParameter(index)) return 0.0f;
    return liveValue(index).load();
}

void CompGateEffect::getParameterName(VstInt32 index, char* text) {
    if (isUserParameter(index)) std::strcpy(text, kParameterNames[index]);
}

void CompGateEffect::getParameterLabel(VstInt32 index, char* text) {
    if (!isUserParameter(index)) return;
    ParameterText shown;
    if (describeParameter(index, liveValue(index).load(), getSampleRate(), shown)) {
        std::strcpy(text, shown.unit);
    } else {
        std::strcpy(text, kParameterLabels[index]);
    }
}

void CompGateEffect::getParameterDisplay(VstInt32 index, char* text) {
    if (!isUserParameter(index)) return;
    ParameterText shown;
    if (describeParameter(index, liveValue(index).load(), getSampleRate(), shown)) {
        std::strcpy(text, shown.number);
    } else if (index == kVolume) {
        formatDecibels(volume.load(), text);
    } else {
        // Delay included: it is stored like the others, so it reads back and shows like them.
        formatFloat(liveValue(index).load(), text);
    }
}

// Programs -----------------------------------------------------------------------------------------------

void CompGateEffect::setProgram(VstInt32 program) {
    if (program < 0 || program >= kNumPrograms || !programs) return;
    curProgram = program;
    // Virtual on purpose: on the plug-in every value also reaches the editor.
    for (VstInt32 i = 0; i < kNumUserParameters; ++i) {
        setParameter(i, programs[program].values[i].load());
    }
}

void CompGateEffect::setProgramName(char* text) {
    const VstInt32 current = curProgram.load();
    if (!text || !programs || current < 0 || current >= kNumPrograms) return;
    // Longer names keep their first 23 characters; the record's terminator is never overwritten.
    char* name = programs[current].name;
    std::strncpy(name, text, CompGateProgram::kNameSize - 1);
    name[CompGateProgram::kNameSize - 1] = '\0';
}

void CompGateEffect::getProgramName(char* text) {
    const VstInt32 current = curProgram.load();
    if (!programs || current < 0 || current >= kNumPrograms) {
        text[0] = '\0';
        return;
    }
    const char* name = programs[current].name;
    if (std::strcmp(name, "Init") == 0) {
        std::sprintf(text, "%s %d", name, static_cast<int>(current + 1));
    } else {
        std::strcpy(text, name);
    }
}

bool CompGateEffect::getProgramNameIndexed(VstInt32 /*category*/, VstInt32 index, char* text) {
    if (!programs || index < 0 || index >= kNumPrograms) return false;
    std::strcpy(text, programs[index].name);
    return true;
}

// Identity and rates -------------------------------------------------------------------------------------

VstInt32 CompGateEffect::getCategory() { return 1; }

bool CompGateEffect::getVendorString(char* text) {
    std::strcpy(text, "BroVane: coded by QuiVeRo");
    return true;
}

void CompGateEffect::setSampleRate(float rate) { applySampleRate(rate); }

// The block size is not needed: the chain works sample by sample in the host's buffers, and nothing it
// keeps depends on the block size.
void CompGateEffect::setBlockSizeAndSampleRate(VstInt32 /*size*/, float rate) { applySampleRate(rate); }

// The rate may have reached the framework without passing here (a host query); nothing is reset, but
// there is no earlier output to ramp from.
void CompGateEffect::resume() {
    applySampleRate(getSampleRate());
    resumes.fetch_add(1, std::memory_order_relaxed);
}

// The next block derives what depends on the rate; this thread writes the rate alone.
void CompGateEffect::applySampleRate(float rate) {
    // A rate that is not a positive number would turn every time constant into infinity or NaN.
    if (!(rate > 0.0f) || !std::isfinite(rate)) return;
    const uint32_t changes = rateChanges.load(std::memory_order_relaxed);
    if (rateChangesTaken.load(std::memory_order_acquire) == changes || rate < lowestRate.load())
        lowestRate = rate;
    sampleRate = rate;
    rateChanges.fetch_add(1, std::memory_order_release);
    derivedWrites.fetch_add(1, std::memory_order_release);
}

// Audio --------------------------------------------------------------------------------------------------

// The accumulating entry is not supported: the outputs are left as they are.
void CompGateEffect::process(float** /*inputs*/, float** /*outputs*/, VstInt32 /*sampleFrames*/) {}

inline void CompGateEffect::runBlock(float** inputs, float** outputs, VstInt32 sampleFrames) {
    // Nothing to process, or nowhere to read or write: the block is skipped, meters included.
    if (sampleFrames <= 0 || !inputs || !outputs) return;
    const float* in0 = inputs[0];
    const float* in1 = inputs[1];
    float* out0 = outputs[0];
    float* out1 = outputs[1];
    if (!in0 || !in1 || !out0) return;

    // The settings are taken again only after a parameter or rate change: blocks come far more often.
    const uint32_t writes = derivedWrites.load(std::memory_order_acquire);
    if (writes != blockSettingsWrites) {
        blockSettings = settingsForBlock();
        blockSettingsWrites = writes;
    }
    const uint32_t resumeCount = resumes.load(std::memory_order_relaxed);
    if (resumeCount != resumesSeen) {
        resumesSeen = resumeCount;
        chain.restart();
    }
    const BlockMeters meters = chain.processBlock(blockSettings, in0, in1, out0, out1, sampleFrames);
    blockMeters = meters;

    // This effect's editor is always a GuiEditor; it only stores the values for its next redraw. One
    // call for the three meters: it comes after every block. The chain above neither allocates nor
    // throws; the editor's widgets are the one place where a throw can start, and it stops here.
    if (editor) {
        static_assert(kMeterOutput == kMeterInput + 1 && kMeterGain == kMeterInput + 2, "consecutive meters");
        const float values[3] = {meters.peak, meters.peakAfterGain, meters.gain};
        try {
            static_cast<GuiEditor*>(editor)->setParameters(kMeterInput, values, 3);
        } catch (...) {
        }
    }
}

void CompGateEffect::processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) {
    runBlock(inputs, outputs, sampleFrames);
}

void VSTCALLBACK CompGateEffect::replacingEntry(AEffect* record, float** inputs, float** outputs,
                                                VstInt32 sampleFrames) {
    static_cast<CompGateEffect*>(fromRecord(record))->runBlock(inputs, outputs, sampleFrames);
}
