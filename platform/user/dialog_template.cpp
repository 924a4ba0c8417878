// Reads DIALOGEX resources from resource-script text as the C preprocessor
// leaves it (the build runs the compiler's preprocessor over the script: its
// macros are expanded, its comments gone, its #include files inlined), and
// from test scripts written without macros.
//
// Covered: linemarkers (# 12 "orbel.rc"), which give the file and line that
// messages name; #pragma code_page(65001), the only code page read; the
// DIALOGEX header and its STYLE, EXSTYLE, CAPTION, FONT, CLASS and MENU
// statements; controls in the generic CONTROL form. Numbers are decimal or
// hex with an optional L or U suffix; expressions combine them with
// | + - & ~ NOT and parentheses. Resources of other kinds are skipped.
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>

#include "internal.h"
#include "utf8.h"

namespace standin {

namespace {

using internal::Lower;

struct Token {
  enum Kind { kIdent, kNumber, kString, kPunct, kEnd } kind = kEnd;
  std::string text;  // identifier, punctuation or decoded string (UTF-8)
  long long value = 0;
  std::string where;  // "orbel.rc:25", or "line 3" before any linemarker
};

class Parser {
 public:
  explicit Parser(std::string* error) : error_(error) {}

  // Splits the script into tokens, line by line: a string ends on its line.
  bool Tokenize(const std::string& text) {
    std::string file;
    long line = 0;
    size_t pos = 0;
    while (pos < text.size()) {
      size_t nl = text.find('\n', pos);
      if (nl == std::string::npos) nl = text.size();
      const std::string content = text.substr(pos, nl - pos);
      pos = nl + 1;
      ++line;
      const std::string where =
          file.empty() ? "line " + std::to_string(line) : file + ":" + std::to_string(line);
      const size_t first = content.find_first_not_of(" \t\r");
      if (first == std::string::npos) continue;
      if (content[first] == '#') {
        if (!Directive(content.substr(first + 1), where, &file, &line)) return false;
        continue;
      }
      if (!TokenizeLine(content, where)) return false;
    }
    Token end;
    end.kind = Token::kEnd;
    end.where = file.empty() ? "line " + std::to_string(line) : file + ":" + std::to_string(line);
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
    return Fail("", "no DIALOGEX resource named \"" + name + "\"");
  }

 private:
  // What the preprocessor leaves of directives: linemarkers ("# 12 "file"
  // flags", or "#line 12 "file""), after which the next line is line 12 of
  // that file, and #pragma lines.
  bool Directive(const std::string& rest, const std::string& where, std::string* file, long* line) {
    size_t i = rest.find_first_not_of(" \t");
    if (i == std::string::npos) return true;  // a null directive
    if (rest.compare(i, 4, "line") == 0) i = rest.find_first_not_of(" \t", i + 4);
    if (i != std::string::npos && std::isdigit(static_cast<unsigned char>(rest[i]))) {
      char* after = nullptr;
      const long number = std::strtol(rest.c_str() + i, &after, 10);
      const char* open = std::strchr(after, '"');
      const char* close = open ? std::strrchr(open + 1, '"') : nullptr;
      if (open && close) *file = std::string(open + 1, close);
      *line = number - 1;
      return true;
    }
    if (rest.compare(i, 6, "pragma") == 0) {
      const size_t code_page = rest.find("code_page", i + 6);
      if (code_page == std::string::npos) return true;  // other pragmas: nothing to do here
      const size_t open = rest.find('(', code_page);
      const long cp =
          open == std::string::npos ? 0 : std::strtol(rest.c_str() + open + 1, nullptr, 10);
      if (cp != 65001) return Fail(where, "only #pragma code_page(65001) (UTF-8) is read");
      return true;
    }
    return Fail(where, "#" + rest.substr(i, rest.find_first_of(" \t(", i) - i) +
                           ": expected the script as the C preprocessor leaves it");
  }

  bool TokenizeLine(const std::string& s, const std::string& where) {
    size_t i = 0;
    while (i < s.size()) {
      char c = s[i];
      if (std::isspace(static_cast<unsigned char>(c))) {
        ++i;
      } else if (c == '"' || ((c == 'L' || c == 'l') && i + 1 < s.size() && s[i + 1] == '"')) {
        if (c != '"') ++i;
        Token t;
        t.kind = Token::kString;
        t.where = where;
        ++i;
        for (;;) {
          if (i >= s.size()) return Fail(where, "unterminated string");
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
        t.where = where;
        char* end = nullptr;
        bool hex = c == '0' && i + 1 < s.size() && (s[i + 1] == 'x' || s[i + 1] == 'X');
        t.value = static_cast<long long>(std::strtoull(s.c_str() + i, &end, hex ? 16 : 10));
        i = static_cast<size_t>(end - s.c_str());
        while (i < s.size() && (s[i] == 'L' || s[i] == 'l' || s[i] == 'U' || s[i] == 'u')) ++i;
        t.text = std::to_string(t.value);
        tokens_.push_back(t);
      } else if (std::isalpha(static_cast<unsigned char>(c)) || c == '_') {
        Token t;
        t.kind = Token::kIdent;
        t.where = where;
        while (i < s.size() && (std::isalnum(static_cast<unsigned char>(s[i])) || s[i] == '_')) {
          t.text += s[i++];
        }
        tokens_.push_back(t);
      } else if (std::strchr(",|+-(){}~&", c)) {
        Token t;
        t.kind = Token::kPunct;
        t.text = std::string(1, c);
        t.where = where;
        tokens_.push_back(t);
        ++i;
      } else {
        return Fail(where, std::string("unexpected character '") + c + "'");
      }
    }
    return true;
  }

  const Token& Peek() const { return tokens_[pos_]; }
  const Token& Next() { return tokens_[pos_ < tokens_.size() - 1 ? pos_++ : pos_]; }
  bool IsPunct(const char* p) const { return Peek().kind == Token::kPunct && Peek().text == p; }
  bool IsWord(const char* w) const { return Peek().kind == Token::kIdent && Peek().text == w; }

  bool Expect(const char* punct) {
    if (!IsPunct(punct)) return Fail(Peek().where, std::string("expected '") + punct + "'");
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
      return Fail(Peek().where, "expected a number, got '" + Peek().text + "'");
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
    if (Peek().kind != Token::kString) return Fail(Peek().where, "expected a string");
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
    if (!(IsWord("BEGIN") || IsPunct("{"))) return Fail(Peek().where, "expected BEGIN");
    Next();
    while (!(IsWord("END") || IsPunct("}"))) {
      if (Peek().kind == Token::kEnd) return Fail(Peek().where, "missing END");
      if (!IsWord("CONTROL")) {
        return Fail(Peek().where, "unsupported control statement '" + Peek().text +
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
        return Fail(Peek().where, "expected a class name");
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

  bool Fail(const std::string& where, const std::string& message) {
    if (error_ && error_->empty()) *error_ = where.empty() ? message : where + ": " + message;
    return false;
  }

  std::string* error_;
  std::vector<Token> tokens_;
  size_t pos_ = 0;
};

struct Registry {
  std::map<std::string, std::pair<std::string, std::string>> extra;  // lower name -> (name, text)
  std::set<std::string> removed;
  // The program's own script, and each of its templates parsed once.
  std::string program;
  struct Parsed {
    bool ok;
    DialogTemplate dialog;
    std::string error;
  };
  std::map<std::string, Parsed> parsed;
};

Registry& Templates() {
  static Registry registry = [] {
    internal::JoinLayerReset(internal::ResetWindowing);
    return Registry{};
  }();
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
  if (!parser.Tokenize(rc_text) || !parser.FindDialog(name, &result)) return false;
  if (out) *out = std::move(result);
  return true;
}

void RegisterResourceScript(std::string script) {
  Templates().program = std::move(script);
  Templates().parsed.clear();
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
  Registry& r = Templates();
  std::string key = Lower(wanted);
  auto it = r.extra.find(key);
  if (it != r.extra.end()) return ParseDialogTemplate(it->second.second, wanted, out, error);
  if (r.removed.count(key)) {
    if (error) *error = "no DIALOGEX resource named \"" + wanted + "\"";
    return false;
  }
  auto found = r.parsed.find(wanted);
  if (found == r.parsed.end()) {
    Registry::Parsed p{};
    p.ok = ParseDialogTemplate(r.program, wanted, &p.dialog, &p.error);
    found = r.parsed.emplace(wanted, std::move(p)).first;
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
