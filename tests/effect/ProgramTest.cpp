// Programs as the host sees them: switching, storing, names with and without the program number.
#include <gtest/gtest.h>

#include "tests/effect/EffectTestSupport.h"

using namespace effecttest;

TEST(ProgramTest, UntouchedProgramsShowTheirNumber) {
    Instance instance;
    EXPECT_EQ(instance.text(effGetProgramName), "Init 1");
    instance.dispatch(effSetProgram, 0, 4);
    EXPECT_EQ(instance.dispatch(effGetProgram), 4);
    EXPECT_EQ(instance.text(effGetProgramName), "Init 5");
    instance.dispatch(effSetProgram, 0, 15);
    EXPECT_EQ(instance.text(effGetProgramName), "Init 16");
    // The indexed names are the stored ones.
    char name[64] = "";
    EXPECT_EQ(instance.dispatch(effGetProgramNameIndexed, 4, 0, name), 1);
    EXPECT_STREQ(name, "Init");
    for (VstInt32 index : {16, -1}) {
        EXPECT_EQ(instance.dispatch(effGetProgramNameIndexed, index, 0, name), 0);
        EXPECT_EQ(instance.text(effGetProgramNameIndexed, index), "<untouched>");
    }
}

TEST(ProgramTest, RenamedProgramsShowTheNameAlone) {
    Instance instance;
    instance.dispatch(effSetProgram, 0, 2);
    instance.dispatch(effSetProgramName, 0, 0, const_cast<char*>("Vocals"));
    EXPECT_EQ(instance.text(effGetProgramName), "Vocals");
    EXPECT_EQ(instance.text(effGetProgramNameIndexed, 2), "Vocals");
    // Only the exact name "Init" gets a number.
    instance.dispatch(effSetProgramName, 0, 0, const_cast<char*>("init"));
    EXPECT_EQ(instance.text(effGetProgramName), "init");
    instance.dispatch(effSetProgramName, 0, 0, const_cast<char*>("Init"));
    EXPECT_EQ(instance.text(effGetProgramName), "Init 3");
}

TEST(ProgramTest, LongNamesAreCutAndNeverSpillIntoTheNextProgram) {
    Instance instance;
    instance.dispatch(effSetProgramName, 0, 0, const_cast<char*>("A name that is far longer than the field holds"));
    EXPECT_EQ(instance.text(effGetProgramName), "A name that is far long");
    EXPECT_EQ(instance.text(effGetProgramName).size(), 23u);
    EXPECT_EQ(instance.text(effGetProgramNameIndexed, 1), "Init");
    instance.dispatch(effSetProgram, 0, 1);
    for (VstInt32 i = 0; i < 14; ++i) EXPECT_EQ(instance.get(i), CompGateProgram::defaults[i]) << i;
}

TEST(ProgramTest, SetsChangeTheCurrentProgramAndSwitchesApplyIt) {
    Instance instance;
    instance.dispatch(effSetProgram, 0, 5);
    for (VstInt32 i = 0; i < 14; ++i) instance.set(i, 0.01f * float(i + 1));
    instance.dispatch(effSetProgram, 0, 6);
    for (VstInt32 i = 0; i < 14; ++i) EXPECT_EQ(instance.get(i), CompGateProgram::defaults[i]) << i;
    EXPECT_EQ(instance.plugin().chainSettings().thresholdDb, 0.0);
    instance.dispatch(effSetProgram, 0, 5);
    for (VstInt32 i = 0; i < 14; ++i) EXPECT_EQ(instance.get(i), 0.01f * float(i + 1)) << i;
    // Derived values follow the switch.
    EXPECT_DOUBLE_EQ(instance.plugin().chainSettings().thresholdDb, (double(0.08f) - 1.0) * 60.0);
    // Numbers outside the bank change nothing, whoever asks.
    instance.dispatch(effSetProgram, 0, 16);
    instance.dispatch(effSetProgram, 0, -1);
    instance.plugin().setProgram(16);
    instance.plugin().setProgram(-1);
    EXPECT_EQ(instance.dispatch(effGetProgram), 5);
    EXPECT_EQ(instance.get(kCompThreshold), 0.08f);
}
