// RenderBadInputTest: every bad input gets one clear line, a non-zero exit and no output file.
#include <sndfile.h>
#include <sys/stat.h>

#include <fstream>

#include "tests/render/RenderTestSupport.h"

namespace {

struct BadCase {
    std::vector<std::string> args;
    std::string message;
};

class RenderBadInputTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = scratchDir();
        writeAudio(dir + "/in.wav", makeSignal(44100, 2, 0.2));
    }

    // Runs in dir; expects failure, the message on one stderr line, nothing new in dir.
    void expectRefused(const std::vector<std::string>& args, const std::string& message,
                       const std::vector<std::pair<std::string, std::string>>& env = {}) {
        SCOPED_TRACE(message);
        const std::vector<std::string> before = listDir(dir);
        const CommandResult r = runRender(args, dir, env);
        EXPECT_NE(r.status, 0);
        EXPECT_NE(r.err.find(message), std::string::npos) << r.err;
        EXPECT_EQ(r.err.rfind("vozuv-render: ", 0), 0u) << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(listDir(dir), before);
    }

    std::vector<std::string> withPlugin(std::vector<std::string> args) {
        args.insert(args.begin(), {"--plugin", nativePlugin()});
        return args;
    }

    std::string dir;
};

TEST_F(RenderBadInputTest, OptionsOutOfRangeAreRefusedBeforeAnythingLoads) {
    const std::vector<BadCase> cases = {
        {{"--program", "0", "in.wav"}, "--program wants a number from 1 to 16"},
        {{"--program", "17", "in.wav"}, "--program wants a number from 1 to 16"},
        {{"--program", "two", "in.wav"}, "--program wants a number from 1 to 16"},
        {{"--block", "0", "in.wav"}, "--block wants a block size from 1 to 65536"},
        {{"--block", "65537", "in.wav"}, "--block wants a block size from 1 to 65536"},
        {{"--set", "CompRatio=1.5", "in.wav"}, "the value of CompRatio must be a number from 0 to 1"},
        {{"--set", "CompRatio=-0.1", "in.wav"}, "the value of CompRatio must be a number from 0 to 1"},
        {{"--set", "CompRatio=loud", "in.wav"}, "the value of CompRatio must be a number from 0 to 1"},
        {{"--set", "CompRatio=", "in.wav"}, "the value of CompRatio must be a number from 0 to 1"},
        {{"--set", "CompRatio=nan", "in.wav"}, "the value of CompRatio must be a number from 0 to 1"},
        {{"--set", "CompRatio", "in.wav"}, "--set wants NAME=VALUE"},
        {{"in.wav", "out.mp3"}, "the output must end in .wav or .flac"},
        {{"in.wav", "in.wav"}, "would overwrite the input"},
        {{"--plot", "levels.jpg", "in.wav"}, "--plot wants a file name ending in .png"},
        {{"--frobnicate", "in.wav"}, "unknown option --frobnicate"},
    };
    for (const BadCase& c : cases) expectRefused(c.args, c.message);
}

TEST_F(RenderBadInputTest, UnusableInputFilesAreNamed) {
    SKIP_WITHOUT_NATIVE();
    expectRefused(withPlugin({"missing.wav", "out.wav"}), "cannot read missing.wav: no such file");
    std::ofstream(dir + "/text.wav") << "not audio at all";
    expectRefused(withPlugin({"text.wav", "out.wav"}), "cannot read text.wav");
    Audio surround = makeSignal(44100, 1, 0.1);
    surround.channels = 3;
    surround.samples.resize(surround.samples.size() / 3 * 3);
    writeAudio(dir + "/surround.wav", surround);
    expectRefused(withPlugin({"surround.wav", "out.wav"}), "surround.wav has 3 channels");
    mkdir((dir + "/folder.wav").c_str(), 0755);
    expectRefused(withPlugin({"folder.wav", "out.wav"}), "it is a folder");
}

TEST_F(RenderBadInputTest, FailureAfterTheOutputWasOpenedLeavesNoPartialFile) {
    SKIP_WITHOUT_NATIVE();
    // The render is written beside the folder and cannot take its name at the end.
    mkdir((dir + "/out.wav").c_str(), 0755);
    const CommandResult r = runRender(withPlugin({"in.wav", "out.wav"}), dir);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("cannot write out.wav"), std::string::npos) << r.err;
    EXPECT_EQ(listDir(dir), (std::vector<std::string>{"in.wav", "out.wav"}));
    EXPECT_EQ(listDir(dir + "/out.wav"), std::vector<std::string>{});
}

TEST_F(RenderBadInputTest, UnknownParameterListsTheValidNames) {
    SKIP_WITHOUT_NATIVE();
    const CommandResult r = runRender(withPlugin({"--set", "Threshold=0.5", "in.wav", "out.wav"}), dir);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("unknown parameter \"Threshold\"; valid names: Delay, InputGain, LPShelf"),
              std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find("CompMakeup, FeedBack, Volume\n"), std::string::npos) << r.err;
    EXPECT_FALSE(fileExists(dir + "/out.wav"));
    EXPECT_FALSE(fileExists(dir + "/out.wav.partial"));
}

TEST_F(RenderBadInputTest, PluginsThatDoNotLoadOrStartAreReported) {
    std::ofstream(dir + "/broken.so") << "this is no library";
    expectRefused({"--plugin", dir + "/broken.so", "in.wav", "out.wav"}, "the plug-in failed to load");
    expectRefused({"--plugin", dir + "/absent.so", "in.wav", "out.wav"}, "cannot read the plug-in");
    expectRefused({"--plugin", VOZUV_NULL_MAIN_PLUGIN, "in.wav", "out.wav"},
                  "the plug-in failed to start: the plug-in's main returned null");
    std::ofstream(dir + "/broken.dll") << "MZ and nothing else of a Windows binary, nothing at all, really nothing";
    expectRefused({"--plugin", dir + "/broken.dll", "in.wav", "out.wav"}, "broken.dll: not a PE image");
}

// A Windows DLL header and a vozuv-winhost.exe header are all the renderer reads before it starts
// Wine; a stand-in for Wine then plays the dying bridge.
void writeFakePe(const std::string& path) {
    std::vector<uint8_t> image(0x58 + 224, 0);
    image[0] = 'M';
    image[1] = 'Z';
    image[0x3c] = 0x40;
    image[0x40] = 'P';
    image[0x41] = 'E';
    image[0x44] = 0x4c;  // i386
    image[0x45] = 0x01;
    image[0x54] = 224;   // optional header size
    image[0x56] = 0x02;  // executable image, DLL
    image[0x57] = 0x20;
    image[0x58] = 0x0b;  // PE32
    image[0x59] = 0x01;
    image[0x58 + 92] = 16;  // data directories, all empty
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(image.data()), image.size());
}

TEST_F(RenderBadInputTest, DyingBridgeIsReportedWithItsExitStatus) {
    const std::string tree = scratchDir();
    writeFakePe(tree + "/VozuvAzirOVA.dll");
    writeFakePe(tree + "/vozuv-winhost.exe");
    mkdir((tree + "/prefix").c_str(), 0755);
    std::ofstream(tree + "/prefix/system.reg") << "";
    const std::string early = tree + "/wine-dies-early", late = tree + "/wine-dies-late";
    std::ofstream(early) << "#!/bin/sh\necho 'wine: could not load the bridge' >&2\nexit 42\n";
    // Greets like a bridge that loaded its plug-in, then dies in the middle of the render.
    std::ofstream(late) << "#!/bin/sh\n"
                           "printf 'HELO\\020\\000\\000\\000VZB1\\000\\000\\000\\000\\000\\000\\000\\000\\040\\000\\000\\000'\n"
                           "head -c 12 > /dev/null\necho 'the plug-in crashed' >&2\nexit 70\n";
    chmod(early.c_str(), 0755);
    chmod(late.c_str(), 0755);
    const std::vector<std::string> args = {"--plugin", tree + "/VozuvAzirOVA.dll", "in.wav", "out.wav"};
    expectRefused(args, "the plug-in bridge (vozuv-winhost.exe under Wine) died: exit status 42 (wine: could not load the bridge)",
                  {{"VOZUV_WINE", early}, {"WINEPREFIX", tree + "/prefix"}});
    expectRefused(args, "died: exit status 70 (the plug-in crashed)", {{"VOZUV_WINE", late}, {"WINEPREFIX", tree + "/prefix"}});
}

TEST_F(RenderBadInputTest, EditorScreenshotThatCannotBeMadeIsRefusedBeforeRendering) {
    const std::string tree = scratchDir();
    writeFakePe(tree + "/VozuvAzirOVA.dll");
    writeFakePe(tree + "/vozuv-winhost.exe");
    mkdir((tree + "/prefix").c_str(), 0755);
    std::ofstream(tree + "/prefix/system.reg") << "";
    const std::string dll = tree + "/VozuvAzirOVA.dll";
    mkdir((dir + "/shot.png").c_str(), 0755);
    const std::vector<BadCase> cases = {
        {{"--editor-screenshot", "editor.jpg", "in.wav", "out.wav"},
         "--editor-screenshot wants a file name ending in .png"},
        {{"--editor-screenshot", "/no-such-folder/editor.png", "in.wav", "out.wav"},
         "cannot write the editor screenshot /no-such-folder/editor.png: no folder /no-such-folder"},
        {{"--editor-screenshot", "shot.png", "in.wav", "out.wav"},
         "cannot write the editor screenshot shot.png: it is a folder"},
        {{"--editor-screenshot", "levels.png", "--plot", "levels.png", "in.wav", "out.wav"},
         "the editor screenshot and the plot would both be"},
        {{"--editor-screenshot", "editor.png", "--zoom", "175", "in.wav", "out.wav"},
         "--zoom wants 100, 150 or 200, not \"175\""},
    };
    for (const BadCase& c : cases) {
        std::vector<std::string> args = c.args;
        args.insert(args.begin(), {"--plugin", dll});
        expectRefused(args, c.message);
    }
    // Without a display the renderer starts its own X server; without one of those either, it says so.
    expectRefused({"--plugin", dll, "--editor-screenshot", "editor.png", "in.wav", "out.wav"},
                  "the editor screenshot needs an X display: DISPLAY is not set and Xvfb did not start",
                  {{"DISPLAY", ""}, {"PATH", tree}, {"WINEPREFIX", tree + "/prefix"}});
}

TEST_F(RenderBadInputTest, MissingDefaultPluginSaysHowToGetIt) {
    expectRefused({"in.wav", "out.wav"}, "no plug-in at /nowhere/VozuvAzirOVA.dll: build the win32 tree",
                  {{"VOZUV_WIN32_DIR", "/nowhere"}});
}

}  // namespace
