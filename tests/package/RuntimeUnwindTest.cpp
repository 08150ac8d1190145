// RuntimeUnwindTest: exceptions thrown and caught inside a library linked with the shipped recipe (static,
// hidden C++ runtime; glibc stand-ins) unwind, on the host's thread and on another one.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <thread>

namespace {

TEST(RuntimeUnwindTest, CatchesInsideTheLibrary) {
    void* library = dlopen(VOZUV_THROWING_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << dlerror();
    auto entry = reinterpret_cast<int (*)(int)>(dlsym(library, "VSTPluginMain"));
    ASSERT_NE(entry, nullptr);
    const int messageLength = int(sizeof "depth reached") - 1;
    EXPECT_EQ(entry(0), messageLength);
    EXPECT_EQ(entry(20), messageLength);
    int fromThread = 0;
    std::thread([&] { fromThread = entry(5); }).join();
    EXPECT_EQ(fromThread, messageLength);
    dlclose(library);
}

}  // namespace
