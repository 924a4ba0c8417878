// Fuzz target: the stand-in layer's profile (INI) reader and writer.
//
// Each input is a starting file (any bytes, no file, or a folder or a FIFO in
// its place) and a few writes: set a key, delete a key, delete a section, or a
// set whose write fails part-way (FailProfileWriteAfter). Sections and keys
// are picked from the file or made up. Invariants:
//  - no crash, no undefined behaviour;
//  - a refused or failed write leaves the file byte for byte, and no
//    temporary file stays behind;
//  - a file that does not look like an INI file (NUL bytes, a "[" line
//    without "]"), a folder or a FIFO is never written; a write with a line break in
//    a name or value, or a key that could not be read back, is refused; any
//    other write succeeds;
//  - what was written reads back (blanks around the value and one pair of
//    quotes are dropped, as Windows reads it);
//  - every line the write did not concern survives byte for byte and in
//    order (only the last one may gain a line ending), at most three lines
//    are added, and every other key reads as before;
//  - the same writes held and saved together (HoldProfileWrites) give the
//    same file as one by one, and read back before the save;
//  - the layer's reading agrees with an independent reading of the file:
//    optional UTF-8 byte-order mark, first matching section and first
//    matching key win, names compare case-insensitively.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <windows.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "orbel_test_api.h"

namespace {

using fuzz::Fail;
using fuzz::Quote;

std::string g_dir;
std::string g_path;

// ------------------------------------------------------------ files

// The file's bytes, or nothing when there is no regular file.
std::optional<std::string> Load(const std::string& path) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  std::string data;
  int fd = open(path.c_str(), O_RDONLY);
  if (fd < 0) Fail("cannot open %s", path.c_str());
  char buf[4096];
  ssize_t n;
  while ((n = read(fd, buf, sizeof buf)) > 0) data.append(buf, static_cast<size_t>(n));
  close(fd);
  return data;
}

void Store(const std::string& path, const std::string& data) {
  int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  if (fd < 0 || write(fd, data.data(), data.size()) != static_cast<ssize_t>(data.size())) {
    Fail("cannot write %s", path.c_str());
  }
  close(fd);
}

// Removes whatever is at the profile path and anything else in the folder.
void Clear() {
  if (DIR* d = opendir(g_dir.c_str())) {
    while (dirent* e = readdir(d)) {
      std::string name = e->d_name;
      if (name == "." || name == "..") continue;
      std::string full = g_dir + "/" + name;
      if (unlink(full.c_str()) != 0) rmdir(full.c_str());
    }
    closedir(d);
  }
}

std::vector<std::string> FolderEntries() {
  std::vector<std::string> names;
  if (DIR* d = opendir(g_dir.c_str())) {
    while (dirent* e = readdir(d)) {
      std::string name = e->d_name;
      if (name != "." && name != "..") names.push_back(name);
    }
    closedir(d);
  }
  return names;
}

// ------------------------------------------------------------ independent reading

std::string Trim(const std::string& s) {
  const char* blanks = " \t\r\n";
  size_t a = s.find_first_not_of(blanks);
  if (a == std::string::npos) return "";
  return s.substr(a, s.find_last_not_of(blanks) - a + 1);
}

std::string Lower(std::string s) {
  for (char& c : s) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + ('a' - 'A'));
  }
  return s;
}

std::string Unquote(const std::string& v) {
  if (v.size() >= 2 && (v[0] == '"' || v[0] == '\'') && v.back() == v[0]) {
    return v.substr(1, v.size() - 2);
  }
  return v;
}

struct Line {
  std::string text;  // with its line ending
  bool header = false;
  bool key = false;
  std::string name;   // section name or key, trimmed
  std::string value;  // key lines: trimmed, quotes kept
};

struct Parsed {
  std::string bom;
  std::vector<Line> lines;
  bool malformed = false;  // NUL bytes, or a "[" line without "]"
};

Parsed Parse(const std::string& data) {
  Parsed p;
  size_t pos = 0;
  if (data.compare(0, 3, "\xEF\xBB\xBF") == 0) {
    p.bom = data.substr(0, 3);
    pos = 3;
  }
  p.malformed = data.find('\0') != std::string::npos;
  while (pos < data.size()) {
    size_t nl = data.find('\n', pos);
    size_t end = nl == std::string::npos ? data.size() : nl + 1;
    Line line;
    line.text = data.substr(pos, end - pos);
    pos = end;
    const std::string t = Trim(line.text);
    if (!t.empty() && t[0] == '[') {
      const size_t close = t.rfind(']');
      if (close == std::string::npos) {
        p.malformed = true;
      } else {
        line.header = true;
        line.name = Trim(t.substr(1, close - 1));
      }
    } else if (!t.empty() && t[0] != ';' && t.find('=') != std::string::npos) {
      line.key = true;
      line.name = Trim(t.substr(0, t.find('=')));
      line.value = Trim(t.substr(t.find('=') + 1));
    }
    p.lines.push_back(std::move(line));
  }
  return p;
}

// Line range [first, end) of the first section named `section`, header first.
bool FindSection(const Parsed& p, const std::string& section, size_t* first, size_t* end) {
  const std::string wanted = Lower(Trim(section));
  for (size_t i = 0; i < p.lines.size(); ++i) {
    if (p.lines[i].header && Lower(p.lines[i].name) == wanted) {
      size_t j = i + 1;
      while (j < p.lines.size() && !p.lines[j].header) ++j;
      *first = i;
      *end = j;
      return true;
    }
  }
  return false;
}

std::optional<size_t> FindKey(const Parsed& p, const std::string& section, const std::string& key) {
  size_t first = 0, end = 0;
  if (!FindSection(p, section, &first, &end)) return std::nullopt;
  const std::string wanted = Lower(Trim(key));
  for (size_t i = first + 1; i < end; ++i) {
    if (p.lines[i].key && Lower(p.lines[i].name) == wanted) return i;
  }
  return std::nullopt;
}

std::optional<std::string> Lookup(const Parsed& p, const std::string& section,
                                  const std::string& key) {
  if (p.malformed) return std::nullopt;
  std::optional<size_t> line = FindKey(p, section, key);
  if (!line) return std::nullopt;
  return Unquote(p.lines[*line].value);
}

// What the layer reads for (section, key), or nothing when it gives the default.
std::optional<std::string> LayerLookup(const std::string& section, const std::string& key) {
  static char buf[8192];
  const char kDefault[] = "\n(absent)";  // no stored value can hold a line break
  GetPrivateProfileStringA(section.c_str(), key.c_str(), kDefault, buf, sizeof buf, g_path.c_str());
  if (std::string(buf) == kDefault) return std::nullopt;
  return std::string(buf);
}

std::string ShowOptional(const std::optional<std::string>& v) {
  return v ? Quote(*v) : std::string("(absent)");
}

// A name or value from the fuzzer: the API takes C strings, so no NUL.
std::string ConsumeText(FuzzedDataProvider& in, size_t max_length) {
  std::string s = in.ConsumeRandomLengthString(max_length);
  s.erase(std::remove(s.begin(), s.end(), '\0'), s.end());
  return s;
}

// ------------------------------------------------------------ writes

struct Write {
  enum Kind { kSet, kDeleteKey, kDeleteSection } kind = kSet;
  std::string section, key, value;
  long long fail_after = -1;  // injected failure, or -1
};

std::string Describe(const Write& w) {
  const char* kinds[] = {"set", "delete key", "delete section"};
  std::string s = std::string(kinds[w.kind]) + " [" + Quote(w.section) + "]";
  if (w.kind != Write::kDeleteSection) s += " " + Quote(w.key);
  if (w.kind == Write::kSet) s += " = " + Quote(w.value);
  if (w.fail_after >= 0) s += ", failing after " + std::to_string(w.fail_after) + " bytes";
  return s;
}

bool HasLineBreak(const std::string& s) {
  return s.find_first_of("\r\n") != std::string::npos;
}

// Arguments the layer must take: no line break anywhere (it would change the
// file's structure) and a key that reads back as itself.
bool Acceptable(const Write& w) {
  if (HasLineBreak(w.section)) return false;
  if (w.kind == Write::kDeleteSection) return true;
  const std::string k = Trim(w.key);
  if (HasLineBreak(w.key) || k.empty() || k[0] == '[' || k[0] == ';' ||
      w.key.find('=') != std::string::npos) {
    return false;
  }
  return w.kind != Write::kSet || !HasLineBreak(w.value);
}

// The old lines minus `skip` appear in order among the new lines; only the
// old last line may gain a line ending. Returns the number of new lines left
// over, or -1 when an old line is missing or changed.
long Survivors(const Parsed& before, const Parsed& after, size_t skip_first, size_t skip_end) {
  size_t j = 0;
  for (size_t i = 0; i < before.lines.size(); ++i) {
    if (i >= skip_first && i < skip_end) continue;
    const std::string& old = before.lines[i].text;
    const bool open_end = old.empty() || old.back() != '\n';
    while (
        j < after.lines.size() && after.lines[j].text != old &&
        !(open_end && (after.lines[j].text == old + "\n" || after.lines[j].text == old + "\r\n"))) {
      ++j;
    }
    if (j == after.lines.size()) return -1;
    ++j;
  }
  const size_t kept = before.lines.size() - (skip_end - skip_first);
  return static_cast<long>(after.lines.size() - kept);
}

void CheckWrite(const Write& w, const std::optional<std::string>& before_bytes, bool is_folder) {
  const Parsed before = Parse(before_bytes.value_or(""));
  const bool acceptable = Acceptable(w) && !is_folder && !before.malformed;

  standin::FailProfileWriteAfter(w.fail_after);
  const char* key = w.kind == Write::kDeleteSection ? nullptr : w.key.c_str();
  const char* value = w.kind == Write::kSet ? w.value.c_str() : nullptr;
  const BOOL ok = WritePrivateProfileStringA(w.section.c_str(), key, value, g_path.c_str());
  standin::FailProfileWriteAfter(-1);  // a write that never reached the disk leaves it armed

  const std::optional<std::string> after_bytes = Load(g_path);
  const std::string what = Describe(w) + " on " + ShowOptional(before_bytes);
  const std::vector<std::string> entries = FolderEntries();
  if (entries.size() > 1 || (entries.size() == 1 && entries[0] != "win.ini")) {
    Fail("%s left %zu entries in the folder, first %s", what.c_str(), entries.size(),
         Quote(entries[0]).c_str());
  }
  if (!ok || w.fail_after >= 0) {
    if (after_bytes != before_bytes) {
      Fail("%s (%s) changed the file to %s", what.c_str(), ok ? "TRUE" : "FALSE",
           ShowOptional(after_bytes).c_str());
    }
    if (!ok && acceptable && w.fail_after < 0) Fail("%s was refused", what.c_str());
    return;
  }
  if (!acceptable) Fail("%s was accepted", what.c_str());

  // A delete of what is not there changes nothing and may leave no file.
  const Parsed after = Parse(after_bytes.value_or(""));
  if (before_bytes && !after_bytes) Fail("%s removed the file", what.c_str());
  if (after.malformed || after.bom != before.bom) {
    Fail("%s wrote %s, which does not read as the same kind of file", what.c_str(),
         ShowOptional(after_bytes).c_str());
  }

  // The lines the write concerns.
  size_t skip_first = 0, skip_end = 0;
  if (w.kind == Write::kDeleteSection) {
    size_t first = 0, end = 0;
    if (FindSection(before, w.section, &first, &end)) skip_first = first, skip_end = end;
  } else if (std::optional<size_t> line = FindKey(before, w.section, w.key)) {
    skip_first = *line;
    skip_end = *line + 1;
  }
  const long added = Survivors(before, after, skip_first, skip_end);
  const long most_added = w.kind == Write::kSet ? 3 : 0;
  if (added < 0 || added > most_added) {
    Fail("%s wrote %s: lines it did not concern were lost or changed, or %ld were added",
         what.c_str(), ShowOptional(after_bytes).c_str(), added);
  }

  // What was written reads back, in the layer and independently.
  if (w.kind == Write::kSet) {
    const std::string want = Unquote(Trim(w.value));
    const std::optional<std::string> got = LayerLookup(w.section, w.key);
    const std::optional<std::string> independent = Lookup(after, w.section, w.key);
    if (got != want || independent != want) {
      Fail("%s wrote %s; it reads back as %s (independently %s)", what.c_str(),
           ShowOptional(after_bytes).c_str(), ShowOptional(got).c_str(),
           ShowOptional(independent).c_str());
    }
  }

  // Every other key of the old file reads as before.
  for (size_t i = 0; i < before.lines.size(); ++i) {
    if (!before.lines[i].header) continue;
    const std::string& section = before.lines[i].name;
    if (w.kind == Write::kDeleteSection && Lower(section) == Lower(Trim(w.section))) continue;
    size_t first = 0, end = 0;
    FindSection(before, section, &first, &end);
    for (size_t k = first + 1; k < end; ++k) {
      if (!before.lines[k].key) continue;
      const std::string& name = before.lines[k].name;
      if (Lower(section) == Lower(Trim(w.section)) && Lower(name) == Lower(Trim(w.key))) continue;
      if (Lookup(before, section, name) != Lookup(after, section, name)) {
        Fail("%s changed [%s] %s in %s", what.c_str(), Quote(section).c_str(), Quote(name).c_str(),
             ShowOptional(after_bytes).c_str());
      }
    }
  }
}

// The layer's reading agrees with the independent one, for one key of the
// file (or a made-up one) and for the list of sections.
void CheckReading(FuzzedDataProvider& in, const std::optional<std::string>& bytes) {
  const Parsed p = Parse(bytes.value_or(""));
  std::string section, key;
  std::vector<const Line*> keys;
  for (const Line& l : p.lines) {
    if (l.key) keys.push_back(&l);
  }
  if (!keys.empty() && in.ConsumeBool()) {
    key = keys[in.ConsumeIntegralInRange<size_t>(0, keys.size() - 1)]->name;
  } else {
    key = ConsumeText(in, 8);
  }
  std::vector<std::string> sections;
  for (const Line& l : p.lines) {
    if (l.header) sections.push_back(l.name);
  }
  section = !sections.empty() && in.ConsumeBool()
                ? sections[in.ConsumeIntegralInRange<size_t>(0, sections.size() - 1)]
                : ConsumeText(in, 8);
  const std::optional<std::string> got = LayerLookup(section, key);
  const std::optional<std::string> want = Lookup(p, section, key);
  // Values over the reading buffer come back cut; the inputs stay far below it.
  if (got != want) {
    Fail("[%s] %s in %s reads %s, independently %s", Quote(section).c_str(), Quote(key).c_str(),
         ShowOptional(bytes).c_str(), ShowOptional(got).c_str(), ShowOptional(want).c_str());
  }
  if (!p.malformed) {
    static char list[8192];
    const DWORD n =
        GetPrivateProfileStringA(nullptr, nullptr, "", list, sizeof list, g_path.c_str());
    std::string want_list;
    for (const std::string& s : sections) want_list += s + '\0';
    if (std::string(list, n) != want_list) {
      Fail("the sections of %s are listed as %s", ShowOptional(bytes).c_str(),
           Quote(std::string(list, n)).c_str());
    }
  }
}

Write ConsumeWrite(FuzzedDataProvider& in, const std::optional<std::string>& bytes) {
  const Parsed p = Parse(bytes.value_or(""));
  Write w;
  w.kind = static_cast<Write::Kind>(in.ConsumeIntegralInRange<int>(0, 2));
  std::vector<std::string> sections;
  for (const Line& l : p.lines) {
    if (l.header) sections.push_back(l.name);
  }
  w.section = !sections.empty() && in.ConsumeBool()
                  ? sections[in.ConsumeIntegralInRange<size_t>(0, sections.size() - 1)]
                  : ConsumeText(in, 12);
  size_t first = 0, end = 0;
  std::vector<std::string> keys;
  if (FindSection(p, w.section, &first, &end)) {
    for (size_t i = first + 1; i < end; ++i) {
      if (p.lines[i].key) keys.push_back(p.lines[i].name);
    }
  }
  w.key = !keys.empty() && in.ConsumeBool()
              ? keys[in.ConsumeIntegralInRange<size_t>(0, keys.size() - 1)]
              : ConsumeText(in, 12);
  w.value = ConsumeText(in, 16);
  if (in.ConsumeIntegralInRange<int>(0, 7) == 0) {
    w.fail_after = in.ConsumeIntegralInRange<long long>(0, 256);
  }
  return w;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // tmpfs keeps the writes' fsync cheap.
  struct stat st;
  const std::string base = stat("/dev/shm", &st) == 0 && S_ISDIR(st.st_mode) ? "/dev/shm" : "/tmp";
  g_dir = base + "/orbel-fuzz-profile-" + std::to_string(getpid());
  mkdir(g_dir.c_str(), 0700);
  g_path = g_dir + "/win.ini";
  std::atexit([] {
    Clear();
    rmdir(g_dir.c_str());
  });
  standin::Reset();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  Clear();
  standin::RereadProfile();  // each input is a program started anew
  const int start = in.ConsumeIntegralInRange<int>(0, 15);
  const bool unwritable = start <= 1;  // a folder or a FIFO in the file's place
  std::optional<std::string> start_bytes;
  if (start == 0) {
    mkdir(g_path.c_str(), 0700);
  } else if (start == 1) {
    mkfifo(g_path.c_str(), 0600);
  } else if (start > 2) {
    start_bytes = in.ConsumeRandomLengthString(1024);
    Store(g_path, *start_bytes);
  }
  const int count = in.ConsumeIntegralInRange<int>(1, 3);
  std::vector<Write> writes;
  for (int i = 0; i < count; ++i) {
    const std::optional<std::string> before = Load(g_path);
    CheckReading(in, before);
    writes.push_back(ConsumeWrite(in, before));
    CheckWrite(writes.back(), before, unwritable);
  }
  CheckReading(in, Load(g_path));

  // The same writes held and saved together give the same file (no file and
  // an empty one alike: what was added and then removed again leaves no file
  // when saved together), and the reads in between see them at once.
  if (unwritable ||
      std::any_of(writes.begin(), writes.end(), [](const Write& w) { return w.fail_after >= 0; })) {
    return 0;
  }
  const std::optional<std::string> one_by_one = Load(g_path);
  Clear();
  if (start_bytes) Store(g_path, *start_bytes);
  standin::RereadProfile();
  standin::HoldProfileWrites();
  for (const Write& w : writes) {
    const char* key = w.kind == Write::kDeleteSection ? nullptr : w.key.c_str();
    const char* value = w.kind == Write::kSet ? w.value.c_str() : nullptr;
    WritePrivateProfileStringA(w.section.c_str(), key, value, g_path.c_str());
  }
  CheckReading(in, one_by_one);
  std::string why;
  standin::CommitProfileWrites(&why);
  if (Load(g_path).value_or("") != one_by_one.value_or("")) {
    Fail("held writes gave %s, one by one %s", ShowOptional(Load(g_path)).c_str(),
         ShowOptional(one_by_one).c_str());
  }
  return 0;
}
