// The profile under faults and load: folders and files that cannot be
// written (the dialog's save fails without a word and the old profile stays),
// a write that fails part-way, profiles as other editors leave them (empty,
// binary, CRLF, byte-order mark, duplicates, over 4 MiB), and two processes
// saving the ten settings at once.
#include <gtest/gtest.h>

#include <dirent.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "main_dialog.h"
#include "orbel_test_api.h"
#include "test_files.h"
#include "resource.h"
#include "settings.h"

namespace {

// A folder of its own per test; on tmpfs when there is one, because the
// concurrent test flushes twenty thousand files to disk.
std::string MakeFolder(bool on_tmpfs) {
  struct stat st;
  const bool shm = on_tmpfs && stat("/dev/shm", &st) == 0 && S_ISDIR(st.st_mode);
  std::string tmpl = std::string(shm ? "/dev/shm" : "/tmp") + "/orbel-safety-XXXXXX";
  std::vector<char> name(tmpl.begin(), tmpl.end());
  name.push_back('\0');
  EXPECT_NE(mkdtemp(name.data()), nullptr);
  return name.data();
}

class ProfileSafety : public ::testing::Test {
 protected:
  virtual bool OnTmpfs() const { return false; }
  void SetUp() override {
    standin::Reset();
    dir_ = MakeFolder(OnTmpfs());
    path_ = dir_ + "/win.ini";
    standin::SetProfilePath(path_);
  }
  void TearDown() override {
    standin::Reset();
    std::string cmd = "chmod -R u+rwx '" + dir_ + "' 2>/dev/null; rm -rf '" + dir_ + "'";
    EXPECT_EQ(std::system(cmd.c_str()), 0);
  }

  std::string dir_, path_;
};

class ProfileSafetyUnderLoad : public ProfileSafety {
 protected:
  bool OnTmpfs() const override { return true; }
};

// ------------------------------------------------------------ saving from the dialog

// The user changes the longitude and closes the dialog, which saves. True
// when the dialog closed normally without showing any message.
bool ChangeLongitudeAndClose() {
  LoadSettings();
  HWND dialog = CreateDialogParamA(nullptr, "RunDialog", nullptr, DialogProc, 0);
  if (dialog == nullptr) return false;
  standin::Perform(dialog, standin::Input::Type(IDC_LONG_DEG, "123"));
  standin::Perform(dialog, standin::Input::Escape());
  const bool closed = IsWindow(dialog) && !IsWindowVisible(dialog);
  DestroyWindow(dialog);
  return closed && standin::MessageBoxes().empty();
}

// Runs ChangeLongitudeAndClose in a child process as an unprivileged user
// (root passes every permission check). 0: closed silently; 1: it did not;
// 77: the user could not be switched.
int SaveAsUnprivilegedUser() {
  const pid_t pid = fork();
  if (pid == 0) {
    if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(77);
    _exit(ChangeLongitudeAndClose() ? 0 : 1);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 2;
}

const char kOldProfile[] = "[ORBEL32]\nLG=9\nLM=18\nLS=27\n[Fonts]\nArial=arial.ttf\n";

TEST_F(ProfileSafety, SaveThatCannotWriteFailsSilentlyAndKeepsTheOldProfile) {
  struct Case {
    const char* name;
    mode_t folder_mode;
    mode_t file_mode;
  };
  // The process runs as an unprivileged user that owns neither folder nor file.
  const Case cases[] = {
      {"folder without write permission", 0555, 0666},
      {"profile without write permission", 0777, 0444},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WriteFile(path_, kOldProfile);
    ASSERT_EQ(chmod(path_.c_str(), c.file_mode), 0);
    ASSERT_EQ(chmod(dir_.c_str(), c.folder_mode), 0);
    const int result = SaveAsUnprivilegedUser();
    ASSERT_EQ(chmod(dir_.c_str(), 0700), 0);
    if (result == 77) GTEST_SKIP() << "cannot switch to an unprivileged user";
    EXPECT_EQ(result, 0) << "the dialog did not close silently";
    EXPECT_EQ(ReadFile(path_), kOldProfile);
    EXPECT_EQ(FolderEntries(dir_), std::vector<std::string>{"win.ini"});
  }
}

TEST_F(ProfileSafety, SaveUnderAFileInsteadOfAFolderFailsSilently) {
  // $XDG_CONFIG_HOME/orbel is a regular file, so orbel/win.ini cannot exist.
  const std::string blocker = dir_ + "/orbel";
  WriteFile(blocker, "not a folder\n");
  standin::SetProfilePath(blocker + "/win.ini");
  EXPECT_TRUE(ChangeLongitudeAndClose());
  EXPECT_EQ(ReadFile(blocker), "not a folder\n");
  EXPECT_EQ(FolderEntries(dir_), std::vector<std::string>{"orbel"});
}

// ------------------------------------------------------------ failed writes

TEST_F(ProfileSafety, WriteFailingPartWayLeavesTheOldFileWhole) {
  struct Write {
    const char* name;
    const char* section;
    const char* key;
    const char* value;
  };
  const Write writes[] = {
      {"replace a key", "ORBEL32", "LG", "123"},
      {"add a key", "ORBEL32", "BG", "48"},
      {"add a section", "New", "k", "v"},
      {"delete a key", "ORBEL32", "LM", nullptr},
      {"delete a section", "Fonts", nullptr, nullptr},
  };
  const long long size = static_cast<long long>(sizeof kOldProfile - 1);
  for (const Write& w : writes) {
    for (long long fail_after : {0LL, 1LL, size / 2, size - 1, size + 100}) {
      SCOPED_TRACE(std::string(w.name) + ", failing after " + std::to_string(fail_after));
      WriteFile(path_, kOldProfile);
      standin::FailProfileWriteAfter(fail_after);
      EXPECT_FALSE(WriteProfileStringA(w.section, w.key, w.value));
      EXPECT_EQ(ReadFile(path_), kOldProfile);
      EXPECT_EQ(FolderEntries(dir_), std::vector<std::string>{"win.ini"});  // no temporary left
      // The failure was for one write only.
      EXPECT_TRUE(WriteProfileStringA(w.section, w.key, w.value));
      EXPECT_NE(ReadFile(path_), kOldProfile);
    }
  }
}

TEST_F(ProfileSafety, SaveWithAFailingWriteKeepsTheOldValueOfThatKey) {
  WriteFile(path_, kOldProfile);
  standin::FailProfileWriteAfter(10);  // the first of the ten writes: LG
  EXPECT_TRUE(ChangeLongitudeAndClose());
  EXPECT_EQ(GetProfileIntA("ORBEL32", "LG", 0), 9u);
  EXPECT_EQ(GetProfileIntA("ORBEL32", "North", 7), 1u);  // the later writes went through
  char font[32];
  GetProfileStringA("Fonts", "Arial", "", font, sizeof font);
  EXPECT_STREQ(font, "arial.ttf");
}

// ------------------------------------------------------------ profiles from other editors

TEST_F(ProfileSafety, ProfilesAsOtherEditorsLeaveThem) {
  struct Case {
    const char* name;
    std::string content;
    UINT lg;              // GetProfileIntA("ORBEL32", "LG", 77)
    UINT lm;              // GetProfileIntA("ORBEL32", "LM", 77)
    std::string written;  // the file after LG=12 and SystemZeit=1; empty: both refused
  };
  const std::string nul_garbage("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16);
  const Case cases[] = {
      {"empty", "", 77, 77, "[ORBEL32]\nLG=12\nSystemZeit=1\n"},
      {"CRLF line ends", "[ORBEL32]\r\nLG=5\r\nLM=6\r\n", 5, 6,
       "[ORBEL32]\r\nLG=12\r\nLM=6\r\nSystemZeit=1\r\n"},
      {"UTF-8 byte-order mark", "\xEF\xBB\xBF[ORBEL32]\r\nLG=5\r\n", 5, 77,
       "\xEF\xBB\xBF[ORBEL32]\r\nLG=12\r\nSystemZeit=1\r\n"},
      {"byte-order mark before a key", "\xEF\xBB\xBFLG=5\n[ORBEL32]\nLM=6\n", 77, 6,
       "\xEF\xBB\xBFLG=5\n[ORBEL32]\nLM=6\nLG=12\nSystemZeit=1\n"},
      // The first section of a name and the first key of a name win.
      {"duplicate sections", "[ORBEL32]\nLG=1\n[orbel32]\nLG=2\nLM=3\n", 1, 77,
       "[ORBEL32]\nLG=12\nSystemZeit=1\n[orbel32]\nLG=2\nLM=3\n"},
      {"duplicate keys", "[ORBEL32]\nLG=1\nlg=2\nLM=3\nLM=4\n", 1, 3,
       "[ORBEL32]\nLG=12\nlg=2\nLM=3\nLM=4\nSystemZeit=1\n"},
      // Binary garbage without NUL bytes reads as lines without keys and is
      // kept byte for byte; with NUL bytes it is no INI file and never written.
      {"binary garbage", "\x89PNG\r\n\x1a\xff\xfe=\x80\n", 77, 77,
       "\x89PNG\r\n\x1a\xff\xfe=\x80\n\r\n[ORBEL32]\r\nLG=12\r\nSystemZeit=1\r\n"},
      {"binary garbage with NUL bytes", nul_garbage, 77, 77, ""},
      {"UTF-16 from Notepad", std::string("\xFF\xFE[\0O\0]\0\r\0\n\0", 12), 77, 77, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WriteFile(path_, c.content);
    EXPECT_EQ(GetProfileIntA("ORBEL32", "LG", 77), c.lg);
    EXPECT_EQ(GetProfileIntA("ORBEL32", "LM", 77), c.lm);
    const bool writable = !c.written.empty();
    EXPECT_EQ(WriteProfileStringA("ORBEL32", "LG", "12") != FALSE, writable);
    EXPECT_EQ(WriteProfileStringA("ORBEL32", "SystemZeit", "1") != FALSE, writable);
    EXPECT_EQ(ReadFile(path_), writable ? c.written : c.content);
    if (writable) {
      EXPECT_EQ(GetProfileIntA("ORBEL32", "LG", 77), 12u);
    }
  }
}

TEST_F(ProfileSafety, ProfilesOverFourMebibytesReadAsAbsentAndAreNeverWritten) {
  const size_t limit = 4u * 1024u * 1024u;
  // A profile of exactly 4 MiB: the limit itself is read and written, as
  // long as a write does not take the file past it.
  std::string at_limit = "[ORBEL32]\nLG=5\n[Padding]\n";
  const std::string pad = "k=" + std::string(61, 'x') + "\n";  // 64 bytes
  while (at_limit.size() + pad.size() <= limit) at_limit += pad;
  at_limit += std::string(limit - at_limit.size() - 1, ';') + "\n";
  ASSERT_EQ(at_limit.size(), limit);
  WriteFile(path_, at_limit);
  EXPECT_EQ(GetProfileIntA("ORBEL32", "LG", 77), 5u);
  EXPECT_TRUE(WriteProfileStringA("ORBEL32", "LG", "6"));  // same length
  EXPECT_EQ(GetProfileIntA("ORBEL32", "LG", 77), 6u);
  EXPECT_FALSE(WriteProfileStringA("ORBEL32", "LG", "66"));  // one byte too many
  EXPECT_EQ(ReadFile(path_).size(), limit);
  EXPECT_EQ(GetProfileIntA("ORBEL32", "LG", 77), 6u);

  // One byte more: absent, and never overwritten.
  const std::string over = at_limit + "\n";
  WriteFile(path_, over);
  EXPECT_EQ(GetProfileIntA("ORBEL32", "LG", 77), 77u);
  EXPECT_FALSE(WriteProfileStringA("ORBEL32", "LG", "7"));
  EXPECT_TRUE(ReadFile(path_) == over);
}

// ------------------------------------------------------------ two processes at once

const char* const kKeys[] = {"LG", "LM",         "LS",         "BG",   "BM",
                             "BS", "SommerZeit", "SystemZeit", "East", "North"};

// A writer's values: writer 1 or 2, round 0-999. The six place texts carry
// both; the four check states are all set by writer 1 and all clear by 2.
std::string PlaceValue(int writer, int round) {
  return std::to_string(writer * 10000 + round);
}

void SaveRound(int writer, int round) {
  const std::string v = PlaceValue(writer, round);
  const bool on = writer == 1;
  SaveSettings(v.c_str(), v.c_str(), v.c_str(), v.c_str(), v.c_str(), v.c_str(), on, on, on, on);
}

// The ten keys of a snapshot of the file, or an error when the file is not
// complete: every line blank, a section header or key=value; the other
// program's section with its fixed key and its counter `counter`; each of the
// ten keys exactly once with a value of one of the writers.
std::string ParseSnapshot(const std::string& data, const std::string& counter,
                          std::map<std::string, std::string>* keys) {
  std::istringstream in(data);
  std::string line, section;
  int other_intact = 0;
  keys->clear();
  while (std::getline(in, line)) {
    if (line.empty()) continue;
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
      section = line.substr(1, line.size() - 2);
      continue;
    }
    const size_t eq = line.find('=');
    if (eq == std::string::npos) return "a line that is neither header nor key: " + line;
    const std::string key = line.substr(0, eq), value = line.substr(eq + 1);
    if (section == "Other") {
      if (key == "counter" && value != counter) return "the other program's counter is " + value;
      other_intact += (key == "keep" && value == "me") || key == "counter";
      continue;
    }
    if (section != "ORBEL32" || keys->count(key)) return "a stray or repeated key: " + line;
    (*keys)[key] = value;
  }
  if (other_intact != 2) return "the other program's section was changed";
  if (keys->size() != 10) return "not ten keys";
  for (int i = 0; i < 10; ++i) {
    const std::string& v = (*keys)[kKeys[i]];
    const bool ok = i < 6 ? v.size() == 5 && (v[0] == '1' || v[0] == '2') : v == "0" || v == "1";
    if (!ok) return std::string("a value of no writer: ") + kKeys[i] + "=" + v;
  }
  return "";
}

// Kills the writers still running when a check fails half-way.
struct Writers {
  pid_t pid[2] = {-1, -1};
  bool running[2] = {false, false};
  bool AnyRunning() {
    for (int w = 0; w < 2; ++w) {
      if (running[w] && waitpid(pid[w], nullptr, WNOHANG) == pid[w]) running[w] = false;
    }
    return running[0] || running[1];
  }
  ~Writers() {
    for (int w = 0; w < 2; ++w) {
      if (running[w]) {
        kill(pid[w], SIGKILL);
        waitpid(pid[w], nullptr, 0);
      }
    }
  }
};

TEST_F(ProfileSafetyUnderLoad, TwoProcessesSavingAThousandTimesEach) {
  // Start from a complete profile, as after a first run, and the section of
  // another program: a key nobody writes and a counter that this process
  // advances meanwhile, as a third writer.
  SaveRound(1, 0);
  ASSERT_TRUE(WritePrivateProfileStringA("Other", "keep", "me", nullptr));
  int counter = 0;
  ASSERT_TRUE(WritePrivateProfileStringA("Other", "counter", "0", nullptr));

  Writers writers;
  for (int w = 0; w < 2; ++w) {
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      for (int round = 0; round < 1000; ++round) SaveRound(w + 1, round);
      _exit(0);
    }
    writers.pid[w] = pid;
    writers.running[w] = true;
  }

  // Meanwhile, every snapshot of the file is complete and no update is lost
  // to a writer that read the file before it: the counter is what was last
  // written, and no key goes back to an older round of the same writer.
  std::map<std::string, int> newest[3];  // by writer: key -> round last seen
  int snapshots = 0;
  bool more = true;
  while (more) {
    more = writers.AnyRunning();  // one more snapshot after both have ended
    ASSERT_TRUE(
        WritePrivateProfileStringA("Other", "counter", std::to_string(++counter).c_str(), nullptr));
    std::map<std::string, std::string> keys;
    const std::string error = ParseSnapshot(ReadFile(path_), std::to_string(counter), &keys);
    ASSERT_EQ(error, "") << "snapshot " << snapshots;
    for (int i = 0; i < 6; ++i) {
      const std::string& v = keys[kKeys[i]];
      const int writer = v[0] - '0', round = std::stoi(v.substr(1));
      auto seen = newest[writer].find(kKeys[i]);
      ASSERT_TRUE(seen == newest[writer].end() || seen->second <= round)
          << kKeys[i] << " went back from round " << seen->second << " to " << round;
      newest[writer][kKeys[i]] = round;
    }
    ++snapshots;
  }

  // Each key holds the last value one of the writers gave it. Ten separate
  // writes per save may interleave, so the keys need not all come from the
  // same writer: each write is atomic, a save of ten is not (nor on Windows).
  std::map<std::string, std::string> keys;
  ASSERT_EQ(ParseSnapshot(ReadFile(path_), std::to_string(counter), &keys), "");
  for (int i = 0; i < 6; ++i) {
    const std::string& v = keys[kKeys[i]];
    EXPECT_TRUE(v == PlaceValue(1, 999) || v == PlaceValue(2, 999)) << kKeys[i] << "=" << v;
  }
  EXPECT_EQ(FolderEntries(dir_), std::vector<std::string>{"win.ini"});  // nothing left behind
  RecordProperty("snapshots", snapshots);
}

}  // namespace
