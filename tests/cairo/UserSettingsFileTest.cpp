// UserSettingsFileTest: the native per-user settings file: made with its missing folders, other settings
// kept when one is written, anything that is not a whole number read as no setting, files as users
// leave them after editing by hand, and the environment's override before all of it.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "gui/core/Platform.h"
#include "gui/core/UserSettingNames.h"

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
        unsetenv((std::string(usersettings::kOverridePrefix) + "EditorScale").c_str());
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

// Edited by hand: no newline after the last line, Windows line ends, an empty file, a name twice (the
// last line counts). Writing another setting keeps every other line, the unterminated one included.
TEST_F(UserSettingsFile, FilesAsUsersLeaveThemReadAndKeepTheirSettings) {
    struct Case {
        const char* text;
        bool found;
        int32_t value;
        const char* afterWritingOther;  // the file once "Other=5" is written
    };
    const Case cases[] = {
        {"A=1\nEditorScale=150", true, 150, "A=1\nEditorScale=150\nOther=5\n"},
        {"EditorScale=150\nA=1", true, 150, "EditorScale=150\nA=1\nOther=5\n"},
        {"A=1\r\nEditorScale=200\r\n", true, 200, "A=1\r\nEditorScale=200\r\nOther=5\n"},
        {"EditorScale=200\r", true, 200, "EditorScale=200\r\nOther=5\n"},
        {"", false, 0, "Other=5\n"},
        {"EditorScale=150\nEditorScale=200\n", true, 200, "EditorScale=150\nEditorScale=200\nOther=5\n"},
        {"EditorScale=150\nEditorScale=bad\n", true, 150, "EditorScale=150\nEditorScale=bad\nOther=5\n"},
        {"Other=1\nA=2\nOther=3", false, 0, "A=2\nOther=5\n"}};
    ASSERT_TRUE(platform::writeUserSetting("EditorScale", 1));  // makes the folder
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        std::ofstream(file(), std::ios::binary) << c.text;
        int32_t value = 0;
        EXPECT_EQ(platform::readUserSetting("EditorScale", value), c.found);
        if (c.found) {
            EXPECT_EQ(value, c.value);
        }
        ASSERT_TRUE(platform::writeUserSetting("Other", 5));
        EXPECT_EQ(contents(), c.afterWritingOther);
        EXPECT_TRUE(platform::readUserSetting("Other", value));
        EXPECT_EQ(value, 5);
    }
    // A line longer than the reader's buffer is dropped whole, not kept as a stray tail.
    std::ofstream(file()) << "A=1\nLong=" << std::string(400, '7') << "\nB=2\n";
    ASSERT_TRUE(platform::writeUserSetting("Other", 5));
    EXPECT_EQ(contents(), "A=1\nB=2\nOther=5\n");
}

// The environment's override decides before the file, and while it is set nothing is written.
TEST_F(UserSettingsFile, TheOverrideIsReadFirstAndKeepsTheFileAsItWas) {
    const std::string variable = std::string(usersettings::kOverridePrefix) + "EditorScale";
    ASSERT_TRUE(platform::writeUserSetting("EditorScale", 150));
    setenv(variable.c_str(), "200", 1);
    int32_t value = 0;
    EXPECT_TRUE(platform::readUserSetting("EditorScale", value));
    EXPECT_EQ(value, 200);
    EXPECT_FALSE(platform::writeUserSetting("EditorScale", 100));
    EXPECT_TRUE(platform::writeUserSetting("Other", 3));  // another name is not overridden
    setenv(variable.c_str(), "big", 1);
    EXPECT_FALSE(platform::readUserSetting("EditorScale", value));  // present but no number: no setting
    unsetenv(variable.c_str());
    EXPECT_EQ(contents(), "EditorScale=150\nOther=3\n");
    EXPECT_TRUE(platform::readUserSetting("EditorScale", value));
    EXPECT_EQ(value, 150);
}

}  // namespace
