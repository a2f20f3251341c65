#include "log/operation_log.h"

#include <algorithm>

#include "base/dispids.h"
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
    {dispid::kGrayscale, 32},
    {dispid::kTrim, 16},
    {dispid::kMosaic, 4},
    {dispid::kColorRes, 16},
    {dispid::kMonochrome, 4},
    {dispid::kSetSize, 16},
    {dispid::kRotate, 12},
    {dispid::kTurnOver, 4},
    {dispid::kSetImageScale, 24},
    {dispid::kSetPalette, 8},
    {dispid::kRemoveAlonePoint, 4},
    {dispid::kLabeling, 12},
    {dispid::kSamplingOutline, 4},
    {dispid::kExpansion, 4},
    {dispid::kContraction, 4},
    {dispid::kContrast, 16},
    {dispid::kGamma, 4},
    {dispid::kRGBGamma, 12},
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
  if (observer_) observer_->LineInserted(at);
}

void OperationLog::DeleteEntry(int32_t index) {
  if (index == -1) {
    entries_ = {};
    lines_.clear();
    if (observer_) observer_->LinesReplaced();
  } else if (index >= 0 && static_cast<size_t>(index) < entries_.size()) {
    entries_.erase(entries_.begin() + index);
    lines_.erase(lines_.begin() + index);
    if (observer_) observer_->LineRemoved(static_cast<size_t>(index));
  }
}

void OperationLog::SetLogging(bool on) {
  logging_ = on;
  if (observer_) observer_->LoggingChanged(on);
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
  if (observer_) observer_->LinesReplaced();
}

}  // namespace pv
