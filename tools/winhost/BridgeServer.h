// BridgeServer: serves the requests of vozuv-render over standard input and output, one plug-in
// instance, until the renderer says quit or closes the pipe. Audio comes either in the requests or,
// once the renderer has sent kBridgeMapAudio, in a file both programs map.
#pragma once

#include <string>

int runBridge(const std::string& pluginPath);
