// The text of one host call: Member(arg, ...).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pv::host {

struct Literal {
  enum class Kind { Integer, Real, String, File };
  Kind kind = Kind::Integer;
  int64_t integer = 0;
  double real = 0;
  std::string text;  // a string's value, or the path of @"path"
};

struct ParsedCall {
  std::string name;
  std::vector<Literal> args;
};

// Parses a call; false with a reason when the text is not a call.
bool ParseCall(std::string_view text, ParsedCall* call, std::string* error);

}  // namespace pv::host
