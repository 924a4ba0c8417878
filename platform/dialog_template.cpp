// Reads DIALOGEX resources from resource-script text: the program's own
// resources/orbel.rc (embedded at build time) and test scripts.
//
// Covered: comments; #include "resource.h" (the program's header, embedded
// too; other includes are skipped), #define of object-like macros, #undef,
// #ifdef / #ifndef / #if 0|1|defined(X) / #else / #endif, #pragma
// code_page(65001); the DIALOGEX header and its STYLE, EXSTYLE, CAPTION, FONT,
// CLASS and MENU statements; controls in the generic CONTROL form. Numbers are
// decimal or hex with an optional L suffix; expressions combine them with
// | + - & ~ NOT and parentheses; the common WS_, WS_EX_, DS_, ES_, BS_ and SS_
// names are known. Resources of other kinds are skipped.
#include <cctype>
#include <cstdio>
#include <cstring>
#include <map>
#include <set>

#include "internal.h"
#include "utf8.h"

namespace standin {
namespace internal {
extern const char kEmbeddedResourceScript[];
extern const char kEmbeddedResourceHeader[];
}  // namespace internal

namespace {

using internal::Lower;

struct Token {
  enum Kind { kIdent, kNumber, kString, kPunct, kEnd } kind = kEnd;
  std::string text;  // identifier, punctuation or decoded string (UTF-8)
  long long value = 0;
  int line = 0;
};

const std::map<std::string, long long>& KnownConstants() {
  static const std::map<std::string, long long> table = {
      {"WS_OVERLAPPED", 0x00000000},
      {"WS_POPUP", 0x80000000},
      {"WS_CHILD", 0x40000000},
      {"WS_MINIMIZE", 0x20000000},
      {"WS_VISIBLE", 0x10000000},
      {"WS_DISABLED", 0x08000000},
      {"WS_CLIPSIBLINGS", 0x04000000},
      {"WS_CLIPCHILDREN", 0x02000000},
      {"WS_MAXIMIZE", 0x01000000},
      {"WS_CAPTION", 0x00C00000},
      {"WS_BORDER", 0x00800000},
      {"WS_DLGFRAME", 0x00400000},
      {"WS_VSCROLL", 0x00200000},
      {"WS_HSCROLL", 0x00100000},
      {"WS_SYSMENU", 0x00080000},
      {"WS_THICKFRAME", 0x00040000},
      {"WS_GROUP", 0x00020000},
      {"WS_TABSTOP", 0x00010000},
      {"WS_MINIMIZEBOX", 0x00020000},
      {"WS_MAXIMIZEBOX", 0x00010000},
      {"WS_EX_DLGMODALFRAME", 0x1},
      {"WS_EX_NOPARENTNOTIFY", 0x4},
      {"WS_EX_TOPMOST", 0x8},
      {"WS_EX_TRANSPARENT", 0x20},
      {"WS_EX_TOOLWINDOW", 0x80},
      {"WS_EX_WINDOWEDGE", 0x100},
      {"WS_EX_CLIENTEDGE", 0x200},
      {"WS_EX_STATICEDGE", 0x20000},
      {"DS_3DLOOK", 0x4},
      {"DS_FIXEDSYS", 0x8},
      {"DS_SETFONT", 0x40},
      {"DS_MODALFRAME", 0x80},
      {"DS_CONTROL", 0x400},
      {"DS_CENTER", 0x800},
      {"DS_SHELLFONT", 0x48},
      {"ES_LEFT", 0x0},
      {"ES_CENTER", 0x1},
      {"ES_RIGHT", 0x2},
      {"ES_MULTILINE", 0x4},
      {"ES_AUTOHSCROLL", 0x80},
      {"ES_READONLY", 0x800},
      {"ES_NUMBER", 0x2000},
      {"BS_PUSHBUTTON", 0x0},
      {"BS_DEFPUSHBUTTON", 0x1},
      {"BS_CHECKBOX", 0x2},
      {"BS_AUTOCHECKBOX", 0x3},
      {"BS_RADIOBUTTON", 0x4},
      {"BS_3STATE", 0x5},
      {"BS_AUTO3STATE", 0x6},
      {"BS_GROUPBOX", 0x7},
      {"BS_AUTORADIOBUTTON", 0x9},
      {"BS_NOTIFY", 0x4000},
      {"SS_LEFT", 0x0},
      {"SS_CENTER", 0x1},
      {"SS_RIGHT", 0x2},
      {"IDOK", 1},
      {"IDCANCEL", 2},
      {"IDC_STATIC", -1},
  };
  return table;
}

class Parser {
 public:
  explicit Parser(std::string* error) : error_(error) {}

  bool Preprocess(const std::string& text, int depth) {
    if (depth > 8) return Fail(0, "#include nested too deeply");
    std::vector<bool> active{true};
    std::string stripped = StripComments(text);
    int line_no = 0;
    size_t pos = 0;
    while (pos < stripped.size()) {
      size_t nl = stripped.find('\n', pos);
      if (nl == std::string::npos) nl = stripped.size();
      std::string line = stripped.substr(pos, nl - pos);
      pos = nl + 1;
      ++line_no;
      size_t first = line.find_first_not_of(" \t\r");
      bool on = active.back();
      if (first != std::string::npos && line[first] == '#') {
        std::string rest = line.substr(first + 1);
        size_t k = rest.find_first_not_of(" \t");
        rest = k == std::string::npos ? "" : rest.substr(k);
        std::string word;
        size_t w = 0;
        while (w < rest.size() &&
               (std::isalnum(static_cast<unsigned char>(rest[w])) || rest[w] == '_')) {
          word += rest[w++];
        }
        std::string arg = Trim(rest.substr(w));
        if (word == "ifdef" || word == "ifndef") {
          bool defined = macros_.count(arg) > 0;
          active.push_back(on && (word == "ifdef" ? defined : !defined));
        } else if (word == "if") {
          active.push_back(on && EvalCondition(arg));
        } else if (word == "else") {
          if (active.size() < 2) return Fail(line_no, "#else without #if");
          bool parent = active[active.size() - 2];
          active.back() = parent && !active.back();
        } else if (word == "endif") {
          if (active.size() < 2) return Fail(line_no, "#endif without #if");
          active.pop_back();
        } else if (!on) {
          // Directives inside a skipped block have no effect.
        } else if (word == "define") {
          size_t n = 0;
          std::string name;
          while (n < arg.size() &&
                 (std::isalnum(static_cast<unsigned char>(arg[n])) || arg[n] == '_')) {
            name += arg[n++];
          }
          if (name.empty()) return Fail(line_no, "#define without a name");
          macros_[name] = Trim(arg.substr(n));
        } else if (word == "undef") {
          macros_.erase(arg);
        } else if (word == "include") {
          std::string file = arg.size() >= 2 ? arg.substr(1, arg.size() - 2) : "";
          if (Lower(file) == "resource.h") {
            if (!Preprocess(internal::kEmbeddedResourceHeader, depth + 1)) return false;
          }
        } else if (word == "pragma") {
          if (arg.rfind("code_page", 0) == 0) {
            size_t open = arg.find('(');
            long cp =
                open == std::string::npos ? 0 : std::strtol(arg.c_str() + open + 1, nullptr, 10);
            if (cp != 65001) return Fail(line_no, "only #pragma code_page(65001) (UTF-8) is read");
          }
        } else {
          return Fail(line_no, "unsupported directive #" + word);
        }
        if (depth == 0) body_ += '\n';
        continue;
      }
      if (depth == 0) {
        body_ += on ? line : std::string();
        body_ += '\n';
      }
    }
    if (active.size() != 1) return Fail(line_no, "#if without #endif");
    return true;
  }

  bool Tokenize() {
    int line = 1;
    size_t i = 0;
    const std::string& s = body_;
    while (i < s.size()) {
      char c = s[i];
      if (c == '\n') {
        ++line;
        ++i;
      } else if (std::isspace(static_cast<unsigned char>(c))) {
        ++i;
      } else if (c == '"' || ((c == 'L' || c == 'l') && i + 1 < s.size() && s[i + 1] == '"')) {
        if (c != '"') ++i;
        Token t;
        t.kind = Token::kString;
        t.line = line;
        ++i;
        for (;;) {
          if (i >= s.size() || s[i] == '\n') return Fail(line, "unterminated string");
          if (s[i] == '"') {
            if (i + 1 < s.size() && s[i + 1] == '"') {
              t.text += '"';
              i += 2;
              continue;
            }
            ++i;
            break;
          }
          if (s[i] == '\\' && i + 1 < s.size()) {
            char e = s[i + 1];
            i += 2;
            switch (e) {
              case 'n':
                t.text += '\n';
                break;
              case 't':
                t.text += '\t';
                break;
              case 'r':
                t.text += '\r';
                break;
              case 'a':
                t.text += '\b';
                break;
              case '\\':
                t.text += '\\';
                break;
              case '"':
                t.text += '"';
                break;
              case 'x': {
                unsigned v = 0;
                int n = 0;
                while (n < 4 && i < s.size() && std::isxdigit(static_cast<unsigned char>(s[i]))) {
                  v = v * 16 + static_cast<unsigned>(std::isdigit(static_cast<unsigned char>(s[i]))
                                                         ? s[i] - '0'
                                                         : (std::tolower(s[i]) - 'a' + 10));
                  ++i;
                  ++n;
                }
                t.text += internal::EncodeUtf8(v);
                break;
              }
              default:
                t.text += '\\';
                t.text += e;
                break;
            }
            continue;
          }
          t.text += s[i++];
        }
        tokens_.push_back(t);
      } else if (std::isdigit(static_cast<unsigned char>(c))) {
        Token t;
        t.kind = Token::kNumber;
        t.line = line;
        char* end = nullptr;
        bool hex = c == '0' && i + 1 < s.size() && (s[i + 1] == 'x' || s[i + 1] == 'X');
        t.value = static_cast<long long>(std::strtoull(s.c_str() + i, &end, hex ? 16 : 10));
        i = static_cast<size_t>(end - s.c_str());
        while (i < s.size() && (s[i] == 'L' || s[i] == 'l' || s[i] == 'U' || s[i] == 'u')) ++i;
        t.text = std::to_string(t.value);
        tokens_.push_back(t);
      } else if (std::isalpha(static_cast<unsigned char>(c)) || c == '_') {
        std::string word;
        while (i < s.size() && (std::isalnum(static_cast<unsigned char>(s[i])) || s[i] == '_')) {
          word += s[i++];
        }
        if (!Expand(word, line, 0)) return false;
      } else if (std::strchr(",|+-(){}~&", c)) {
        Token t;
        t.kind = Token::kPunct;
        t.text = std::string(1, c);
        t.line = line;
        tokens_.push_back(t);
        ++i;
      } else {
        return Fail(line, std::string("unexpected character '") + c + "'");
      }
    }
    Token end;
    end.kind = Token::kEnd;
    end.line = line;
    tokens_.push_back(end);
    return true;
  }

  bool FindDialog(const std::string& name, DialogTemplate* out) {
    std::string wanted = Lower(name);
    for (size_t i = 0; i + 1 < tokens_.size(); ++i) {
      const Token& t = tokens_[i];
      const Token& next = tokens_[i + 1];
      if ((t.kind == Token::kIdent || t.kind == Token::kNumber || t.kind == Token::kString) &&
          next.kind == Token::kIdent && next.text == "DIALOGEX" && Lower(t.text) == wanted) {
        pos_ = i + 2;
        out->name = t.text;
        return ParseDialog(out);
      }
    }
    return Fail(0, "no DIALOGEX resource named \"" + name + "\"");
  }

 private:
  static std::string Trim(const std::string& s) {
    size_t a = s.find_first_not_of(" \t\r");
    if (a == std::string::npos) return "";
    size_t b = s.find_last_not_of(" \t\r");
    return s.substr(a, b - a + 1);
  }

  // Removes // and /* */ comments outside strings, keeping line breaks.
  static std::string StripComments(const std::string& in) {
    std::string out;
    bool in_string = false;
    for (size_t i = 0; i < in.size(); ++i) {
      char c = in[i];
      if (in_string) {
        out += c;
        if (c == '"') in_string = false;
        if (c == '\n') in_string = false;
        continue;
      }
      if (c == '"') {
        in_string = true;
        out += c;
      } else if (c == '/' && i + 1 < in.size() && in[i + 1] == '/') {
        while (i < in.size() && in[i] != '\n') ++i;
        if (i < in.size()) out += '\n';
      } else if (c == '/' && i + 1 < in.size() && in[i + 1] == '*') {
        i += 2;
        while (i + 1 < in.size() && !(in[i] == '*' && in[i + 1] == '/')) {
          if (in[i] == '\n') out += '\n';
          ++i;
        }
        ++i;
      } else {
        out += c;
      }
    }
    return out;
  }

  bool EvalCondition(const std::string& arg) {
    std::string a = Trim(arg);
    if (a.rfind("defined", 0) == 0) {
      std::string name;
      for (char c : a.substr(7)) {
        if (std::isalnum(static_cast<unsigned char>(c)) || c == '_') name += c;
      }
      return macros_.count(name) > 0;
    }
    if (macros_.count(a)) a = macros_[a];
    return std::strtol(a.c_str(), nullptr, 0) != 0;
  }

  bool Expand(const std::string& word, int line, int depth) {
    auto m = macros_.find(word);
    if (m != macros_.end() && depth < 16) {
      // Tokenize the macro's value in place.
      Parser sub(error_);
      sub.macros_ = macros_;
      sub.body_ = m->second;
      if (!sub.Tokenize()) return false;
      for (Token t : sub.tokens_) {
        if (t.kind == Token::kEnd) break;
        t.line = line;
        tokens_.push_back(t);
      }
      return true;
    }
    auto k = KnownConstants().find(word);
    Token t;
    t.line = line;
    if (k != KnownConstants().end()) {
      t.kind = Token::kNumber;
      t.value = k->second;
      t.text = word;
    } else {
      t.kind = Token::kIdent;
      t.text = word;
    }
    tokens_.push_back(t);
    return true;
  }

  const Token& Peek() const { return tokens_[pos_]; }
  const Token& Next() { return tokens_[pos_ < tokens_.size() - 1 ? pos_++ : pos_]; }
  bool IsPunct(const char* p) const { return Peek().kind == Token::kPunct && Peek().text == p; }
  bool IsWord(const char* w) const { return Peek().kind == Token::kIdent && Peek().text == w; }

  bool Expect(const char* punct) {
    if (!IsPunct(punct)) return Fail(Peek().line, std::string("expected '") + punct + "'");
    Next();
    return true;
  }

  bool Primary(long long* v) {
    if (IsPunct("(")) {
      Next();
      if (!Expr(v)) return false;
      return Expect(")");
    }
    if (IsPunct("-")) {
      Next();
      if (!Primary(v)) return false;
      *v = -*v;
      return true;
    }
    if (IsPunct("~")) {
      Next();
      if (!Primary(v)) return false;
      *v = ~*v;
      return true;
    }
    if (Peek().kind != Token::kNumber)
      return Fail(Peek().line, "expected a number, got '" + Peek().text + "'");
    *v = Next().value;
    return true;
  }

  // Left to right over | + - & and NOT (which clears bits). With start_given,
  // the first operand is ORed into `start` (the statement's default style).
  bool Expr(long long* v, long long start = 0, bool start_given = false) {
    long long acc = start;
    long long t = 0;
    if (IsWord("NOT")) {
      Next();
      if (!Primary(&t)) return false;
      acc &= ~t;
    } else {
      if (!Primary(&t)) return false;
      acc = start_given ? (acc | t) : t;
    }
    for (;;) {
      if (IsPunct("|") || IsPunct("+") || IsPunct("&") || IsPunct("-")) {
        std::string op = Next().text;
        bool negate = IsWord("NOT");
        if (negate) Next();
        long long t = 0;
        if (!Primary(&t)) return false;
        if (negate) {
          acc &= ~t;
        } else if (op == "|") {
          acc |= t;
        } else if (op == "+") {
          acc += t;
        } else if (op == "&") {
          acc &= t;
        } else {
          acc -= t;
        }
      } else {
        break;
      }
    }
    *v = acc;
    return true;
  }

  bool Number(int* out) {
    long long v = 0;
    if (!Expr(&v)) return false;
    *out = static_cast<int>(v);
    return true;
  }

  bool Dword(DWORD* out, long long start = 0, bool start_given = false) {
    long long v = 0;
    if (!Expr(&v, start, start_given)) return false;
    *out = static_cast<DWORD>(v & 0xFFFFFFFF);
    return true;
  }

  bool String(std::string* out) {
    if (Peek().kind != Token::kString) return Fail(Peek().line, "expected a string");
    *out = Next().text;
    return true;
  }

  bool ParseDialog(DialogTemplate* d) {
    // Memory options of 16-bit times may precede the rectangle.
    while (IsWord("DISCARDABLE") || IsWord("MOVEABLE") || IsWord("PURE") || IsWord("PRELOAD") ||
           IsWord("LOADONCALL") || IsWord("FIXED") || IsWord("IMPURE")) {
      Next();
    }
    if (!Number(&d->x) || !Expect(",") || !Number(&d->y) || !Expect(",") || !Number(&d->cx) ||
        !Expect(",") || !Number(&d->cy)) {
      return false;
    }
    if (IsPunct(",")) {  // help id
      Next();
      int help = 0;
      if (!Number(&help)) return false;
    }
    bool have_style = false;
    bool have_caption = false;
    bool have_font = false;
    d->style = WS_POPUP | WS_BORDER | WS_SYSMENU;
    for (;;) {
      if (IsWord("STYLE")) {
        Next();
        if (!Dword(&d->style)) return false;
        have_style = true;
      } else if (IsWord("EXSTYLE")) {
        Next();
        if (!Dword(&d->ex_style)) return false;
      } else if (IsWord("CAPTION")) {
        Next();
        if (!String(&d->caption)) return false;
        have_caption = true;
      } else if (IsWord("FONT")) {
        Next();
        if (!Number(&d->font_size) || !Expect(",") || !String(&d->font_face)) return false;
        for (int k = 0; k < 3 && IsPunct(","); ++k) {  // weight, italic, charset
          Next();
          int ignored = 0;
          if (!Number(&ignored)) return false;
        }
        have_font = true;
      } else if (IsWord("CLASS") || IsWord("MENU")) {
        Next();
        Next();
      } else if (IsWord("LANGUAGE")) {
        Next();
        int a = 0, b = 0;
        if (!Number(&a) || !Expect(",") || !Number(&b)) return false;
      } else if (IsWord("CHARACTERISTICS") || IsWord("VERSION")) {
        Next();
        int ignored = 0;
        if (!Number(&ignored)) return false;
      } else {
        break;
      }
    }
    if (have_caption) d->style |= WS_CAPTION;
    if (have_font) d->style |= DS_SETFONT;
    (void)have_style;
    if (!(IsWord("BEGIN") || IsPunct("{"))) return Fail(Peek().line, "expected BEGIN");
    Next();
    while (!(IsWord("END") || IsPunct("}"))) {
      if (Peek().kind == Token::kEnd) return Fail(Peek().line, "missing END");
      if (!IsWord("CONTROL")) {
        return Fail(Peek().line, "unsupported control statement '" + Peek().text +
                                     "': write controls in the CONTROL form");
      }
      Next();
      ControlTemplate c;
      if (Peek().kind == Token::kString) {
        c.text = Next().text;
      } else {
        int ordinal = 0;
        if (!Number(&ordinal)) return false;
        c.text = "#" + std::to_string(ordinal);
      }
      if (!Expect(",") || !Number(&c.id) || !Expect(",")) return false;
      if (Peek().kind == Token::kString || Peek().kind == Token::kIdent) {
        c.class_name = Next().text;
      } else {
        return Fail(Peek().line, "expected a class name");
      }
      if (!Expect(",")) return false;
      // The CONTROL statement makes a visible child unless NOT says otherwise.
      if (!Dword(&c.style, WS_CHILD | WS_VISIBLE, true)) return false;
      if (!Expect(",") || !Number(&c.x) || !Expect(",") || !Number(&c.y) || !Expect(",") ||
          !Number(&c.cx) || !Expect(",") || !Number(&c.cy)) {
        return false;
      }
      if (IsPunct(",")) {
        Next();
        if (!Dword(&c.ex_style)) return false;
        if (IsPunct(",")) {
          Next();
          int help = 0;
          if (!Number(&help)) return false;
        }
      }
      d->controls.push_back(c);
    }
    return true;
  }

  bool Fail(int line, const std::string& message) {
    if (error_ && error_->empty()) {
      *error_ = line > 0 ? "line " + std::to_string(line) + ": " + message : message;
    }
    return false;
  }

  std::string* error_;
  std::map<std::string, std::string> macros_;
  std::string body_;
  std::vector<Token> tokens_;
  size_t pos_ = 0;
};

struct Registry {
  std::map<std::string, std::pair<std::string, std::string>> extra;  // lower name -> (name, text)
  std::set<std::string> removed;
};

Registry& Templates() {
  static Registry registry;
  return registry;
}

}  // namespace

bool ParseDialogTemplate(const std::string& rc_text, const std::string& name, DialogTemplate* out,
                         std::string* error) {
  std::string local_error;
  std::string* err = error ? error : &local_error;
  err->clear();
  DialogTemplate result;
  Parser parser(err);
  if (!parser.Preprocess(rc_text, 0) || !parser.Tokenize() || !parser.FindDialog(name, &result)) {
    return false;
  }
  if (out) *out = std::move(result);
  return true;
}

const std::string& BuiltInResourceScript() {
  static const std::string script = internal::kEmbeddedResourceScript;
  return script;
}

void RegisterDialogTemplate(const std::string& name, const std::string& rc_text) {
  Templates().extra[Lower(name)] = {name, rc_text};
  Templates().removed.erase(Lower(name));
}

void RemoveDialogTemplate(const std::string& name) {
  Templates().extra.erase(Lower(name));
  Templates().removed.insert(Lower(name));
}

namespace internal {

void ResetTemplates() {
  Templates().extra.clear();
  Templates().removed.clear();
}

bool FindTemplate(const char* name, DialogTemplate* out, std::string* error) {
  std::string wanted = IS_INTRESOURCE(name) ? std::to_string(reinterpret_cast<uintptr_t>(name))
                                            : std::string(name ? name : "");
  std::string key = Lower(wanted);
  auto it = Templates().extra.find(key);
  if (it != Templates().extra.end()) {
    return ParseDialogTemplate(it->second.second, wanted, out, error);
  }
  if (Templates().removed.count(key)) {
    if (error) *error = "no DIALOGEX resource named \"" + wanted + "\"";
    return false;
  }
  // The built-in script never changes: each of its templates is parsed once.
  struct Parsed {
    bool ok;
    DialogTemplate dialog;
    std::string error;
  };
  static std::map<std::string, Parsed> parsed;
  auto found = parsed.find(wanted);
  if (found == parsed.end()) {
    Parsed p{};
    p.ok = ParseDialogTemplate(BuiltInResourceScript(), wanted, &p.dialog, &p.error);
    found = parsed.emplace(wanted, std::move(p)).first;
  }
  if (found->second.ok) {
    *out = found->second.dialog;
  } else if (error) {
    *error = found->second.error;
  }
  return found->second.ok;
}

}  // namespace internal
}  // namespace standin
