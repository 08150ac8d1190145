// ParameterProgramTest: parameters and programs of the DLL through the record's entries and the dispatcher.
#include <array>

#include "tests/wine/plugin/PluginFixture.h"

namespace {

struct ParameterRow {
    const char* name;
    const char* label;
    float defaultValue;
};

const std::array<ParameterRow, 14> kParameters = {{
    {"Delay", "samples", 0.5f},      {"InputGain", "dB", 0.5f},     {"LPShelf", "", 1.0f},
    {"HPShelf", "", 0.0f},         {"GateThreshold", "dB", 0.0f}, {"GateAttack", "ms", 0.1f},
    {"GateRelease", "ms", 0.5f},     {"CompThreshold", "dB", 1.0f}, {"CompRatio", "", 0.1f},
    {"CompAttack", "ms", 0.1f},      {"CompRelease", "ms", 0.2f},   {"CompMakeup", "dB", 0.5f},
    {"FeedBack", "amount", 0.5f},    {"Volume", "dB", 0.75f},
}};

TEST_F(PluginFixture, ParametersReportNamesLabelsAndDefaults) {
    for (int i = 0; i < 14; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(host->parameterName(i), kParameters[i].name);
        EXPECT_EQ(host->parameterLabel(i), kParameters[i].label);
        // Delay's read-back is the implementer's choice; every other parameter reads its default.
        if (i > 0) {
            EXPECT_EQ(host->getParameter(i), kParameters[i].defaultValue);
        }
    }
    for (int i = 14; i < 17; ++i) {
        EXPECT_EQ(host->parameterName(i), "");
        EXPECT_EQ(host->parameterLabel(i), "");
        EXPECT_EQ(host->getParameter(i), 0.0f);
    }
}

// Audio parameters in the unit of their label, the others in the framework's fixed-width texts.
TEST_F(PluginFixture, DisplaysShowWhatTheAudioDoes) {
    EXPECT_EQ(host->parameterDisplay(1), "0.0");  // input gain in dB
    EXPECT_EQ(host->parameterDisplay(2), "off");  // low-pass switched off
    EXPECT_EQ(host->parameterDisplay(9), "16.4");  // attack time constant in ms
    EXPECT_EQ(host->parameterDisplay(5), "0.100000");
    EXPECT_EQ(host->parameterDisplay(13), "-2.49877");  // Volume 0.75 in dB
    host->setParameter(1, 1.0f);
    EXPECT_EQ(host->parameterDisplay(1), "20.0");
    host->setParameter(3, 0.25f);
    EXPECT_EQ(host->parameterDisplay(3), "876");
    EXPECT_EQ(host->parameterLabel(3), "Hz");
    host->setParameter(13, 0.0f);
    EXPECT_EQ(host->parameterDisplay(13), "-oo");
    host->setParameter(13, 1.0f);
    EXPECT_EQ(host->parameterDisplay(13), "0.000000");
    EXPECT_EQ(host->parameterDisplay(14), "");
}

TEST_F(PluginFixture, ParameterRoundTripsAndClamps) {
    for (int i = 1; i < 14; ++i) {
        host->setParameter(i, 0.125f);
        EXPECT_EQ(host->getParameter(i), 0.125f) << i;
    }
    host->setParameter(8, 0.9f);
    EXPECT_EQ(host->getParameter(8), 0.330000013f);
    host->setParameter(10, 0.9f);
    EXPECT_EQ(host->getParameter(10), 0.2f);
    host->setParameter(11, 0.9f);
    EXPECT_EQ(host->getParameter(11), 0.75f);
    // Meter channels store nothing.
    host->setParameter(15, 0.5f);
    EXPECT_EQ(host->getParameter(15), 0.0f);
    // Setting from the host is not automation: the host is not told back.
    EXPECT_EQ(host->countRequests(audioMasterAutomate), 0u);
}

TEST_F(PluginFixture, ProgramsSwitchKeepTheirValuesAndNames) {
    for (int p = 0; p < 16; ++p) {
        host->setProgram(p);
        EXPECT_EQ(host->program(), p);
        EXPECT_EQ(host->programName(), "Init " + std::to_string(p + 1));
        std::string indexed;
        EXPECT_TRUE(host->programNameIndexed(p, indexed));
        EXPECT_EQ(indexed, "Init");
    }
    std::string none = "untouched";
    EXPECT_FALSE(host->programNameIndexed(16, none));

    host->setProgram(3);
    host->setParameter(7, 0.4f);
    char name[] = "Heavy";
    host->dispatch(effSetProgramName, 0, 0, name);
    host->setProgram(5);
    EXPECT_EQ(host->getParameter(7), 1.0f);
    host->setProgram(3);
    EXPECT_EQ(host->getParameter(7), 0.4f);
    EXPECT_EQ(host->programName(), "Heavy");

    // Out of range: the current program stays.
    host->setProgram(16);
    host->setProgram(-1);
    EXPECT_EQ(host->program(), 3);
}

}  // namespace
