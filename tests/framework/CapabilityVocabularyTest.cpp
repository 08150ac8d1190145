// The two capability vocabularies the plug-in carries, and the framework's answer to a host's capability
// query.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "framework/Capabilities.h"
#include "framework/EffectBaseExt.h"

namespace {

class PlainEffect : public EffectBaseExt {
  public:
    PlainEffect() : EffectBaseExt(nullptr, 1, 1) {}
    void process(float**, float**, VstInt32) override {}
};

// The lists are data no operation walks: what can go wrong is a name lost, doubled or misspelt, or the
// framework claiming one of them.
TEST(CapabilityVocabularyTest, ListsHoldDistinctNamesAndTheFrameworkClaimsNoneOfThem) {
    const std::set<std::string> host(hostCapabilities, hostCapabilities + kHostCapabilityCount);
    const std::set<std::string> plugin(pluginCapabilities, pluginCapabilities + kPluginCapabilityCount);
    EXPECT_EQ(host.size(), 17u);
    EXPECT_EQ(plugin.size(), 26u);
    EXPECT_STREQ(hostCapabilities[0], "sendVstEvents");
    EXPECT_STREQ(hostCapabilities[16], "startStopProcess");
    EXPECT_STREQ(pluginCapabilities[0], "sendVstEvents");
    EXPECT_STREQ(pluginCapabilities[25], "bypass");
    // The texts the system itself sends with hostCanDo belong to the host vocabulary.
    for (const char* sent : {"sizeWindow", "openFileSelector", "closeFileSelector"})
        EXPECT_TRUE(host.count(sent)) << sent;

    auto* effect = new PlainEffect;
    AEffect* record = effect->getAeffect();
    for (const char* name : pluginCapabilities) {
        std::string text = name;
        EXPECT_EQ(record->dispatcher(record, effCanDo, 0, 0, &text[0], 0.0f), 0) << name;
    }
    record->dispatcher(record, effClose, 0, 0, nullptr, 0.0f);
}

}  // namespace
