// BridgePlugin: a Windows plug-in DLL served by vozuv-winhost.exe under Wine, driven over its pipes.
#pragma once

#include <memory>
#include <vector>

#include "tools/bridgewire/BridgeMessage.h"
#include "tools/bridgewire/BridgeProtocol.h"
#include "tools/render/BridgeProcess.h"
#include "tools/render/RenderPlugin.h"
#include "tools/render/SharedAudioFile.h"
#include "tools/xvfb/XvfbServer.h"

class BridgePlugin : public RenderPlugin {
public:
    // flavour: "win32" or "win64", the DLL's machine. withEditor: the bridge will show the editor, so
    // it runs on an X display (a private Xvfb when DISPLAY is not set).
    // zoom: the editor's scale in percent, which vozuv-winhost stores as the user's choice while it runs.
    BridgePlugin(const std::string& dllPath, const std::string& flavour, const ToolPaths& paths,
                 bool withEditor = false, int zoom = 100);
    ~BridgePlugin() override;

    PluginInfo info() override;
    void setSampleRate(float rate) override;
    void setBlockSize(int frames) override;
    void setMains(bool on) override;
    void setProgram(int program) override;
    void setParameter(int index, float value) override;
    float getParameter(int index) override;
    void process(const float* const* inputs, float* const* outputs, int frames, int block) override;
    // Slots in a file the winhost maps too; the pipes carry only the requests. Falls back to the
    // pipes when the winhost cannot map it.
    int openSlots(int frames) override;
    AudioSlot slot(int index) override;
    void submit(int index, int frames, int block) override;
    void collect(int index) override;
    int pendingLimit() const override;
    EditorPicture processWithEditor(const float* const* inputs, float* const* outputs, int frames,
                                    int block) override;
    std::string description() const override { return about; }
    bool starting() override;

    // A raw dispatcher call through the bridge; text is what the plug-in wrote at ptr.
    int64_t dispatch(int32_t opcode, int32_t index, int64_t value, float opt, std::string* text = nullptr);
    // Times the plug-in has sent a host request with this opcode.
    uint32_t requestCount(int32_t opcode);
    // Ends the session: the winhost closes the instance and exits; answers its exit status.
    int quit();

    // The vozuv-winhost.exe that serves this flavour, "" when none (searched list in `searched`).
    static std::string findWinHost(const std::string& dllPath, const std::string& flavour, const ToolPaths& paths,
                                   std::string& searched);
    // Creates the Wine prefix once (under a lock, as scripts/wine-run.sh does).
    static void preparePrefix(const std::string& prefix);

private:
    // Waits for the winhost's greeting: the plug-in is loaded and instantiated, or why not.
    void greet();
    // A refused request throws its message after `refusal`.
    std::vector<uint8_t> request(uint32_t code, const MessageWriter& payload,
                                 const char* refusal = "the plug-in bridge refused a request: ");
    void sendRequest(uint32_t code, const MessageWriter& payload);
    // Reads one reply; a refusal throws `refusal` and the message, unless `refused` is given: then it
    // is set and the answer is empty.
    std::vector<uint8_t> readReply(const char* refusal, bool* refused = nullptr);

    // Held while a session with the editor lives (made before, released after its winhost): the winhost
    // stores the plug-in's editor scale in the prefix for its run, so such sessions take turns.
    struct PrefixTurn {
        int fd = -1;
        ~PrefixTurn();
    } editorTurn;
    std::unique_ptr<XvfbServer> display;  // outlives the bridge that draws on it
    std::unique_ptr<BridgeProcess> process_;
    std::string about;
    bool closed = false;
    bool greeted = false;  // the winhost starts in the background until the first request
    std::string winhost;
    std::unique_ptr<SharedAudioFile> shared;  // null: audio goes through the pipes
    BridgeSlotLayout layout{0};
};
