#include "log/operation_log.h"

#include <algorithm>

#include "log/log_text.h"

namespace pv {
namespace {

constexpr size_t kGrowth = 32;  // entry arrays grow in steps of 32, not once per operation

struct SizeRow {
  int32_t code;
  uint8_t size;
};

// Operation codes with a parameter block; every other code has none.
constexpr SizeRow kParameterSizes[] = {
    {19, 32}, {20, 16}, {21, 4}, {22, 16}, {24, 4},  {37, 16}, {38, 12}, {39, 4},  {45, 24},
    {56, 8},  {69, 4},  {70, 12}, {71, 4}, {72, 4}, {73, 4},  {77, 16}, {78, 4},  {79, 12},
};

}  // namespace

size_t OperationLog::ParameterSize(int32_t code) {
  for (const SizeRow& row : kParameterSizes)
    if (row.code == code) return row.size;
  return 0;
}

void OperationLog::Reserve(size_t count) {
  if (count > entries_.capacity()) entries_.reserve((count + kGrowth - 1) / kGrowth * kGrowth);
}

void OperationLog::RecordEntry(int32_t code, const std::vector<uint8_t>& parameters, size_t size) {
  if (logging_) InsertEntry(-1, code, parameters, size);
}

void OperationLog::InsertEntry(int32_t index, int32_t code, const std::vector<uint8_t>& parameters,
                               size_t size) {
  if (size == 0) size = ParameterSize(code);
  LogEntry entry{code, std::vector<uint8_t>(size, 0)};
  std::copy_n(parameters.begin(), std::min(size, parameters.size()), entry.parameters.begin());
  std::string line;
  if (!FormatEntry(entry, &line)) return;
  const size_t at = index < 0 || static_cast<size_t>(index) > entries_.size()
                        ? entries_.size()
                        : static_cast<size_t>(index);
  Reserve(entries_.size() + 1);
  entries_.insert(entries_.begin() + at, std::move(entry));
  lines_.insert(lines_.begin() + at, std::move(line));
}

void OperationLog::DeleteEntry(int32_t index) {
  if (index == -1) {
    entries_ = {};
    lines_.clear();
  } else if (index >= 0 && static_cast<size_t>(index) < entries_.size()) {
    entries_.erase(entries_.begin() + index);
    lines_.erase(lines_.begin() + index);
  }
}

void OperationLog::Replace(std::vector<LogEntry> entries) {
  entries_ = {};
  lines_.clear();
  Reserve(entries.size());
  for (LogEntry& entry : entries) {
    std::string line;
    FormatEntry(entry, &line);
    lines_.push_back(std::move(line));
    entries_.push_back(std::move(entry));
  }
}

}  // namespace pv
