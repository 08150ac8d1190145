// UserSettingsFileTest: the native per-user settings file: made with its missing folders, other settings
// kept when one is written, and anything that is not a whole number read as no setting.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "gui/core/Platform.h"

namespace {

// XDG_CONFIG_HOME and HOME point into a fresh folder whose subfolders do not exist yet.
class UserSettingsFile : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = testing::TempDir() + "vozuv-settings-XXXXXX";
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        root = pattern;
        for (const char* name : {"XDG_CONFIG_HOME", "HOME"})
            if (const char* old = std::getenv(name)) saved[name[0] == 'H'] = old;
        setenv("XDG_CONFIG_HOME", (root + "/a/b").c_str(), 1);
        setenv("HOME", (root + "/home").c_str(), 1);
    }
    void TearDown() override {
        const char* names[] = {"XDG_CONFIG_HOME", "HOME"};
        for (int i = 0; i < 2; ++i) {
            if (saved[i].empty())
                unsetenv(names[i]);
            else
                setenv(names[i], saved[i].c_str(), 1);
        }
        std::system(("rm -rf '" + root + "'").c_str());
    }
    std::string file() const { return root + "/a/b/VozuvAzirOVA/settings"; }
    std::string contents() const {
        std::ostringstream text;
        text << std::ifstream(file()).rdbuf();
        return text.str();
    }
    std::string root;
    std::string saved[2];
};

TEST_F(UserSettingsFile, WritingMakesTheFoldersAndKeepsTheOtherSettings) {
    int32_t value = 0;
    EXPECT_FALSE(platform::readUserSetting("EditorScale", value));
    ASSERT_TRUE(platform::writeUserSetting("EditorScale", 150));
    ASSERT_TRUE(platform::writeUserSetting("Other", -7));
    ASSERT_TRUE(platform::writeUserSetting("EditorScale", 200));
    EXPECT_EQ(contents(), "Other=-7\nEditorScale=200\n");
    EXPECT_TRUE(platform::readUserSetting("EditorScale", value));
    EXPECT_EQ(value, 200);
    EXPECT_TRUE(platform::readUserSetting("Other", value));
    EXPECT_EQ(value, -7);
    EXPECT_FALSE(platform::readUserSetting("Oth", value));  // a prefix of a name is not the name

    // A relative XDG_CONFIG_HOME is ignored: the settings go under HOME.
    setenv("XDG_CONFIG_HOME", "relative", 1);
    ASSERT_TRUE(platform::writeUserSetting("EditorScale", 100));
    EXPECT_TRUE(std::ifstream(root + "/home/.config/VozuvAzirOVA/settings").good());
}

TEST_F(UserSettingsFile, AnythingButAWholeNumberIsNoSetting) {
    const std::pair<const char*, bool> cases[] = {
        {"EditorScale=150\n", true},  {"EditorScale=150", true},        {"EditorScale=abc\n", false},
        {"EditorScale=\n", false},    {"EditorScale=150junk\n", false}, {"EditorScale=99999999999\n", false},
        {"EditorScale 150\n", false}, {"EditorScaleX=150\n", false},    {"X=1\nEditorScale=150\n", true}};
    ASSERT_TRUE(platform::writeUserSetting("EditorScale", 1));  // makes the folder
    for (const auto& c : cases) {
        std::ofstream(file()) << c.first;
        int32_t value = 0;
        EXPECT_EQ(platform::readUserSetting("EditorScale", value), c.second) << c.first;
        if (c.second) EXPECT_EQ(value, 150) << c.first;
    }
}

}  // namespace
