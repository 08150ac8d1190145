// Process-wide state of the headless backend.
#include "gui/platform/cairo/HeadlessSystem.h"

int32_t HeadlessSystem::oleInitialisations = 0;
int32_t HeadlessSystem::oleUninitialisations = 0;
int32_t HeadlessSystem::classUseCount = 0;
int32_t HeadlessSystem::classRegistrations = 0;
bool HeadlessSystem::classRegistered = false;
bool HeadlessSystem::buttonsSwapped = false;
int32_t HeadlessSystem::currentCursor = 32512;
int32_t HeadlessSystem::paintDispatchCalls = 0;
int32_t HeadlessSystem::paintDispatches = 0;
int32_t HeadlessSystem::framesBroughtToTop = 0;
int32_t HeadlessSystem::dialogFrame = 3;
bool HeadlessSystem::dragEvents = false;
int32_t HeadlessSystem::liveDeviceContexts = 0;
double HeadlessSystem::displayScale = 1.0;

void HeadlessSystem::reset() {
    currentCursor = 32512;
    paintDispatches = 0;
    framesBroughtToTop = 0;
    dialogFrame = 3;
    dragEvents = false;
    displayScale = 1.0;
}
