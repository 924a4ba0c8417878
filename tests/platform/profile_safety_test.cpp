// The profile file (win.ini): defaults for absent keys, case-insensitive
// sections and keys, Windows' integer reading, writes that keep every byte
// they do not concern, atomic replacement through symbolic links, the default
// location; and the profile under faults and load: folders and files that
// cannot be written (the dialog's save fails without a word and the old
// profile stays), a write that fails part-way, profiles as other editors
// leave them (empty, binary, CRLF, byte-order mark, duplicates, over 4 MiB),
// and two processes saving the ten settings at once.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "main_dialog.h"
#include "orbel_test_api.h"
#include "test_files.h"
#include "resource.h"
#include "dialog_settings.h"

namespace {

// A folder of its own per test; on tmpfs when there is one, because the
// concurrent test flushes twenty thousand files to disk.
std::string MakeFolder(bool on_tmpfs) {
  struct stat st;
  const bool shm = on_tmpfs && stat("/dev/shm", &st) == 0 && S_ISDIR(st.st_mode);
  std::string name = std::string(shm ? "/dev/shm" : "/tmp") + "/orbel-profile-XXXXXX";
  EXPECT_NE(mkdtemp(&name[0]), nullptr);
  return name;
}

class PlatformProfile : public ::testing::Test {
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

class PlatformProfileUnderLoad : public PlatformProfile {
 protected:
  bool OnTmpfs() const override { return true; }
};

// ------------------------------------------------------------ reading and writing

TEST_F(PlatformProfile, FirstWriteCreatesFolderAndFile) {
  const std::string nested = dir_ + "/a/b/win.ini";
  standin::SetProfilePath(nested);
  EXPECT_EQ(static_cast<int>(GetProfileIntA("ORBEL32", "BG", -48)), -48);
  char buf[16];
  EXPECT_EQ(GetProfileStringA("ORBEL32", "LG", "dflt  ", buf, sizeof buf), 4u);
  EXPECT_STREQ(buf, "dflt");  // trailing blanks of a default are dropped
  EXPECT_TRUE(WriteProfileStringA("ORBEL32", "LG", "12"));
  EXPECT_TRUE(WriteProfileStringA("ORBEL32", "LM", "5"));
  EXPECT_FALSE(WriteProfileStringA("ORBEL32", "LM", "1\n[x]"));  // would break the file
  EXPECT_EQ(ReadFile(nested), "[ORBEL32]\nLG=12\nLM=5\n");
  struct stat st;
  ASSERT_EQ(stat((dir_ + "/a/b").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  EXPECT_EQ(GetProfileIntA("orbel32", "lg", 0), 12u);
}

TEST_F(PlatformProfile, WritesTouchOnlyTheirOwnLine) {
  WriteFile(path_,
            "; by hand\n[Fonts]\nArial=arial.ttf\n\n[orbel32]\nlg = 9\nBM=44\n\n[Other]\nx=1");
  EXPECT_EQ(GetProfileIntA("ORBEL32", "LG", 0), 9u);
  char buf[8];
  GetProfileStringA("Orbel32", "bm", "", buf, sizeof buf);
  EXPECT_STREQ(buf, "44");
  EXPECT_TRUE(WriteProfileStringA("ORBEL32", "LG", "123"));
  EXPECT_TRUE(WriteProfileStringA("ORBEL32", "SystemZeit", "1"));
  EXPECT_TRUE(WriteProfileStringA("Other", "y", "2"));
  EXPECT_TRUE(WriteProfileStringA("New", "k", "v"));
  EXPECT_EQ(ReadFile(path_),
            "; by hand\n[Fonts]\nArial=arial.ttf\n\n[orbel32]\nlg =123\nBM=44\nSystemZeit=1\n\n"
            "[Other]\nx=1\ny=2\n\n[New]\nk=v\n");
  // A missing value deletes the key, a missing key the section.
  EXPECT_TRUE(WriteProfileStringA("ORBEL32", "BM", nullptr));
  EXPECT_TRUE(WriteProfileStringA("Fonts", nullptr, nullptr));
  EXPECT_EQ(ReadFile(path_),
            "; by hand\n[orbel32]\nlg =123\nSystemZeit=1\n\n[Other]\nx=1\ny=2\n\n[New]\nk=v\n");
}

TEST_F(PlatformProfile, IntegersReadAsWindowsReadsThem) {
  // Surrounding quotes are stripped, digits taken modulo 2^32, an empty value
  // gives the default.
  const std::pair<const char*, UINT> cases[] = {
      {"48", 48},     {"-1", 0xFFFFFFFFu}, {"+1", 1},          {"  7  ", 7},
      {"\"12\"", 12}, {"42A94967297", 42}, {"B4294967297", 0}, {"0x10", 0},
      {"-", 0},       {"4294967296", 0},   {"4294967297", 1},  {"-4294967297", 0xFFFFFFFFu},
      {"", 77}};
  for (const auto& [stored, value] : cases) {
    SCOPED_TRACE(stored);
    ASSERT_TRUE(WriteProfileStringA("ORBEL32", "Key", stored));
    EXPECT_EQ(GetProfileIntA("ORBEL32", "Key", 77), value);
  }
}

TEST_F(PlatformProfile, ReplacementIsAtomicAndKeepsModeAndLinks) {
  WriteFile(dir_ + "/real.ini", "[A]\nk=1\n");
  chmod((dir_ + "/real.ini").c_str(), 0640);
  ASSERT_EQ(symlink("real.ini", path_.c_str()), 0);
  ASSERT_TRUE(WriteProfileStringA("A", "k", "2"));
  EXPECT_EQ(ReadFile(dir_ + "/real.ini"), "[A]\nk=2\n");
  struct stat st;
  ASSERT_EQ(lstat(path_.c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  ASSERT_EQ(stat((dir_ + "/real.ini").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  EXPECT_EQ(FolderEntries(dir_),
            (std::vector<std::string>{"real.ini", "win.ini"}));  // no temporary
}

TEST_F(PlatformProfile, DefaultLocation) {
  std::vector<std::pair<const char*, std::optional<std::string>>> saved;
  for (const char* name : {"XDG_CONFIG_HOME", "HOME"}) {
    const char* value = std::getenv(name);
    saved.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
  }
  standin::SetProfilePath("");
  setenv("XDG_CONFIG_HOME", "/cfg", 1);
  EXPECT_EQ(standin::ProfilePath(), "/cfg/orbel/win.ini");
  setenv("XDG_CONFIG_HOME", "relative", 1);  // not absolute: ignored
  setenv("HOME", "/home/u", 1);
  EXPECT_EQ(standin::ProfilePath(), "/home/u/.config/orbel/win.ini");
  unsetenv("XDG_CONFIG_HOME");
  EXPECT_EQ(standin::ProfilePath(), "/home/u/.config/orbel/win.ini");
  for (const auto& [name, value] : saved)
    (void)(value ? setenv(name, value->c_str(), 1) : unsetenv(name));
}

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

TEST_F(PlatformProfile, SaveThatCannotWriteFailsSilentlyAndKeepsTheOldProfile) {
  // The process runs as an unprivileged user that owns neither folder nor file.
  const struct {
    const char* name;
    mode_t folder_mode, file_mode;
  } cases[] = {{"folder without write permission", 0555, 0666},
               {"profile without write permission", 0777, 0444}};
  for (const auto& c : cases) {
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

// $XDG_CONFIG_HOME/orbel is a regular file, so orbel/win.ini cannot exist; or
// win.ini is a folder: nothing to read, and the save fails silently.
TEST_F(PlatformProfile, SaveWhereAFileOrFolderIsInTheWayFailsSilently) {
  WriteFile(dir_ + "/orbel", "not a folder\n");
  ASSERT_EQ(mkdir(path_.c_str(), 0700), 0);
  for (const std::string& path : {dir_ + "/orbel/win.ini", path_}) {
    standin::SetProfilePath(path);
    EXPECT_TRUE(ChangeLongitudeAndClose());
    EXPECT_EQ(GetProfileIntA("ORBEL32", "LG", 77), 77u);
  }
  EXPECT_EQ(ReadFile(dir_ + "/orbel"), "not a folder\n");
  EXPECT_EQ(FolderEntries(dir_), (std::vector<std::string>{"orbel", "win.ini"}));
  struct stat st;
  EXPECT_TRUE(stat(path_.c_str(), &st) == 0 && S_ISDIR(st.st_mode));
}

// ------------------------------------------------------------ failed writes

TEST_F(PlatformProfile, WriteFailingPartWayLeavesTheOldFileWhole) {
  const struct {
    const char *name, *section, *key, *value;
  } writes[] = {
      {"replace a key", "ORBEL32", "LG", "123"},
      {"add a key", "ORBEL32", "BG", "48"},
      {"add a section", "New", "k", "v"},
      {"delete a key", "ORBEL32", "LM", nullptr},
      {"delete a section", "Fonts", nullptr, nullptr},
  };
  const long long size = static_cast<long long>(sizeof kOldProfile - 1);
  for (const auto& w : writes) {
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

TEST_F(PlatformProfile, SaveWithAFailingWriteKeepsTheOldValueOfThatKey) {
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

TEST_F(PlatformProfile, ProfilesAsOtherEditorsLeaveThem) {
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
      {"section header without ]", "[ORBEL32\nLG=3\n", 77, 77, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WriteFile(path_, c.content);
    standin::RereadProfile();
    EXPECT_EQ(GetProfileIntA("ORBEL32", "LG", 77), c.lg);
    EXPECT_EQ(GetProfileIntA("ORBEL32", "LM", 77), c.lm);
    const bool writable = !c.written.empty();
    EXPECT_EQ(WriteProfileStringA("ORBEL32", "LG", "12") != FALSE, writable);
    EXPECT_EQ(WriteProfileStringA("ORBEL32", "SystemZeit", "1") != FALSE, writable);
    EXPECT_EQ(ReadFile(path_), writable ? c.written : c.content);
    EXPECT_EQ(GetProfileIntA("ORBEL32", "LG", 77), writable ? 12u : c.lg);
  }
}

// A profile of exactly 4 MiB is read and written, as long as a write does not
// take the file past it; one byte more reads as absent and is never written.
TEST_F(PlatformProfile, ProfilesOverFourMebibytesReadAsAbsentAndAreNeverWritten) {
  const size_t limit = 4u * 1024u * 1024u;
  std::string at_limit = "[ORBEL32]\nLG=5\n[Padding]\n";
  at_limit += std::string(limit - at_limit.size() - 1, ';') + "\n";
  WriteFile(path_, at_limit);
  standin::RereadProfile();
  EXPECT_EQ(GetProfileIntA("ORBEL32", "LG", 77), 5u);
  EXPECT_TRUE(WriteProfileStringA("ORBEL32", "LG", "6"));  // same length
  EXPECT_EQ(GetProfileIntA("ORBEL32", "LG", 77), 6u);
  EXPECT_FALSE(WriteProfileStringA("ORBEL32", "LG", "66"));  // one byte too many
  EXPECT_EQ(ReadFile(path_).size(), limit);
  EXPECT_EQ(GetProfileIntA("ORBEL32", "LG", 77), 6u);

  const std::string over = ReadFile(path_) + "\n";
  WriteFile(path_, over);
  standin::RereadProfile();
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
  std::vector<pid_t> running;
  bool AnyRunning() {
    auto ended = [](pid_t pid) { return waitpid(pid, nullptr, WNOHANG) == pid; };
    running.erase(std::remove_if(running.begin(), running.end(), ended), running.end());
    return !running.empty();
  }
  ~Writers() {
    for (pid_t pid : running) {
      kill(pid, SIGKILL);
      waitpid(pid, nullptr, 0);
    }
  }
};

// A save as the Linux window makes it: the ten keys held, then written whole.
bool SaveRoundWhole(int writer, int round) {
  standin::HoldProfileWrites();
  SaveRound(writer, round);
  std::string why;
  return standin::CommitProfileWrites(&why);
}

// Whether the six place keys of a save as a reader takes them come from one
// save: one writer's value of one round in each.
bool OneSave(const StoredSettings& s) {
  const int v = s.LongitudeDeg;
  return (v / 10000 == 1 || v / 10000 == 2) && s.LongitudeMin == v && s.LongitudeSec == v &&
         s.LatitudeDeg == v && s.LatitudeMin == v && s.LatitudeSec == v &&
         s.East == (v / 10000 == 1 ? 1 : 0);
}

// Two programs closing together, hundreds of times: each save lands whole
// (every snapshot of the file holds one save), no update of a third program
// is lost, and a thousand readers that start meanwhile (as orbel-cli reads the
// saved place) each see one save.
TEST_F(PlatformProfileUnderLoad, TwoProgramsClosingTogetherEachLeaveTheirPlace) {
  ASSERT_TRUE(SaveRoundWhole(1, 0));
  ASSERT_TRUE(WritePrivateProfileStringA("Other", "keep", "me", nullptr));
  int counter = 0;
  ASSERT_TRUE(WritePrivateProfileStringA("Other", "counter", "0", nullptr));
  const std::string stop = dir_ + "/stop";

  Writers writers;
  for (int w = 1; w <= 2; ++w) {
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      for (int round = 0; round < 200 || access(stop.c_str(), F_OK) != 0; ++round) {
        if (!SaveRoundWhole(w, round % 1000)) _exit(3);
      }
      _exit(0);
    }
    writers.running.push_back(pid);
  }

  int mixed = 0;
  for (int read = 0; read < 1000; ++read) {
    const pid_t reader = fork();
    ASSERT_GE(reader, 0);
    if (reader == 0) {
      standin::RereadProfile();  // a program of its own reads the file afresh
      _exit(OneSave(ReadSettings()) ? 0 : 1);
    }
    int status = 0;
    waitpid(reader, &status, 0);
    mixed += WIFEXITED(status) && WEXITSTATUS(status) == 0 ? 0 : 1;
    if (read % 10 != 0) continue;
    ASSERT_TRUE(
        WritePrivateProfileStringA("Other", "counter", std::to_string(++counter).c_str(), nullptr));
    std::map<std::string, std::string> keys;
    ASSERT_EQ(ParseSnapshot(ReadFile(path_), std::to_string(counter), &keys), "") << read;
    for (int i = 1; i < 6; ++i) ASSERT_EQ(keys[kKeys[i]], keys["LG"]) << kKeys[i] << " " << read;
  }
  EXPECT_EQ(mixed, 0) << "readers that saw a mix of two saves";
  WriteFile(stop, "");
  for (pid_t pid : writers.running) {
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_EQ(WEXITSTATUS(status), 0) << "a save failed";
  }
  writers.running.clear();
  std::remove(stop.c_str());
  EXPECT_EQ(FolderEntries(dir_), std::vector<std::string>{"win.ini"});  // nothing left behind
}

// What is not a regular file (a FIFO, also behind a symbolic link) reads as
// no settings at once, without waiting for a writer, and is never replaced:
// the held save says why; a folder too deep to make fails without a crash.
TEST_F(PlatformProfile, NoRegularFileIsNoSettingsAndNeverReplaced) {
  ASSERT_EQ(mkfifo(path_.c_str(), 0600), 0);
  const std::string link = dir_ + "/link.ini";
  ASSERT_EQ(symlink(path_.c_str(), link.c_str()), 0);
  for (const std::string& file : {path_, link}) {
    SCOPED_TRACE(file);
    standin::SetProfilePath(file);
    alarm(10);  // a read that blocks ends the test
    EXPECT_EQ(GetProfileIntA("ORBEL32", "LG", 77), 77u);
    EXPECT_FALSE(WriteProfileStringA("ORBEL32", "LG", "12"));
    standin::HoldProfileWrites();
    SaveRound(1, 1);
    std::string why;
    EXPECT_FALSE(standin::CommitProfileWrites(&why));
    EXPECT_EQ(why, file + " is not a regular file");
    alarm(0);
    struct stat st;
    ASSERT_EQ(stat(file.c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
  }
  std::string deep = dir_;
  for (int i = 0; i < 40000; ++i) deep += "/d";
  standin::SetProfilePath(deep + "/win.ini");
  EXPECT_FALSE(WriteProfileStringA("ORBEL32", "LG", "12"));
}

}  // namespace
