// PaletteQuantizer: median cut over the distinct colours, weighted by how often each occurs.
#include "tools/artgen/PaletteQuantizer.h"

#include <algorithm>
#include <map>

namespace {

struct Entry {
    uint32_t rgb;
    uint32_t count;
};

int channel(uint32_t rgb, int c) { return static_cast<int>((rgb >> (16 - 8 * c)) & 0xffu); }

// One box of the cut: a run of entries, and the channel with the widest spread.
struct Box {
    size_t begin, end;
    int widestChannel = 0;
    int spread = 0;
    uint64_t weight = 0;
};

void measure(Box& box, const std::vector<Entry>& entries) {
    int lo[3] = {255, 255, 255}, hi[3] = {0, 0, 0};
    box.weight = 0;
    for (size_t i = box.begin; i < box.end; ++i) {
        for (int c = 0; c < 3; ++c) {
            lo[c] = std::min(lo[c], channel(entries[i].rgb, c));
            hi[c] = std::max(hi[c], channel(entries[i].rgb, c));
        }
        box.weight += entries[i].count;
    }
    box.spread = -1;
    for (int c = 0; c < 3; ++c) {
        if (hi[c] - lo[c] > box.spread) {
            box.spread = hi[c] - lo[c];
            box.widestChannel = c;
        }
    }
}

uint32_t average(const Box& box, const std::vector<Entry>& entries) {
    uint64_t sum[3] = {0, 0, 0};
    for (size_t i = box.begin; i < box.end; ++i) {
        for (int c = 0; c < 3; ++c) sum[c] += uint64_t(channel(entries[i].rgb, c)) * entries[i].count;
    }
    uint32_t rgb = 0;
    for (int c = 0; c < 3; ++c) rgb = (rgb << 8) | uint32_t((sum[c] + box.weight / 2) / box.weight);
    return rgb;
}

}  // namespace

PaletteQuantizer::PaletteQuantizer(const std::vector<uint32_t>& pixels) {
    std::map<uint32_t, uint32_t> histogram;
    for (uint32_t p : pixels) ++histogram[p & 0xffffffu];
    std::vector<Entry> entries;
    for (const auto& h : histogram) entries.push_back({h.first, h.second});
    if (entries.size() <= 256) {
        for (const Entry& e : entries) palette_.push_back(e.rgb);
        return;
    }
    std::vector<Box> boxes{{0, entries.size()}};
    measure(boxes[0], entries);
    while (boxes.size() < 256) {
        // Split the box whose spread weighs most; a box of one colour cannot be split.
        auto score = [](const Box& b) { return b.end - b.begin < 2 ? 0.0 : double(b.spread) * double(b.weight); };
        auto it = std::max_element(boxes.begin(), boxes.end(),
                                   [&](const Box& a, const Box& b) { return score(a) < score(b); });
        if (score(*it) == 0.0) break;
        Box box = *it;
        const int c = box.widestChannel;
        std::sort(entries.begin() + box.begin, entries.begin() + box.end,
                  [c](const Entry& a, const Entry& b) { return channel(a.rgb, c) < channel(b.rgb, c); });
        uint64_t half = box.weight / 2, seen = 0;
        size_t cut = box.begin;
        while (cut < box.end - 1 && seen + entries[cut].count <= half) seen += entries[cut++].count;
        cut = std::max(cut, box.begin + 1);
        Box lower{box.begin, cut}, upper{cut, box.end};
        measure(lower, entries);
        measure(upper, entries);
        *it = lower;
        boxes.push_back(upper);
    }
    for (const Box& b : boxes) palette_.push_back(average(b, entries));
}

uint8_t PaletteQuantizer::indexOf(uint32_t rgb) const {
    int best = 0;
    long bestDistance = -1;
    for (size_t i = 0; i < palette_.size(); ++i) {
        long d = 0;
        for (int c = 0; c < 3; ++c) {
            const long delta = channel(rgb, c) - channel(palette_[i], c);
            d += delta * delta;
        }
        if (bestDistance < 0 || d < bestDistance) {
            bestDistance = d;
            best = static_cast<int>(i);
        }
    }
    return static_cast<uint8_t>(best);
}
