// Result codes: the 16-bit status of every Image-document operation.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pv {

enum class Result : int16_t {
  Ok = 0,
  BadParameter = 1,
  CannotOpenFile = 2,
  BadFileFormat = 3,
  BadByteCount = 4,
  BadHeader = 5,
  BitmapConversionFailed = 6,
  OutOfMemory = 7,
  BadBitDepth = 8,
  NoImage = 9,
  NothingToDo = 10,
  ClipboardOpenFailed = 11,
  ClipboardCopyFailed = 12,
  ClipboardPasteFailed = 13,
  TooManyLabels = 14,
  Cancelled = 15,
  NoPlugins = 16,
  PluginEntryMissing = 17,
  PluginDisabled = 18,
  TooManyColours = 50,
};

// A code's entry in the table of every code: the message (UTF-8) that 1 to 14 carry, or for
// the codes without one, what they mean.
struct ResultText {
  Result code;
  const char* message;  // null: none
  const char* meaning;  // null where there is a message
};

// Every Result code, ascending.
const std::vector<ResultText>& ResultTable();
// The table's entry of a pVal value; null for a value that is no Result code.
const ResultText* FindResult(int32_t code);
// The message of a code in UTF-8, or null for codes that have none (0, 15 and up).
const char* ResultMessage(Result code);
// The code's message, or its meaning for the codes without one.
std::string ResultMeaning(int32_t code);

// The value a member reports in pVal: the code sign-extended from 16 bits.
inline int32_t ResultValue(Result code) { return static_cast<int16_t>(code); }

}  // namespace pv
