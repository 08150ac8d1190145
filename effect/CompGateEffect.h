// CompGateEffect: the stereo compressor: parameters, programs, derived values and the signal chain.
#pragma once

#include <atomic>
#include <cstdint>

#include "effect/ChainSettings.h"
#include "effect/CompGateParameters.h"
#include "effect/CompGateProgram.h"
#include "effect/CompressorState.h"
#include "effect/DetectorFilterDesign.h"
#include "framework/EffectBaseExt.h"
#include "base/RelaxedAtomic.h"

class CompGateEffect : public EffectBaseExt {
public:
    explicit CompGateEffect(audioMasterCallback hostCallback);
    ~CompGateEffect() override;

    void setParameter(VstInt32 index, float value) override;
    float getParameter(VstInt32 index) override;
    void process(float** inputs, float** outputs, VstInt32 sampleFrames) override;
    // Final: the record's replacing entry below runs the block without asking the object again.
    void processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) final;
    void setProgram(VstInt32 program) override;
    void setProgramName(char* text) override;
    void getProgramName(char* text) override;
    void getParameterLabel(VstInt32 index, char* text) override;
    void getParameterDisplay(VstInt32 index, char* text) override;
    void getParameterName(VstInt32 index, char* text) override;
    bool getProgramNameIndexed(VstInt32 category, VstInt32 index, char* text) override;
    VstInt32 getCategory() override;
    // A new rate re-derives every time constant, whatever order the host sets rate and parameters in.
    void setSampleRate(float rate) override;
    void setBlockSizeAndSampleRate(VstInt32 size, float rate) override;
    void resume() override;
    bool getVendorString(char* text) override;

    // The derived values as one block would take them now.
    ChainSettings chainSettings() const;
    double getInputGainDb() const { return inputGainDb; }
    const CompressorState& getChainState() const { return chain; }
    // The settings the last block ran on; read on the thread that runs the blocks.
    const ChainSettings& lastBlockSettings() const { return blockSettings; }
    // The meter values of the last block that ran (a block of no frames leaves them), for adapters that
    // show meters without an editor; read on the thread that runs the blocks.
    const BlockMeters& lastMeters() const { return blockMeters; }
    // Forces the next block to rebuild its gain table (the unconditional rebuild, for comparisons); between
    // blocks, on the thread that runs them.
    void invalidateGainTable() { chain.invalidateGainTable(); }

    // The record's replacing entry, the only one: straight to the block, without the virtual call and its
    // own frame, which count at small blocks. Nothing thrown leaves it (see runBlock).
    static void VSTCALLBACK replacingEntry(AEffect* record, float** inputs, float** outputs, VstInt32 sampleFrames);

protected:
    // The live copy of a user parameter (index 0 to 13).
    RelaxedAtomic<float>& liveValue(VstInt32 index);
    void computeDerived(VstInt32 index, float value);
    // The values that come from one stored value each, the time constants and ramp at this rate; the
    // groups are derived from the stored values where a block takes them (see settingsForBlock).
    ChainSettings singleValues(float rate) const;
    // Audio thread: the settings a block runs on, taken when a set or rate change was counted.
    ChainSettings settingsForBlock();
    void applySampleRate(float rate);
    // The block itself, for both ways in.
    __attribute__((always_inline)) inline void runBlock(float** inputs, float** outputs, VstInt32 sampleFrames);

    CompGateProgram* programs;

    // Live copies; written by parameter sets on any host thread, read on others: relaxed atomics.
    RelaxedAtomic<float> delay, feedBack, volume, inputGain, lpShelf, hpShelf, gateThreshold, gateAttack,
        gateRelease, compThreshold, compRatio, compAttack, compRelease, compMakeup;

    // Derived values of one stored value each, read by the audio thread at the start of a block. The
    // threshold's decibel and linear values and each filter's coefficients belong together: they are
    // derived where a block takes its settings, from the one stored value, so a set racing that read
    // gives the block the old group or the new one, never half of each. So is everything that depends on
    // the rate (time coefficients, ramp length, peak hold): the host's threads write the rate and the
    // stored values only, and a coefficient is never made from a rate that another thread replaced.
    RelaxedAtomic<double> inputGainDb, inputGainLinear, inverseRatio, makeupLinear;
    // Bumped after every write of the stored values or the rate (release), so a block whose acquire load
    // sees the count it saw before may run on the settings it took then.
    std::atomic<uint32_t> derivedWrites{0};
    // Rate changes, counted by the host's thread, and the lowest rate set since the audio thread last took
    // the count (rateChangesTaken, which only it writes): a block limits a running hold by every rate set
    // before it. Racing a block, a rate may limit one more block than it would between blocks, never less.
    std::atomic<uint32_t> rateChanges{0};
    std::atomic<uint32_t> rateChangesTaken{0};
    RelaxedAtomic<float> lowestRate{0.0f};
    // Counted by every resume: the next block applies its settings at once.
    std::atomic<uint32_t> resumes{0};

    // Audio thread only from the first block on: the chain (gain table included), the settings of the
    // last block, the count they were taken at, and the resumes seen.
    CompressorState chain;
    ChainSettings blockSettings{};
    BlockMeters blockMeters{0.0f, 0.0f, 1.0f};
    uint32_t blockSettingsWrites = 0;
    // The groups the block derived last, with the stored values they came from (bit patterns).
    uint32_t groupSources[3] = {0, 0, 0};  // CompThreshold, LPShelf, HPShelf
    bool groupsDerived = false;
    uint32_t holdRate = 0;  // the rate (bits) the chain's peak hold was derived at; 0: none yet
    double blockThresholdDb = 0.0, blockThresholdLinear = 0.0;
    SectionCoefficients blockLowPass{}, blockHighPass{};
    uint32_t resumesSeen = 0;
};
