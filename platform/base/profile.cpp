// The per-user profile (win.ini) as an INI file:
// $XDG_CONFIG_HOME/orbel/win.ini, else $HOME/.config/orbel/win.ini.
//
// Sections and keys compare case-insensitively (ASCII). Values are read with
// surrounding blanks removed and one pair of matching surrounding quotes
// stripped. A write changes only the line it concerns (or adds lines); every
// other byte of the file is kept. Each write goes to a temporary file in the
// same folder, is flushed to disk and renamed over the original, so a crash
// leaves the old or the new file, never a mix. Writers lock the folder (flock)
// from reading the file to renaming the new one, so two processes writing at
// once never lose each other's keys. A file that cannot be read, or does not
// look like an INI file (NUL bytes, a "[" line without "]", larger than
// 4 MiB), reads as having no keys and is never written over; nor is a file
// this process may not write, and no write makes a file larger than 4 MiB.
// A UTF-8 byte-order mark, as Windows editors put at the start, is skipped
// when reading and kept when writing.
//
// The file is read once per process, under a shared lock of its folder, into a
// snapshot that every read answers from, so that a reader never mixes two
// saves; this process's own writes update the snapshot. The file is opened
// without blocking and read only when it is a regular file (through symbolic
// links): a FIFO or a device reads as no settings, noted once on standard
// error, and is never written over. A front-end may hold the writes and save
// them together under one lock (HoldProfileWrites), so that a save of many
// keys lands whole.
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "base_internal.h"
#include "orbel_host_api.h"
#include "orbel_test_api.h"
#include "utf8.h"

namespace standin {
namespace internal {
namespace {

std::string& PathOverride() {
  static std::string path;
  return path;
}

// Bytes the next write may put into its temporary file before it fails as on
// a full disk; negative when no failure is injected.
long long& InjectedWriteFailure() {
  static long long bytes = -1;
  return bytes;
}

constexpr size_t kMaxFileSize = 4u * 1024u * 1024u;
const char kByteOrderMark[] = "\xEF\xBB\xBF";

std::string DefaultPath() {
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  std::string base;
  if (xdg && xdg[0] == '/') {
    base = xdg;
  } else {
    const char* home = std::getenv("HOME");
    if (!home || !*home) {
      struct passwd* pw = getpwuid(getuid());
      home = pw && pw->pw_dir ? pw->pw_dir : "/tmp";
    }
    base = std::string(home) + "/.config";
  }
  return base + "/orbel/win.ini";
}

enum class Load { kOk, kMissing, kUnreadable, kNotRegular, kTooLarge, kMalformed };

// Why a file of that state is not read or written, for messages.
const char* WhyNot(Load load) {
  switch (load) {
    case Load::kUnreadable:
      return "cannot be read";
    case Load::kNotRegular:
      return "is not a regular file";
    case Load::kTooLarge:
      return "is larger than 4 MiB";
    case Load::kMalformed:
      return "does not look like a WIN.INI file";
    default:
      return "";
  }
}

struct IniFile {
  std::string bom;                 // a UTF-8 byte-order mark before the first line
  std::vector<std::string> lines;  // each with its own line ending, if any
  std::string eol = "\n";
};

std::string Trim(const std::string& s) {
  size_t a = s.find_first_not_of(" \t\r\n");
  if (a == std::string::npos) return "";
  size_t b = s.find_last_not_of(" \t\r\n");
  return s.substr(a, b - a + 1);
}

bool SectionHeader(const std::string& line, std::string* name) {
  std::string t = Trim(line);
  if (t.empty() || t[0] != '[') return false;
  size_t close = t.rfind(']');
  if (close == std::string::npos) return false;
  if (name) *name = Trim(t.substr(1, close - 1));
  return true;
}

bool KeyLine(const std::string& line, std::string* key, std::string* value) {
  std::string t = Trim(line);
  if (t.empty() || t[0] == ';' || t[0] == '[') return false;
  size_t eq = t.find('=');
  if (eq == std::string::npos) return false;
  if (key) *key = Trim(t.substr(0, eq));
  if (value) *value = Trim(t.substr(eq + 1));
  return true;
}

// The lines of a file's bytes; kMalformed for what does not look like an INI
// file (NUL bytes, a "[" line without "]").
Load Parse(const std::string& data, IniFile* out) {
  if (data.find('\0') != std::string::npos) return Load::kMalformed;
  IniFile file;
  size_t pos = 0;
  if (data.compare(0, 3, kByteOrderMark) == 0) {
    file.bom = kByteOrderMark;
    pos = 3;
  }
  while (pos < data.size()) {
    size_t nl = data.find('\n', pos);
    size_t end = nl == std::string::npos ? data.size() : nl + 1;
    file.lines.push_back(data.substr(pos, end - pos));
    pos = end;
  }
  for (const std::string& line : file.lines) {
    std::string t = Trim(line);
    if (!t.empty() && t[0] == '[' && t.find(']') == std::string::npos) return Load::kMalformed;
    if (line.size() >= 2 && line.compare(line.size() - 2, 2, "\r\n") == 0) file.eol = "\r\n";
  }
  *out = std::move(file);
  return Load::kOk;
}

std::string BytesOf(const IniFile& file) {
  std::string data = file.bom;
  for (const std::string& line : file.lines) data += line;
  return data;
}

Load Read(const std::string& path, IniFile* out) {
  // Without blocking: a FIFO with no writer would hold open() for ever.
  int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return errno == ENOENT ? Load::kMissing : Load::kUnreadable;
  struct stat st;
  const bool statted = fstat(fd, &st) == 0;
  if (!statted || !S_ISREG(st.st_mode) ||
      static_cast<unsigned long long>(st.st_size) > kMaxFileSize) {
    close(fd);
    return !statted ? Load::kUnreadable : S_ISREG(st.st_mode) ? Load::kTooLarge : Load::kNotRegular;
  }
  std::string data;
  char buf[65536];
  for (;;) {
    ssize_t n = read(fd, buf, sizeof buf);
    if (n < 0) {
      if (errno == EINTR) continue;
      close(fd);
      return Load::kUnreadable;
    }
    if (n == 0) break;
    data.append(buf, static_cast<size_t>(n));
    if (data.size() > kMaxFileSize) {
      close(fd);
      return Load::kTooLarge;
    }
  }
  close(fd);
  return Parse(data, out);
}

// The first section named `section`: its header line and the end of its lines.
bool FindSection(const IniFile& f, const std::string& section, size_t* header, size_t* end) {
  std::string wanted = Lower(Trim(section));
  for (size_t i = 0; i < f.lines.size(); ++i) {
    std::string name;
    if (SectionHeader(f.lines[i], &name) && Lower(name) == wanted) {
      size_t j = i + 1;
      while (j < f.lines.size() && !SectionHeader(f.lines[j], nullptr)) ++j;
      *header = i;
      *end = j;
      return true;
    }
  }
  return false;
}

bool FindKey(const IniFile& f, size_t header, size_t end, const std::string& key, size_t* line,
             std::string* value) {
  std::string wanted = Lower(Trim(key));
  for (size_t i = header + 1; i < end; ++i) {
    std::string k;
    if (KeyLine(f.lines[i], &k, value) && Lower(k) == wanted) {
      *line = i;
      return true;
    }
  }
  return false;
}

std::string Unquote(const std::string& v) {
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) {
    return v.substr(1, v.size() - 2);
  }
  return v;
}

// This process's snapshot of one profile file; see the comment at the top.
struct Snapshot {
  std::string path;
  bool taken = false;
  Load load = Load::kMissing;
  IniFile file;
};

Snapshot& Cached() {
  static Snapshot snapshot;
  return snapshot;
}

// Says once per process, on standard error, that the profile is not used.
void NoteNotUsed(const std::string& path, Load load) {
  static bool noted = false;
  if (noted || load == Load::kOk || load == Load::kMissing) return;
  noted = true;
  std::fprintf(stderr, "%s: %s %s; its settings are not used\n", program_invocation_short_name,
               path.c_str(), WhyNot(load));
}

std::string FolderOf(const std::string& path);

// Holds a flock on a folder while it lives: shared for reading, exclusive for
// a save. Without a folder that can be opened the access goes ahead unlocked;
// a save fails later if it must.
class FolderLock {
 public:
  FolderLock(const std::string& dir, int operation)
      : fd_(open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
    while (fd_ >= 0 && flock(fd_, operation) != 0 && errno == EINTR) {
    }
  }
  ~FolderLock() {
    if (fd_ >= 0) close(fd_);  // closing releases the lock
  }
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;

 private:
  int fd_;
};

// The snapshot of `path`, taken at its first read.
const Snapshot& SnapshotOf(const std::string& path) {
  Snapshot& snapshot = Cached();
  if (!snapshot.taken || snapshot.path != path) {
    FolderLock lock(FolderOf(path), LOCK_SH);
    snapshot = Snapshot{path, true, Load::kMissing, {}};
    snapshot.load = Read(path, &snapshot.file);
    NoteNotUsed(path, snapshot.load);
  }
  return snapshot;
}

bool Lookup(const std::string& path, const char* section, const char* key, std::string* value) {
  const Snapshot& snapshot = SnapshotOf(path);
  if (snapshot.load != Load::kOk) return false;
  const IniFile& f = snapshot.file;
  size_t header = 0, end = 0, line = 0;
  std::string raw;
  if (!FindSection(f, section, &header, &end) || !FindKey(f, header, end, key, &line, &raw)) {
    return false;
  }
  *value = Unquote(raw);
  return true;
}

std::string LineEnding(const std::string& line) {
  if (line.size() >= 2 && line.compare(line.size() - 2, 2, "\r\n") == 0) return "\r\n";
  if (!line.empty() && line.back() == '\n') return "\n";
  return "";
}

// Makes the folder and the folders above it, from the top down, without
// recursion (a path may be thousands of folders deep).
bool MakeDirs(const std::string& dir) {
  for (size_t slash = dir.find('/', 1);; slash = dir.find('/', slash + 1)) {
    const std::string part = dir.substr(0, slash);
    struct stat st;
    if (stat(part.c_str(), &st) == 0) {
      if (!S_ISDIR(st.st_mode)) return false;
    } else if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
      return false;
    }
    if (slash == std::string::npos) return true;
  }
}

bool WriteAll(int fd, const std::string& data) {
  size_t size = data.size();
  long long& fail_after = InjectedWriteFailure();
  const bool fail = fail_after >= 0;
  if (fail) {
    size = std::min(size, static_cast<size_t>(fail_after));
    fail_after = -1;
  }
  size_t done = 0;
  while (done < size) {
    ssize_t n = write(fd, data.data() + done, size - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<size_t>(n);
  }
  if (fail) errno = ENOSPC;
  return !fail;
}

// The real file behind `path` when it is a symbolic link, else `path`.
bool ResolveLink(std::string* path) {
  struct stat lst;
  if (lstat(path->c_str(), &lst) != 0 || !S_ISLNK(lst.st_mode)) return true;
  char resolved[PATH_MAX];
  if (!realpath(path->c_str(), resolved)) return false;
  *path = resolved;
  return true;
}

std::string FolderOf(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
}

// Replaces `path` (no symbolic link) with `data`: temporary file in the same
// folder, fsync, rename, fsync of the folder.
bool AtomicReplace(const std::string& path, const std::string& data) {
  size_t slash = path.rfind('/');
  std::string dir = FolderOf(path);
  std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
  std::string tmp = dir + "/." + base + ".XXXXXX";
  std::vector<char> name(tmp.begin(), tmp.end());
  name.push_back('\0');
  int fd = mkstemp(name.data());
  if (fd < 0) return false;
  struct stat st;
  bool ok = WriteAll(fd, data);
  if (ok && stat(path.c_str(), &st) == 0) ok = fchmod(fd, st.st_mode & 07777) == 0;
  if (ok) ok = fsync(fd) == 0;
  if (close(fd) != 0) ok = false;
  if (ok) ok = rename(name.data(), path.c_str()) == 0;
  if (!ok) {
    unlink(name.data());
    return false;
  }
  int dfd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dfd >= 0) {
    fsync(dfd);
    close(dfd);
  }
  return true;
}

bool HasLineBreak(const char* s) {
  return s && std::strpbrk(s, "\r\n") != nullptr;
}

// One WritePrivateProfileString: a key's new value, or its removal (no value),
// or the removal of a whole section (no key).
struct Change {
  std::string section;
  bool has_key = false, has_value = false;
  std::string key, value;
};

// Whether a change can be written at all: no line breaks, a key that reads back.
bool Valid(const char* section, const char* key, const char* value) {
  if (!section || HasLineBreak(section) || HasLineBreak(key) || HasLineBreak(value)) return false;
  return !key || !(std::strchr(key, '=') || Trim(key).empty() || Trim(key)[0] == '[' ||
                   Trim(key)[0] == ';');
}

// Makes one change to the lines of a file.
void Apply(IniFile& f, const Change& c) {
  const std::string& eol = f.eol;
  size_t header = 0, end = 0;
  const bool have_section = FindSection(f, c.section, &header, &end);
  if (!c.has_key) {
    if (!have_section) return;
    f.lines.erase(f.lines.begin() + static_cast<long>(header),
                  f.lines.begin() + static_cast<long>(end));
    return;
  }
  size_t line = 0;
  std::string old;
  const bool have_key = have_section && FindKey(f, header, end, c.key, &line, &old);
  if (!c.has_value) {
    if (have_key) f.lines.erase(f.lines.begin() + static_cast<long>(line));
  } else if (have_key) {
    // Keep the key as written, up to and including '='.
    std::string& l = f.lines[line];
    std::string ending = LineEnding(l);
    l = l.substr(0, l.find('=') + 1) + c.value + ending;
  } else if (have_section) {
    size_t last = header;
    for (size_t i = header + 1; i < end; ++i) {
      if (!Trim(f.lines[i]).empty()) last = i;
    }
    if (LineEnding(f.lines[last]).empty()) f.lines[last] += eol;
    f.lines.insert(f.lines.begin() + static_cast<long>(last + 1), c.key + "=" + c.value + eol);
  } else {
    if (!f.lines.empty()) {
      if (LineEnding(f.lines.back()).empty()) f.lines.back() += eol;
      if (!Trim(f.lines.back()).empty()) f.lines.push_back(eol);
    }
    f.lines.push_back("[" + c.section + "]" + eol);
    f.lines.push_back(c.key + "=" + c.value + eol);
  }
}

// Makes the changes to the file at `path` under the exclusive lock of its
// folder: read, changed, replaced whole. False, with the reason in `why`,
// when the file cannot be written; it is then never replaced.
bool Save(const std::string& path, const std::vector<Change>& changes, std::string* why) {
  size_t slash = path.rfind('/');
  if (slash != std::string::npos && slash > 0 && !MakeDirs(path.substr(0, slash))) {
    *why = "cannot make the folder " + path.substr(0, slash) + ": " + std::strerror(errno);
    return false;
  }
  // A symbolic link is written through to its target, locked in its folder.
  std::string target = path;
  if (!ResolveLink(&target)) {
    *why = path + ": " + std::strerror(errno);
    return false;
  }
  FolderLock lock(FolderOf(target), LOCK_EX);
  IniFile f;
  const Load load = Read(target, &f);
  if (load != Load::kOk && load != Load::kMissing) {  // never clobber
    *why = path + " " + WhyNot(load);
    return false;
  }
  if (load == Load::kOk && access(target.c_str(), W_OK) != 0) {  // a read-only file
    *why = path + ": " + std::strerror(errno);
    return false;
  }
  const std::string before = BytesOf(f);
  // Each change on the file as the one before left it, as when written one by
  // one; one that leaves no INI file is the last one.
  for (const Change& change : changes) {
    Apply(f, change);
    if (Parse(BytesOf(f), &f) != Load::kOk) break;
  }
  const std::string data = BytesOf(f);
  // Nothing to change (a key deleted that was not there): no file is made.
  if (data == before) return true;
  // A larger file would read as having no keys: keep the old one instead.
  if (data.size() > kMaxFileSize) {
    *why = path + ": the settings would take more than 4 MiB";
    return false;
  }
  if (!AtomicReplace(target, data)) {
    *why = path + ": " + std::strerror(errno);
    return false;
  }
  Cached() = Snapshot{path, true, Load::kOk, std::move(f)};
  return true;
}

// The writes held for one save (HoldProfileWrites), by file.
struct Held {
  bool holding = false;
  std::vector<std::pair<std::string, std::vector<Change>>> files;
};

Held& HeldWrites() {
  static Held held;
  return held;
}

bool Write(const std::string& path, const char* section, const char* key, const char* value) {
  if (!Valid(section, key, value)) return false;
  const Change change{section, key != nullptr, value != nullptr, key ? key : "",
                      value ? value : ""};
  Held& held = HeldWrites();
  if (!held.holding) {
    std::string why;
    return Save(path, {change}, &why);
  }
  // Held: the snapshot shows the change now, the file gets it at the commit.
  const Snapshot& snapshot = SnapshotOf(path);
  if (snapshot.load == Load::kOk || snapshot.load == Load::kMissing) {
    Snapshot& own = Cached();
    Apply(own.file, change);
    own.load = Parse(BytesOf(own.file), &own.file);
  }
  for (auto& [file, changes] : held.files) {
    if (file == path) {
      changes.push_back(change);
      return true;
    }
  }
  held.files.push_back({path, {change}});
  return true;
}

// GetProfileInt's reading: optional sign, then decimal digits up to the first
// other character, accumulated modulo 2^32; no digits read as 0.
UINT ParseProfileInt(const std::string& v) {
  size_t i = 0;
  while (i < v.size() && (v[i] == ' ' || v[i] == '\t')) ++i;
  bool negative = false;
  if (i < v.size() && (v[i] == '-' || v[i] == '+')) negative = v[i++] == '-';
  uint32_t value = 0;
  while (i < v.size() && v[i] >= '0' && v[i] <= '9') {
    value = value * 10u + static_cast<uint32_t>(v[i] - '0');
    ++i;
  }
  return negative ? 0u - value : value;
}

std::string PrivatePath(LPCSTR file_name) {
  if (!file_name || !*file_name) return ProfilePath();
  std::string f = file_name;
  if (f[0] == '/') return f;
  // A bare name lives beside win.ini, as Windows keeps such files in one folder.
  std::string base = ProfilePath();
  size_t slash = base.rfind('/');
  return (slash == std::string::npos ? std::string(".") : base.substr(0, slash)) + "/" + f;
}

DWORD CopyOut(const std::string& text, LPSTR out, DWORD size) {
  if (!out || size == 0) return 0;
  DWORD n = static_cast<DWORD>(std::min<size_t>(text.size(), size - 1));
  std::memcpy(out, text.data(), n);
  out[n] = '\0';
  return n;
}

// A list of names, each NUL-terminated, then one more NUL. When it does not
// fit, it is cut and the result is size - 2, as on Windows.
DWORD CopyList(const std::vector<std::string>& names, LPSTR out, DWORD size) {
  if (!out || size == 0) return 0;
  std::string all;
  for (const std::string& n : names) {
    all += n;
    all += '\0';
  }
  if (all.size() + 1 <= size) {
    std::memcpy(out, all.data(), all.size());
    out[all.size()] = '\0';
    return static_cast<DWORD>(all.size() == 0 ? 0 : all.size());
  }
  if (size < 2) {
    out[0] = '\0';
    return 0;
  }
  std::memcpy(out, all.data(), size - 2);
  out[size - 2] = '\0';
  out[size - 1] = '\0';
  return size - 2;
}

}  // namespace

void ResetProfile() {
  PathOverride().clear();
  InjectedWriteFailure() = -1;
  Cached() = Snapshot{};
  HeldWrites() = Held{};
}

}  // namespace internal

void HoldProfileWrites() {
  internal::HeldWrites().holding = true;
}

bool CommitProfileWrites(std::string* why) {
  internal::Held held = std::move(internal::HeldWrites());
  internal::HeldWrites() = internal::Held{};
  for (const auto& [path, changes] : held.files) {
    if (!internal::Save(path, changes, why)) return false;
  }
  return true;
}

void SetProfilePath(const std::string& path) {
  internal::PathOverride() = path;
  RereadProfile();
}

void RereadProfile() {
  internal::Cached() = internal::Snapshot{};
}

void FailProfileWriteAfter(long long bytes) {
  internal::InjectedWriteFailure() = bytes < 0 ? -1 : bytes;
}

std::string ProfilePath() {
  return internal::PathOverride().empty() ? internal::DefaultPath() : internal::PathOverride();
}

}  // namespace standin

using namespace standin::internal;

extern "C" DWORD WINAPI GetPrivateProfileStringA(LPCSTR app_name, LPCSTR key_name,
                                                 LPCSTR default_value, LPSTR returned, DWORD size,
                                                 LPCSTR file_name) {
  std::string path = PrivatePath(file_name);
  if (!app_name || !key_name) {
    std::vector<std::string> names;
    const Snapshot& snapshot = SnapshotOf(path);
    const IniFile& f = snapshot.file;
    if (snapshot.load == Load::kOk) {
      if (!app_name) {
        for (const std::string& line : f.lines) {
          std::string name;
          if (SectionHeader(line, &name)) names.push_back(name);
        }
      } else {
        size_t header = 0, end = 0;
        if (FindSection(f, app_name, &header, &end)) {
          for (size_t i = header + 1; i < end; ++i) {
            std::string key;
            if (KeyLine(f.lines[i], &key, nullptr) && !key.empty()) names.push_back(key);
          }
        }
      }
    }
    return CopyList(names, returned, size);
  }
  std::string value;
  if (!Lookup(path, app_name, key_name, &value)) {
    value = default_value ? default_value : "";
    size_t last = value.find_last_not_of(' ');
    value = last == std::string::npos ? "" : value.substr(0, last + 1);
  }
  return CopyOut(value, returned, size);
}

extern "C" DWORD WINAPI GetProfileStringA(LPCSTR app_name, LPCSTR key_name, LPCSTR default_value,
                                          LPSTR returned, DWORD size) {
  return GetPrivateProfileStringA(app_name, key_name, default_value, returned, size, nullptr);
}

// An absent key and a key with an empty value give the default.
extern "C" UINT WINAPI GetPrivateProfileIntA(LPCSTR app_name, LPCSTR key_name, INT default_value,
                                             LPCSTR file_name) {
  std::string value;
  if (!app_name || !key_name || !Lookup(PrivatePath(file_name), app_name, key_name, &value) ||
      value.empty()) {
    return static_cast<UINT>(default_value);
  }
  return ParseProfileInt(value);
}

extern "C" UINT WINAPI GetProfileIntA(LPCSTR app_name, LPCSTR key_name, INT default_value) {
  return GetPrivateProfileIntA(app_name, key_name, default_value, nullptr);
}

extern "C" BOOL WINAPI WritePrivateProfileStringA(LPCSTR app_name, LPCSTR key_name, LPCSTR value,
                                                  LPCSTR file_name) {
  return Write(PrivatePath(file_name), app_name, key_name, value) ? TRUE : FALSE;
}

extern "C" BOOL WINAPI WriteProfileStringA(LPCSTR app_name, LPCSTR key_name, LPCSTR value) {
  return WritePrivateProfileStringA(app_name, key_name, value, nullptr);
}
