// The platform seam: services every gui backend supplies, one implementation per backend folder.
#pragma once

#include <cstdint>

#include "gui/core/UiTypes.h"

// Besides the free functions below, each backend defines these toolkit members in its own folder
// (gui/platform/<backend>/); a backend that misses one fails to link:
//   DrawSurface:      attachNative, detachNative, getWindowScreenOrigin, moveTo, lineTo, drawPolyline,
//                     fillPolygon, drawFrame, fillArea, drawEllipse, fillEllipse, drawArc, fillArc,
//                     drawPixel, getPixel, floodFill, setLineStyle, setLineWidth, setFrameColour,
//                     setFillColour, setFontColour, setDrawMode, setClipArea, setFont, getTextWidth,
//                     drawText, getMouseButtons, getMousePosition, waitForDoubleClick, copyFromSurface
//   OffscreenSurface: createBitmap, createBitmapFromPixmap, destroyBitmap, copyTo
//   Pixmap:           loadResource, decodeResource, loadScaledResource, createBlank, destroyBitmaps, draw, drawTransparent,
//                     drawBlended, buildMask
//   PluginWindow:     loadBlendLibrary, freeBlendLibrary, createChildWindow, destroyChildWindow,
//                     beginTemporarySurface, endTemporarySurface, getCursorPosition, setCursor,
//                     setDropActive, findHostFrame, getPosition, getSize, resizeChildWindow,
//                     resizeWindowChain, bringFrameToTop, handleNativeEvents,
//                     followsDragEvents
// plus the window class, the window procedure, the button-swap flag and the blending entry points,
// which stay private to the backend. The neutral halves live in gui/core/<Class>.cpp.
namespace platform {

// The module instance handle of the library (stored by the module entry; null in programs that link the
// toolkit directly, where backends fall back to the program's own module).
void setModuleInstance(void* instance);
void* getModuleInstance();

// Milliseconds since system start (GetTickCount on Win32; the scripted clock on the headless backend).
uint32_t getTicks();

// Suspends the calling thread (Sleep on Win32; advances the scripted clock on the headless backend).
void sleepFor(uint32_t milliseconds);

// OLE initialisation of the calling thread; results are ignored. The toolkit itself does not call these:
// the Win32 window initialises OLE with its drop registration and undoes exactly that on the same thread.
void initialiseOle();
void uninitialiseOle();

// Removes and dispatches at most one waiting paint message of the calling thread.
void dispatchOnePaintMessage();

// The system's double-click time in milliseconds (GetDoubleClickTime; scriptable on the headless backend).
uint32_t getDoubleClickTime();

// The display scale the system asks of windows inside parentWindow (null: before the host gave one), as
// a factor (1.0 = 96 dots per inch); 1.0 where the system does not tell, or stretches the window itself.
double getSystemScale(NativeHandle parentWindow);

// Small per-user integer settings of the plug-in, kept by the system for every later instance (the
// current user's registry hive on Win32, a file under $XDG_CONFIG_HOME natively; the names are in
// UserSettingNames.h). An environment override of a setting is read first and keeps it from being
// written. Reading answers false when the setting is absent or unreadable; writing answers whether it
// was stored.
bool readUserSetting(const char* name, int32_t& value);
bool writeUserSetting(const char* name, int32_t value);

}  // namespace platform
