#include "host/call_parser.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>

namespace pv::host {
namespace {

class Scanner {
 public:
  explicit Scanner(std::string_view text) : text_(text) {}

  bool Parse(ParsedCall* call, std::string* error) {
    SkipSpace();
    if (!Name(&call->name)) return Fail(error, "expected a member name");
    SkipSpace();
    if (!Take('(')) return Fail(error, "expected '('");
    SkipSpace();
    if (!Take(')')) {
      do {
        Literal literal;
        SkipSpace();
        if (!Value(&literal, error)) return false;
        call->args.push_back(std::move(literal));
        SkipSpace();
      } while (Take(','));
      if (!Take(')')) return Fail(error, "expected ',' or ')'");
    }
    SkipSpace();
    if (pos_ != text_.size()) return Fail(error, "unexpected text after ')'");
    return true;
  }

 private:
  bool Fail(std::string* error, const char* what) {
    *error = std::string(what) + " at column " + std::to_string(pos_ + 1);
    return false;
  }
  bool AtEnd() const { return pos_ >= text_.size(); }
  char Peek() const { return AtEnd() ? '\0' : text_[pos_]; }
  bool Take(char c) {
    if (Peek() != c) return false;
    ++pos_;
    return true;
  }
  void SkipSpace() {
    while (!AtEnd() && std::isspace(static_cast<unsigned char>(Peek()))) ++pos_;
  }

  bool Name(std::string* name) {
    const size_t start = pos_;
    while (!AtEnd() && (std::isalnum(static_cast<unsigned char>(Peek())) || Peek() == '_')) ++pos_;
    *name = std::string(text_.substr(start, pos_ - start));
    return !name->empty() && !std::isdigit(static_cast<unsigned char>((*name)[0]));
  }

  bool Value(Literal* literal, std::string* error) {
    if (Take('@')) {
      literal->kind = Literal::Kind::File;
      if (!QuotedString(&literal->text)) return Fail(error, "expected a quoted path after '@'");
      return true;
    }
    if (Peek() == '"') {
      literal->kind = Literal::Kind::String;
      if (!QuotedString(&literal->text)) return Fail(error, "unterminated string");
      return true;
    }
    return Number(literal, error);
  }

  bool QuotedString(std::string* out) {
    if (!Take('"')) return false;
    while (!AtEnd()) {
      char c = text_[pos_++];
      if (c == '"') return true;
      if (c == '\\' && (Peek() == '"' || Peek() == '\\')) c = text_[pos_++];
      out->push_back(c);
    }
    return false;
  }

  bool Number(Literal* literal, std::string* error) {
    const size_t start = pos_;
    while (!AtEnd() && (std::isalnum(static_cast<unsigned char>(Peek())) || Peek() == '.' ||
                        Peek() == '+' || Peek() == '-'))
      ++pos_;
    const std::string token(text_.substr(start, pos_ - start));
    if (token.empty()) return Fail(error, "expected a value");
    if (Integer(token, &literal->integer)) {
      literal->kind = Literal::Kind::Integer;
      return true;
    }
    char* end = nullptr;
    errno = 0;
    literal->real = std::strtod(token.c_str(), &end);
    if (*end != '\0' || errno == ERANGE || token.find_first_of("xX") != std::string::npos) {
      pos_ = start;
      return Fail(error, "not a number");
    }
    literal->kind = Literal::Kind::Real;
    return true;
  }

  // Decimal with an optional sign, or 0x hex; within 64 bits.
  static bool Integer(const std::string& token, int64_t* value) {
    size_t i = (token[0] == '+' || token[0] == '-') ? 1 : 0;
    const bool negative = token[0] == '-';
    int base = 10;
    if (token.size() > i + 2 && token[i] == '0' && (token[i + 1] == 'x' || token[i + 1] == 'X')) {
      base = 16;
      i += 2;
    }
    if (i >= token.size()) return false;
    uint64_t magnitude = 0;
    for (; i < token.size(); ++i) {
      const char c = static_cast<char>(std::tolower(static_cast<unsigned char>(token[i])));
      int digit = std::isdigit(static_cast<unsigned char>(c))
                      ? c - '0'
                      : (c >= 'a' && c <= 'f' ? c - 'a' + 10 : 99);
      if (digit >= base || magnitude > (UINT64_MAX >> 4)) return false;
      magnitude = magnitude * base + digit;
    }
    if (magnitude > static_cast<uint64_t>(INT64_MAX)) return false;
    *value = negative ? -static_cast<int64_t>(magnitude) : static_cast<int64_t>(magnitude);
    return true;
  }

  std::string_view text_;
  size_t pos_ = 0;
};

}  // namespace

bool ParseCall(std::string_view text, ParsedCall* call, std::string* error) {
  *call = ParsedCall{};
  return Scanner(text).Parse(call, error);
}

}  // namespace pv::host
