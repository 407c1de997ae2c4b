#include "DialogTemplate.h"

#include <common/OsModules.h>

#include <cctype>
#include <cmath>
#include <cstdio>
#include <map>
#include <memory>

#include "afxres.h"

namespace afx {

namespace {

const std::map<std::string, DWORD>& StyleNames() {
  static const std::map<std::string, DWORD> names = {
      {"WS_OVERLAPPED", WS_OVERLAPPED},
      {"WS_POPUP", WS_POPUP},
      {"WS_CHILD", WS_CHILD},
      {"WS_VISIBLE", WS_VISIBLE},
      {"WS_DISABLED", WS_DISABLED},
      {"WS_CAPTION", WS_CAPTION},
      {"WS_BORDER", WS_BORDER},
      {"WS_VSCROLL", WS_VSCROLL},
      {"WS_HSCROLL", WS_HSCROLL},
      {"WS_SYSMENU", WS_SYSMENU},
      {"WS_GROUP", WS_GROUP},
      {"WS_TABSTOP", WS_TABSTOP},
      {"WS_EX_CONTROLPARENT", WS_EX_CONTROLPARENT},
      {"DS_SETFONT", DS_SETFONT},
      {"DS_MODALFRAME", DS_MODALFRAME},
      {"DS_CONTROL", DS_CONTROL},
      {"DS_FIXEDSYS", 0x0008},
      {"DS_SHELLFONT", DS_SETFONT | 0x0008},
      {"BS_PUSHBUTTON", BS_PUSHBUTTON},
      {"BS_DEFPUSHBUTTON", BS_DEFPUSHBUTTON},
      {"BS_CHECKBOX", BS_CHECKBOX},
      {"BS_AUTOCHECKBOX", BS_AUTOCHECKBOX},
      {"BS_GROUPBOX", BS_GROUPBOX},
      {"BS_FLAT", BS_FLAT},
      {"ES_LEFT", 0},
      {"ES_AUTOHSCROLL", ES_AUTOHSCROLL},
      {"ES_READONLY", ES_READONLY},
      {"SS_LEFT", SS_LEFT},
      {"SS_RIGHT", 0x2},
      {"SS_CENTER", 0x1},
      {"CBS_DROPDOWN", CBS_DROPDOWN},
      {"CBS_DROPDOWNLIST", CBS_DROPDOWNLIST},
      {"CBS_SORT", CBS_SORT},
  };
  return names;
}

// Splits a script into tokens: words, numbers, quoted strings ("" inside a
// string is one quote), commas and '|'. Comments (// and #...) are skipped.
struct Token {
  std::string text;
  bool quoted = false;
  int line = 0;
};

bool Tokenize(const std::string& text, std::vector<Token>& tokens, std::string& error) {
  int line = 1;
  for (std::size_t i = 0; i < text.size();) {
    const char c = text[i];
    if (c == '\n') {
      ++line;
      ++i;
    } else if (std::isspace(static_cast<unsigned char>(c))) {
      ++i;
    } else if (c == '/' && i + 1 < text.size() && text[i + 1] == '/') {
      while (i < text.size() && text[i] != '\n') ++i;
    } else if (c == '#' && (i == 0 || text[i - 1] == '\n')) {
      while (i < text.size() && text[i] != '\n') ++i;
    } else if (c == '"') {
      Token token{std::string(), true, line};
      ++i;
      for (;;) {
        if (i >= text.size() || text[i] == '\n') {
          error = "line " + std::to_string(line) + ": unterminated string";
          return false;
        }
        if (text[i] == '"') {
          if (i + 1 < text.size() && text[i + 1] == '"') {
            token.text += '"';
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        token.text += text[i++];
      }
      tokens.push_back(token);
    } else if (c == ',' || c == '|') {
      tokens.push_back(Token{std::string(1, c), false, line});
      ++i;
    } else {
      std::size_t start = i;
      while (i < text.size() && !std::isspace(static_cast<unsigned char>(text[i])) && text[i] != ',' &&
             text[i] != '|' && text[i] != '"')
        ++i;
      tokens.push_back(Token{text.substr(start, i - start), false, line});
    }
  }
  return true;
}

class Parser {
public:
  explicit Parser(std::vector<Token> tokens) : tokens_(std::move(tokens)) {}

  bool Parse(std::vector<DialogTemplate>& dialogs, std::string& error) {
    while (!AtEnd()) {
      DialogTemplate dialog;
      if (!ParseDialog(dialog)) {
        error = error_;
        return false;
      }
      dialogs.push_back(dialog);
    }
    return true;
  }

private:
  bool AtEnd() const { return pos_ >= tokens_.size(); }
  const Token& Peek() const { return tokens_[pos_]; }
  bool PeekIs(const char* word) const { return !AtEnd() && !Peek().quoted && Peek().text == word; }

  bool Fail(const std::string& what) {
    const int line = AtEnd() ? (tokens_.empty() ? 0 : tokens_.back().line) : Peek().line;
    error_ = "line " + std::to_string(line) + ": " + what;
    return false;
  }

  bool Expect(const char* word) {
    if (!PeekIs(word)) return Fail(std::string("expected '") + word + "'");
    ++pos_;
    return true;
  }

  bool SkipComma() {
    if (PeekIs(",")) ++pos_;
    return true;
  }

  bool Number(int& value) {
    if (AtEnd() || Peek().quoted) return Fail("expected a number");
    const std::string& text = Peek().text;
    if (text == "IDC_STATIC") {
      value = -1;
      ++pos_;
      return true;
    }
    char* end = nullptr;
    const long parsed = std::strtol(text.c_str(), &end, 0);
    if (end == text.c_str() || *end != '\0' || parsed < -65536 || parsed > 0x7fffffffL)
      return Fail("'" + text + "' is not a number");
    value = static_cast<int>(parsed);
    ++pos_;
    return true;
  }

  bool String(std::string& value) {
    if (AtEnd() || !Peek().quoted) return Fail("expected a quoted text");
    value = Peek().text;
    ++pos_;
    return true;
  }

  // A style expression: names or numbers joined by '|', "NOT name" clears.
  bool Style(DWORD& style) {
    for (;;) {
      bool clear = false;
      if (PeekIs("NOT")) {
        clear = true;
        ++pos_;
      }
      if (AtEnd() || Peek().quoted) return Fail("expected a style");
      DWORD bits = 0;
      auto named = StyleNames().find(Peek().text);
      if (named != StyleNames().end()) {
        bits = named->second;
        ++pos_;
      } else {
        int number = 0;
        if (!Number(number)) return Fail("unknown style '" + tokens_[pos_].text + "'");
        bits = static_cast<DWORD>(number);
      }
      style = clear ? (style & ~bits) : (style | bits);
      if (!PeekIs("|")) return true;
      ++pos_;
    }
  }

  bool Rect(int& x, int& y, int& cx, int& cy) {
    return Number(x) && SkipComma() && Number(y) && SkipComma() && Number(cx) && SkipComma() && Number(cy);
  }

  // Optional ", style [, exstyle]" after a control's rectangle.
  bool OptionalStyles(ControlTemplate& control) {
    if (!PeekIs(",")) return true;
    ++pos_;
    if (!Style(control.style)) return false;
    if (!PeekIs(",")) return true;
    ++pos_;
    return Style(control.exStyle);
  }

  bool ParseDialog(DialogTemplate& dialog) {
    if (!Number(dialog.id)) return false;
    if (!PeekIs("DIALOGEX") && !PeekIs("DIALOG")) return Fail("expected DIALOGEX");
    ++pos_;
    if (!Rect(dialog.x, dialog.y, dialog.cx, dialog.cy)) return false;
    for (;;) {
      if (PeekIs("STYLE")) {
        ++pos_;
        if (!Style(dialog.style)) return false;
      } else if (PeekIs("EXSTYLE")) {
        ++pos_;
        if (!Style(dialog.exStyle)) return false;
      } else if (PeekIs("CAPTION")) {
        ++pos_;
        if (!String(dialog.caption)) return false;
      } else if (PeekIs("FONT")) {
        ++pos_;
        if (!Number(dialog.fontPoints) || !SkipComma() || !String(dialog.fontName)) return false;
        while (PeekIs(",")) {  // weight, italic, charset
          ++pos_;
          int ignored = 0;
          if (!Number(ignored)) return false;
        }
      } else {
        break;
      }
    }
    if (!Expect("BEGIN")) return false;
    while (!PeekIs("END")) {
      if (AtEnd()) return Fail("missing END");
      ControlTemplate control;
      if (!ParseControl(control)) return false;
      dialog.controls.push_back(control);
    }
    ++pos_;
    return true;
  }

  bool ParseControl(ControlTemplate& control) {
    const std::string keyword = Peek().text;
    ++pos_;
    control.style = WS_CHILD | WS_VISIBLE;
    if (keyword == "CONTROL") {
      if (!String(control.text) || !SkipComma() || !Number(control.id) || !SkipComma()) return false;
      if (AtEnd()) return Fail("expected a class");
      control.className = Peek().text;
      ++pos_;
      if (!SkipComma() || !Style(control.style) || !SkipComma()) return false;
      if (!Rect(control.x, control.y, control.cx, control.cy)) return false;
      if (PeekIs(",")) {
        ++pos_;
        if (!Style(control.exStyle)) return false;
      }
      return true;
    }
    // Statements with a text first, and their default styles.
    static const std::map<std::string, std::pair<const char*, DWORD>> textual = {
        {"PUSHBUTTON", {"Button", BS_PUSHBUTTON | WS_TABSTOP}},
        {"DEFPUSHBUTTON", {"Button", BS_DEFPUSHBUTTON | WS_TABSTOP}},
        {"CHECKBOX", {"Button", BS_CHECKBOX | WS_TABSTOP}},
        {"AUTOCHECKBOX", {"Button", BS_AUTOCHECKBOX | WS_TABSTOP}},
        {"GROUPBOX", {"Button", BS_GROUPBOX}},
        {"LTEXT", {"Static", SS_LEFT | WS_GROUP}},
        {"RTEXT", {"Static", 0x2 | WS_GROUP}},
        {"CTEXT", {"Static", 0x1 | WS_GROUP}},
    };
    static const std::map<std::string, std::pair<const char*, DWORD>> untitled = {
        {"EDITTEXT", {"Edit", WS_BORDER | WS_TABSTOP}},
        {"COMBOBOX", {"ComboBox", WS_TABSTOP}},
    };
    if (auto it = textual.find(keyword); it != textual.end()) {
      control.className = it->second.first;
      control.style |= it->second.second;
      if (!String(control.text) || !SkipComma()) return false;
    } else if (auto other = untitled.find(keyword); other != untitled.end()) {
      control.className = other->second.first;
      control.style |= other->second.second;
    } else {
      --pos_;
      return Fail("unknown statement '" + keyword + "'");
    }
    return Number(control.id) && SkipComma() && Rect(control.x, control.y, control.cx, control.cy) &&
           OptionalStyles(control);
  }

  std::vector<Token> tokens_;
  std::size_t pos_ = 0;
  std::string error_;
};

struct ModuleResources {
  const AfxResourceScript* owner = nullptr;
  HINSTANCE module = nullptr;
  std::vector<DialogTemplate> dialogs;
};

std::vector<std::unique_ptr<ModuleResources>>& Registered() {
  static std::vector<std::unique_ptr<ModuleResources>> registered;
  return registered;
}

}  // namespace

bool ParseResourceScript(const std::string& text, std::vector<DialogTemplate>& dialogs, std::string& error) {
  std::vector<Token> tokens;
  if (!Tokenize(text, tokens, error)) return false;
  return Parser(std::move(tokens)).Parse(dialogs, error);
}

const DialogTemplate* FindDialogTemplate(HINSTANCE resourceHandle, int id) {
  const DialogTemplate* fallback = nullptr;
  for (const auto& resources : Registered()) {
    for (const DialogTemplate& dialog : resources->dialogs) {
      if (dialog.id != id) continue;
      if (resources->module == resourceHandle) return &dialog;
      if (!fallback) fallback = &dialog;
    }
  }
  return fallback;
}

int DialogUnitsToPixelsX(int units) { return static_cast<int>(std::lround(units * 1.5)); }

int DialogUnitsToPixelsY(int units) { return static_cast<int>(std::lround(units * 1.625)); }

}  // namespace afx

AfxResourceScript::AfxResourceScript(const char* text) {
  auto resources = std::make_unique<afx::ModuleResources>();
  resources->owner = this;
  const void* base = nullptr;
  std::string path;
  if (os::ModuleOfAddress(this, base, path)) resources->module = static_cast<HINSTANCE>(const_cast<void*>(base));
  std::string error;
  if (!afx::ParseResourceScript(text ? text : "", resources->dialogs, error))
    std::fprintf(stderr, "%s: resource script: %s\n", path.empty() ? "module" : path.c_str(), error.c_str());
  afx::Registered().push_back(std::move(resources));
}

AfxResourceScript::~AfxResourceScript() {
  auto& registered = afx::Registered();
  for (auto it = registered.begin(); it != registered.end(); ++it) {
    if ((*it)->owner == this) {
      registered.erase(it);
      return;
    }
  }
}
