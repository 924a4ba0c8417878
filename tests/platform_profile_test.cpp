// The profile file: defaults for absent keys, case-insensitive sections and
// keys, Windows' integer reading, byte-for-byte preservation of everything a
// write does not concern, atomic replacement, and files that are never
// overwritten because they could not be read or understood.
#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "orbel_test_api.h"
#include "test_files.h"

namespace {

class PlatformProfile : public ::testing::Test {
 protected:
  void SetUp() override {
    standin::Reset();
    char tmpl[] = "/tmp/orbel-profile-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
    path_ = dir_ + "/win.ini";
    standin::SetProfilePath(path_);
  }
  void TearDown() override {
    standin::Reset();
    std::string cmd = "rm -rf '" + dir_ + "'";
    EXPECT_EQ(std::system(cmd.c_str()), 0);
  }
  std::string dir_, path_;
};

TEST_F(PlatformProfile, MissingFileGivesDefaults) {
  EXPECT_EQ(GetProfileIntA("ORBEL32", "LG", 9), 9u);
  EXPECT_EQ(static_cast<int>(GetProfileIntA("ORBEL32", "BG", -48)), -48);
  char buf[16];
  EXPECT_EQ(GetProfileStringA("ORBEL32", "LG", "dflt  ", buf, sizeof buf), 4u);
  EXPECT_STREQ(buf, "dflt");  // trailing blanks of a default are dropped
}

TEST_F(PlatformProfile, FirstWriteCreatesFolderAndFile) {
  const std::string nested = dir_ + "/a/b/win.ini";
  standin::SetProfilePath(nested);
  EXPECT_TRUE(WriteProfileStringA("ORBEL32", "LG", "12"));
  EXPECT_TRUE(WriteProfileStringA("ORBEL32", "LM", "5"));
  EXPECT_EQ(ReadFile(nested), "[ORBEL32]\nLG=12\nLM=5\n");
  struct stat st;
  ASSERT_EQ(stat((dir_ + "/a/b").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  EXPECT_EQ(GetProfileIntA("orbel32", "lg", 0), 12u);
}

TEST_F(PlatformProfile, WritesTouchOnlyTheirOwnLine) {
  WriteFile(path_,
            "; written by hand\r\n"
            "[Fonts]\r\n"
            "Arial=arial.ttf\r\n"
            "\r\n"
            "[orbel32]\r\n"
            "lg = 9\r\n"
            "BM=44\r\n"
            "\r\n"
            "[Other]\r\n"
            "x=1");
  EXPECT_EQ(GetProfileIntA("ORBEL32", "LG", 0), 9u);
  char buf[8];
  GetProfileStringA("Orbel32", "bm", "", buf, sizeof buf);
  EXPECT_STREQ(buf, "44");
  EXPECT_TRUE(WriteProfileStringA("ORBEL32", "LG", "123"));
  EXPECT_TRUE(WriteProfileStringA("ORBEL32", "SystemZeit", "1"));
  EXPECT_TRUE(WriteProfileStringA("Other", "y", "2"));
  EXPECT_TRUE(WriteProfileStringA("New", "k", "v"));
  EXPECT_EQ(ReadFile(path_),
            "; written by hand\r\n"
            "[Fonts]\r\n"
            "Arial=arial.ttf\r\n"
            "\r\n"
            "[orbel32]\r\n"
            "lg =123\r\n"
            "BM=44\r\n"
            "SystemZeit=1\r\n"
            "\r\n"
            "[Other]\r\n"
            "x=1\r\n"
            "y=2\r\n"
            "\r\n"
            "[New]\r\n"
            "k=v\r\n");
  // A missing value deletes the key, a missing key the section.
  EXPECT_TRUE(WriteProfileStringA("ORBEL32", "BM", nullptr));
  EXPECT_TRUE(WriteProfileStringA("Fonts", nullptr, nullptr));
  char keys[64];
  DWORD n = GetProfileStringA("ORBEL32", nullptr, "", keys, sizeof keys);
  EXPECT_EQ(std::string(keys, n), std::string("lg\0SystemZeit\0", 14));
  EXPECT_EQ(ReadFile(path_).find("Arial"), std::string::npos);
}

TEST_F(PlatformProfile, IntegersReadAsWindowsReadsThem) {
  struct Case {
    const char* stored;
    UINT value;
  };
  const Case cases[] = {
      {"48", 48},          {"-1", 0xFFFFFFFFu},          {"+1", 1},   {"  7  ", 7},
      {"\"12\"", 12},  // surrounding quotes are stripped
      {"42A94967297", 42}, {"B4294967297", 0},           {"0x10", 0}, {"-", 0},
      {"4294967296", 0},                                            // taken modulo 2^32
      {"4294967297", 1},   {"-4294967297", 0xFFFFFFFFu}, {"", 77},  // an empty value gives the
                                                                    // default
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.stored);
    ASSERT_TRUE(WriteProfileStringA("ORBEL32", "Key", c.stored));
    EXPECT_EQ(GetProfileIntA("ORBEL32", "Key", 77), c.value);
  }
}

TEST_F(PlatformProfile, FilesThatCannotBeReadAreNeverOverwritten) {
  struct Case {
    const char* name;
    std::string content;
  };
  const Case cases[] = {
      {"NUL bytes", std::string("[ORBEL32]\nLG=3\n\0\0\xFF", 19)},
      {"section header without ]", "[ORBEL32\nLG=3\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WriteFile(path_, c.content);
    EXPECT_EQ(GetProfileIntA("ORBEL32", "LG", 9), 9u);
    EXPECT_FALSE(WriteProfileStringA("ORBEL32", "LG", "12"));
    EXPECT_EQ(ReadFile(path_), c.content);
  }
  // A folder where the file should be cannot be read either.
  ASSERT_EQ(unlink(path_.c_str()), 0);
  ASSERT_EQ(mkdir(path_.c_str(), 0700), 0);
  EXPECT_EQ(GetProfileIntA("ORBEL32", "LG", 9), 9u);
  EXPECT_FALSE(WriteProfileStringA("ORBEL32", "LG", "12"));
  struct stat st;
  ASSERT_EQ(stat(path_.c_str(), &st), 0);
  EXPECT_TRUE(S_ISDIR(st.st_mode));
  // Line breaks in a value would break the file's structure: refused.
  standin::SetProfilePath(dir_ + "/other.ini");
  EXPECT_FALSE(WriteProfileStringA("ORBEL32", "LG", "1\n[x]"));
}

TEST_F(PlatformProfile, ReplacementIsAtomicAndKeepsModeAndLinks) {
  WriteFile(dir_ + "/real.ini", "[A]\nk=1\n");
  chmod((dir_ + "/real.ini").c_str(), 0640);
  ASSERT_EQ(symlink("real.ini", path_.c_str()), 0);
  for (int i = 0; i < 5; ++i) {
    ASSERT_TRUE(WriteProfileStringA("A", "k", std::to_string(i).c_str()));
  }
  EXPECT_EQ(ReadFile(dir_ + "/real.ini"), "[A]\nk=4\n");
  struct stat st;
  ASSERT_EQ(lstat(path_.c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  ASSERT_EQ(stat((dir_ + "/real.ini").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  std::vector<std::string> entries = FolderEntries(dir_);
  std::sort(entries.begin(), entries.end());
  EXPECT_EQ(entries, (std::vector<std::string>{"real.ini", "win.ini"}));  // no temporary left
}

TEST_F(PlatformProfile, DefaultLocation) {
  struct Saved {
    std::string name;
    bool set;
    std::string value;
  };
  std::vector<Saved> saved;
  for (const char* name : {"XDG_CONFIG_HOME", "HOME"}) {
    const char* v = std::getenv(name);
    saved.push_back({name, v != nullptr, v ? v : ""});
  }
  standin::SetProfilePath("");
  setenv("XDG_CONFIG_HOME", "/cfg", 1);
  EXPECT_EQ(standin::ProfilePath(), "/cfg/orbel/win.ini");
  setenv("XDG_CONFIG_HOME", "relative", 1);  // not absolute: ignored
  setenv("HOME", "/home/u", 1);
  EXPECT_EQ(standin::ProfilePath(), "/home/u/.config/orbel/win.ini");
  unsetenv("XDG_CONFIG_HOME");
  EXPECT_EQ(standin::ProfilePath(), "/home/u/.config/orbel/win.ini");
  for (const Saved& s : saved) {
    if (s.set) {
      setenv(s.name.c_str(), s.value.c_str(), 1);
    } else {
      unsetenv(s.name.c_str());
    }
  }
}

}  // namespace
