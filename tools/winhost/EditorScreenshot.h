// EditorScreenshot: the bridge's editor picture: the editor open in a window while the last audio of a
// render plays through the plug-in, so its meters show the levels of the end of the render.
#pragma once

#include <string>

#include "tools/winhost/EditorWindow.h"

class PluginHost;

// Opens the editor, processes `frames` frames (planar stereo, blocks of at most `block` frames) on an
// audio thread at the pace of the host's sample rate while the window's timer idles the editor, then
// idles on until the meters have settled, captures the client area and closes the editor.
// False with error set when the editor cannot be shown or captured.
bool playWithEditor(PluginHost& host, const float* const* inputs, float* const* outputs, int frames,
                    int block, HostWindowPicture& picture, std::string& error);
