// PaletteQuantizer: reduces an opaque picture to at most 256 colours (median cut) for 8-bit bitmaps.
#pragma once

#include <cstdint>
#include <vector>

class PaletteQuantizer {
  public:
    // pixels: 0xRRGGBB words. Pictures with 256 colours or fewer keep them exactly.
    explicit PaletteQuantizer(const std::vector<uint32_t>& pixels);

    const std::vector<uint32_t>& palette() const { return palette_; }
    // Index of the palette colour nearest to rgb.
    uint8_t indexOf(uint32_t rgb) const;

  private:
    std::vector<uint32_t> palette_;
};
