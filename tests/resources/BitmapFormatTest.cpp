// BitmapFormatTest: every resource has its size, bit depth and file layout, and is embedded as committed.
#include <fstream>
#include <iterator>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "tests/resources/ResourceFixture.h"

namespace {

struct Expected {
    int id, width, height, bitCount;
};
const Expected kBitmaps[] = {{12, 762, 104, 24}, {13, 42, 2405, 24}, {14, 96, 6, 24},    {15, 96, 6, 24},
                             {16, 51, 9, 24},    {24, 96, 6, 24},    {25, 96, 6, 24},    {128, 135, 215, 8},
                             {129, 16, 160, 8},  {130, 14, 12, 8},
                             // The editor's pictures drawn at 150 % and 200 %: each edge where the toolkit maps it.
                             {1512, 1143, 156, 24}, {1513, 63, 3640, 24}, {1514, 144, 9, 24}, {1515, 144, 9, 24},
                             {1516, 76, 14, 24},    {1524, 144, 9, 24},   {1525, 144, 9, 24},
                             {2012, 1524, 208, 24}, {2013, 84, 4810, 24}, {2014, 192, 12, 24}, {2015, 192, 12, 24},
                             {2016, 102, 18, 24},   {2024, 192, 12, 24},  {2025, 192, 12, 24}};

std::vector<unsigned char> readFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

}  // namespace

TEST(BitmapFormat, EveryResourceHasItsSizeDepthAndRowLayout) {
    for (const Expected& e : kBitmaps) {
        SCOPED_TRACE("bitmap " + std::to_string(e.id));
        const BmpImage image = loadBitmap(e.id);
        ASSERT_EQ(image.error, "");  // header fields, bottom-up rows, 4-byte padding, data size
        EXPECT_EQ(image.width, e.width);
        EXPECT_EQ(image.height, e.height);
        EXPECT_EQ(image.bitCount, e.bitCount);
        if (e.bitCount == 8) {
            EXPECT_LE(image.palette.size(), 256u);
        }
    }
}

TEST(BitmapFormat, OnlyTheListedIdsAreCarried) {
    for (int id : {0, 1, 11, 17, 23, 26, 127, 131, 1511, 1528, 1628, 2011, 65536 + 12}) {
        EXPECT_EQ(findEmbeddedBitmap(id), nullptr) << id;
    }
}

// The resource script is the one list for both the Windows resources and the embedded copies.
TEST(BitmapFormat, ScriptListsEveryBitmapAndTheEmbeddedBytesAreTheFiles) {
    const std::string dir = std::string(VOZUV_SOURCE_DIR) + "/resources/";
    std::ifstream script(dir + "VozuvAzirOVA.rc");
    ASSERT_TRUE(script.good());
    const std::regex line(R"(^\s*(\d+)\s+BITMAP\s+"([^"]+)\"\s*$)");
    std::set<int> listed;
    for (std::string text; std::getline(script, text);) {
        std::smatch m;
        if (!std::regex_match(text, m, line)) continue;
        const int id = std::stoi(m[1]);
        listed.insert(id);
        const std::vector<unsigned char> file = readFile(dir + m[2].str());
        const EmbeddedBitmap* embedded = findEmbeddedBitmap(id);
        ASSERT_NE(embedded, nullptr) << id;
        EXPECT_EQ(std::vector<unsigned char>(embedded->data, embedded->data + embedded->size), file) << m[2];
    }
    std::set<int> expected;
    for (const Expected& e : kBitmaps) expected.insert(e.id);
    EXPECT_EQ(listed, expected);
}

// The fader handle is drawn leaving the toolkit's transparent colour (white) out: white is only at its corners.
TEST(BitmapFormat, FaderHandleIsWhiteOnlyAtItsCorners) {
    const BmpImage handle = loadBitmap(130);
    ASSERT_EQ(handle.error, "");
    for (int y = 0; y < handle.height; ++y) {
        for (int x = 0; x < handle.width; ++x) {
            const bool corner = (x == 0 || x == handle.width - 1) && (y == 0 || y == handle.height - 1);
            EXPECT_EQ(handle.at(x, y) == 0xffffff, corner) << x << "," << y;
        }
    }
}
