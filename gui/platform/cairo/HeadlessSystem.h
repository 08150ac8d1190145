// Process-wide state of the headless backend that a window system would otherwise keep.
#pragma once

#include <cstdint>

// Counters and settings tests can read to check that the toolkit keeps its platform calls balanced.
class HeadlessSystem {
public:
    // OLE initialisations minus uninitialisations, and the totals.
    static int32_t oleDepth() { return oleInitialisations - oleUninitialisations; }
    static int32_t oleInitialisations;
    static int32_t oleUninitialisations;

    // The plug-in's window class: use count, registrations so far, and the button swap read when it
    // was registered.
    static int32_t classUseCount;
    static int32_t classRegistrations;
    static bool classRegistered;
    static bool buttonsSwapped;

    // System cursor shape in force, as the resource number of the standard cursor (32512 the arrow).
    static int32_t currentCursor;

    // Calls of dispatchOnePaintMessage, and the paint messages they found and dispatched.
    static int32_t paintDispatchCalls;
    static int32_t paintDispatches;

    // Frames brought to the top for standalone windows.
    static int32_t framesBroughtToTop;

    // The display scale the system reports (1.0 unless a test sets another).
    static double displayScale;

    // Thickness of a dialog frame (SM_CYDLGFRAME), used when the editor resizes its host's windows.
    static int32_t dialogFrame;

    // Device contexts made and not yet released (the window's, memory contexts, paint contexts).
    static int32_t liveDeviceContexts;

    // Drags follow the scripted mouse as events, one per script step, instead of a modal loop.
    static bool dragEvents;

    // Everything but the class registration, the OLE counters and paintDispatchCalls (ScriptedInput
    // measures those from a baseline of its own).
    static void reset();
};
