// LevelMeter: a row or column of segments split at the shown level, rising at once and falling by a decay.
#pragma once

#include <cstdint>

#include "gui/core/ValueControl.h"

enum MeterStyle : int32_t { MeterHorizontal = 1 };  // without it the segments run from bottom to top

class LevelMeter : public ValueControl {
public:
    // on and off: pictures of the lit and the unlit segments, the size of the bounds; off may be null.
    LevelMeter(const UiRect& bounds, Pixmap* onPixmap, Pixmap* offPixmap, int32_t segmentCount, int32_t style);
    ~LevelMeter() override;

    void draw(DrawSurface* surface) override;
    // The flag only: the shown level (previousValue) keeps falling towards the value over the redraws.
    void setDirty(bool flag) override;

    virtual void setDecay(float value);

    float getDecay() const { return decay; }
    int32_t getSegmentCount() const { return segmentCount; }
    UiRect getOnArea() const { return onArea; }
    UiRect getOffArea() const { return offArea; }

protected:
    Pixmap* onPixmap = nullptr;   // retained
    Pixmap* offPixmap = nullptr;  // retained
    int32_t segmentCount = 1;
    int32_t style = 0;
    float decay = 0.1f;
    UiRect onArea;
    UiRect offArea;
};
