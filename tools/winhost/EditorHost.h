// EditorHost: opens a plug-in's editor the way a host does (rectangle, top-level window, open, idle
// timer) and can save the editor's pixels as a PNG picture.
#pragma once

#include "tools/winhost/WinHostArguments.h"

int runEditor(const WinHostArguments& arguments);
