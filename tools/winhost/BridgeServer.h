// BridgeServer: serves the requests of vozuv-render over standard input and output, one plug-in
// instance, until the renderer says quit or closes the pipe.
#pragma once

#include <string>

int runBridge(const std::string& pluginPath);
