// ExportTableTest: the DLL file exports `main` alone and is built for this flavour's machine.
#include "tests/wine/plugin/PluginFixture.h"
#include "tools/peheader/PeImage.h"

namespace {

TEST(ExportTableTest, OnlyMainIsExported) {
    PeImage image;
    ASSERT_TRUE(image.load(std::string(VOZUV_BINARY_DIR) + "/VozuvAzirOVA.dll")) << image.error();
    EXPECT_TRUE(image.isDll);
    EXPECT_EQ(image.exports, std::vector<std::string>{"main"});
    EXPECT_EQ(image.exportedFunctions, 1u);
    EXPECT_EQ(image.machine, sizeof(void*) == 4 ? PeImage::kMachineI386 : PeImage::kMachineAmd64);
}

}  // namespace
