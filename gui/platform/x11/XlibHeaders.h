// Xlib, with its Pixmap type renamed so it cannot clash with the toolkit's Pixmap class.
#pragma once

#define Pixmap XlibPixmap
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/cursorfont.h>
#include <X11/extensions/XShm.h>
#undef Pixmap
