// The Operation log: the recorded history of image operations, each a Log entry of an
// operation code (the DISPID of the member that performed it) and a copy of its arguments.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/result.h"

namespace pv {

struct LogEntry {
  int32_t code = 0;
  std::vector<uint8_t> parameters;  // empty: the entry has no parameter block
};

// Told of every change to the display lines and to the logging switch: the log window keeps
// its list equal to the lines and its check marks equal to the switch.
class LogObserver {
 public:
  virtual ~LogObserver() = default;
  virtual void LineInserted(size_t index) = 0;
  virtual void LineRemoved(size_t index) = 0;
  virtual void LinesReplaced() = 0;
  virtual void LoggingChanged(bool on) = 0;
};

class OperationLog {
 public:
  // Bytes of the parameter block of an operation code; 0 for codes without one.
  static size_t ParameterSize(int32_t code);

  // Records an entry at the end while logging is on. The block keeps `size` bytes of
  // `parameters` (zero-padded); a `size` of 0 takes the size from the parameter-size table.
  void RecordEntry(int32_t code, const std::vector<uint8_t>& parameters, size_t size = 0);
  // Adds an entry before `index` (-1: at the end); an operation code without a display line is
  // not recorded.
  void InsertEntry(int32_t index, int32_t code, const std::vector<uint8_t>& parameters,
                   size_t size = 0);
  // Removes entry `index`, or every entry with -1; any other index changes nothing.
  void DeleteEntry(int32_t index);

  void StartLogging() { SetLogging(true); }
  void StopLogging() { SetLogging(false); }
  bool IsLogging() const { return logging_; }

  // Null: nobody is told.
  void set_observer(LogObserver* observer) { observer_ = observer; }

  const std::vector<LogEntry>& entries() const { return entries_; }
  size_t capacity() const { return entries_.capacity(); }
  // The display lines, one per entry (CP932 bytes): what the log window's list shows.
  const std::vector<std::string>& lines() const { return lines_; }

  // .pvr files. Position -2 replaces the entries, -1 appends, p inserts before entry p.
  Result LoadLogFile(const std::string& path, int32_t position);
  // The same from the bytes of a file; null bytes stand for a file that could not be read.
  Result LoadLogBytes(const uint8_t* bytes, size_t size, int32_t position);
  Result SaveLogFile(const std::string& path);
  const std::string& current_file() const { return currentFile_; }

  // The display lines as CP932 text, CR LF after each.
  Result SaveLogTextFile(const std::string& path) const;

  // Replaces every entry with those given (lines are rebuilt).
  void Replace(std::vector<LogEntry> entries);

 private:
  void Reserve(size_t count);
  void SetLogging(bool on);

  bool logging_ = false;
  LogObserver* observer_ = nullptr;
  std::vector<LogEntry> entries_;
  std::vector<std::string> lines_;
  std::string currentFile_;
};

}  // namespace pv
