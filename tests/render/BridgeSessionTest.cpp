// BridgeSessionTest: the bridge to the 32-bit DLL under Wine across block sizes and sample-rate changes.
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <fstream>
#include <iterator>

#include "tests/render/RenderTestSupport.h"
#include "tools/render/BridgePlugin.h"

namespace {

class BridgeSessionBesideNativeTest : public BridgeBesideNativeTest {};

TEST(BridgeSessionTest, ExtremeBlockSizesRenderLikeInProcess) {
    SKIP_WITHOUT_NATIVE();
    SKIP_WITHOUT_WIN32();
    const Audio input = makeSignal(44100, 2, 0.4);
    const std::string dir = scratchDir();
    writeAudio(dir + "/in.wav", input);
    for (int block : {1, 7, 4096}) {
        const std::string out = "out" + std::to_string(block) + ".wav";
        const CommandResult r =
            runRender({"--block", std::to_string(block), "--set", "CompThreshold=0.3", "in.wav", out}, dir);
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_LE(largestDifference(readAudio(dir + "/" + out), processInProcess(input, block, 0, {{"CompThreshold", 0.3f}})),
                  1e-6)
            << "block " << block;
    }
}

TEST_F(BridgeSessionBesideNativeTest, OneSessionFollowsASampleRateChangeBetweenFiles) {
    PluginHost& reference = native.host;
    EXPECT_EQ(bridge->dispatch(effGetVendorVersion, 0, 0, 0.0f), 1000);
    std::string name;
    bridge->dispatch(effGetEffectName, 0, 0, 0.0f, &name);
    EXPECT_EQ(name, "VozuvAzirOVA");

    // The same instance renders a 44.1 kHz file, then a 96 kHz one; state carries over as in a host.
    for (int rate : {44100, 96000}) {
        const Audio input = makeSignal(rate, 2, 0.5);
        const size_t n = static_cast<size_t>(input.frames());
        std::vector<float> in(2 * n), viaBridge(2 * n), inProcess(2 * n);
        for (size_t i = 0; i < n; ++i) {
            in[i] = input.samples[2 * i];
            in[n + i] = input.samples[2 * i + 1];
        }
        const float* inputs[2] = {in.data(), in.data() + n};
        float* bridgeOut[2] = {viaBridge.data(), viaBridge.data() + n};
        float* referenceOut[2] = {inProcess.data(), inProcess.data() + n};

        bridge->setMains(false);
        bridge->setSampleRate(static_cast<float>(rate));
        bridge->setParameter(7, 0.4f);  // time constants follow the rate at the time of the set
        bridge->setParameter(9, 0.3f);
        bridge->setMains(true);
        bridge->process(inputs, bridgeOut, static_cast<int>(n), 256);
        reference.setMains(false);
        reference.setSampleRate(static_cast<float>(rate));
        reference.setParameter(7, 0.4f);
        reference.setParameter(9, 0.3f);
        reference.setMains(true);
        reference.processBlocks(inputs, referenceOut, 2, static_cast<int>(n), 256);
        double largest = 0.0;
        for (size_t i = 0; i < 2 * n; ++i) largest = std::max(largest, std::fabs(double(viaBridge[i]) - inProcess[i]));
        EXPECT_LE(largest, 1e-6) << rate << " Hz";
    }
    EXPECT_EQ(bridge->requestCount(audioMasterVersion), 1u);
    EXPECT_EQ(bridge->quit(), 0);
}

TEST(BridgeSessionTest, BridgeKilledMidRenderLeavesNoOutput) {
    SKIP_WITHOUT_WIN32();
    const std::string dir = scratchDir();
    writeAudio(dir + "/in.wav", makeSignal(44100, 2, 120.0));
    const std::string err = dir + "/stderr";
    // Blocks of one frame keep the bridge busy long enough to be caught in the middle.
    const pid_t renderer = fork();
    if (renderer == 0) {
        const int fd = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(fd, 2);
        execl(VOZUV_RENDER_EXE, VOZUV_RENDER_EXE, "--block", "1", (dir + "/in.wav").c_str(), (dir + "/out.wav").c_str(),
              static_cast<char*>(nullptr));
        _exit(127);
    }
    bool writing = false;
    for (int i = 0; i < 6000 && !writing; ++i) {
        writing = fileExists(dir + "/out.wav.partial");
        if (!writing) usleep(10000);
    }
    ASSERT_TRUE(writing) << "the render never started writing";
    // The renderer's only child is the bridge (wine running vozuv-winhost.exe).
    std::ifstream children("/proc/" + std::to_string(renderer) + "/task/" + std::to_string(renderer) + "/children");
    pid_t bridge = 0;
    children >> bridge;
    ASSERT_GT(bridge, 0);
    kill(bridge, SIGKILL);
    int status = 0;
    waitpid(renderer, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1);
    std::ifstream in(err);
    const std::string message((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(message.find("vozuv-render: the plug-in bridge (vozuv-winhost.exe under Wine) died: killed by signal 9"),
              std::string::npos)
        << message;
    EXPECT_EQ(listDir(dir), (std::vector<std::string>{"in.wav", "stderr"}));
}

}  // namespace
