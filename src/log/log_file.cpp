// The .pvr log file: "Pvlg", version 1, reserved 0, entry count, then per entry its code and,
// when the parameter-size table gives the code a size, exactly that many bytes of its block.
#include <algorithm>
#include <cstring>

#include "base/byte_reader.h"
#include "base/bytes.h"
#include "log/operation_log.h"
#include "platform/file_io.h"

namespace pv {
namespace {

constexpr size_t kHeaderBytes = 16;
constexpr uint8_t kMagic[4] = {'P', 'v', 'l', 'g'};

std::vector<uint8_t> Serialize(const std::vector<LogEntry>& entries) {
  std::vector<uint8_t> file(kHeaderBytes, 0);
  std::memcpy(file.data(), kMagic, 4);
  WriteU32(&file[4], 1);
  WriteU32(&file[12], static_cast<uint32_t>(entries.size()));
  for (const LogEntry& entry : entries) {
    uint8_t code[4];
    WriteI32(code, entry.code);
    file.insert(file.end(), code, code + 4);
    // Blocks are kept at exactly the table size; the table, not the block, sets the length.
    std::vector<uint8_t> block(OperationLog::ParameterSize(entry.code), 0);
    std::copy_n(entry.parameters.begin(), std::min(block.size(), entry.parameters.size()),
                block.begin());
    file.insert(file.end(), block.begin(), block.end());
  }
  return file;
}

// The records of a file of more than a header, or false when it is not a log file or a record
// does not fit.
bool Parse(const uint8_t* bytes, size_t size, std::vector<LogEntry>* records) {
  ByteReader file(bytes, size);
  const uint8_t* magic = nullptr;
  uint32_t version = 0, reserved = 0, count = 0;
  if (!file.Take(4, &magic) || std::memcmp(magic, kMagic, 4) != 0 || !file.Next(4, &version) ||
      version != 1 || !file.Next(4, &reserved) || reserved != 0 || !file.Next(4, &count))
    return false;
  if (count > file.remaining() / 4) return false;  // every record takes 4 bytes at least
  records->reserve(count);
  for (uint32_t i = 0; i < count; ++i) {
    uint32_t code = 0;
    const uint8_t* block = nullptr;
    if (!file.Next(4, &code)) return false;
    LogEntry entry{static_cast<int32_t>(code), {}};
    const size_t length = OperationLog::ParameterSize(entry.code);
    if (!file.Take(length, &block)) return false;
    entry.parameters.assign(block, block + length);
    records->push_back(std::move(entry));
  }
  return true;
}

}  // namespace

Result OperationLog::SaveLogFile(const std::string& path) {
  if (entries_.empty()) return Result::OutOfMemory;  // "no entries" has this code
  currentFile_ = path;
  const std::vector<uint8_t> file = Serialize(entries_);
  return WriteBlockToFile(path, file.data(), file.size());
}

Result OperationLog::LoadLogFile(const std::string& path, int32_t position) {
  mem::Handle block = nullptr;
  const bool read = ReadFileToBlock(path, &block) == Result::Ok;
  mem::Owned owned(block);
  mem::Locked bytes(block);
  return LoadLogBytes(read ? bytes.data() : nullptr, read ? bytes.size() : 0, position);
}

Result OperationLog::LoadLogBytes(const uint8_t* bytes, size_t size, int32_t position) {
  // A file that could not be read, or holds no more than a header, is refused before anything
  // else: replacing must not lose the user's log to a mistyped name.
  if (!bytes || size <= kHeaderBytes) return Result::BadFileFormat;
  // Replacing discards the current entries before the header is looked at.
  if (position == -2) DeleteEntry(-1);
  std::vector<LogEntry> records;
  if (position < -2 || position > static_cast<int64_t>(entries_.size()) ||
      !Parse(bytes, size, &records))
    return Result::BadFileFormat;

  std::vector<LogEntry> merged;
  merged.reserve(entries_.size() + records.size());
  const size_t at = position < 0 ? entries_.size() : static_cast<size_t>(position);
  std::move(entries_.begin(), entries_.begin() + at, std::back_inserter(merged));
  std::move(records.begin(), records.end(), std::back_inserter(merged));
  std::move(entries_.begin() + at, entries_.end(), std::back_inserter(merged));
  Replace(std::move(merged));
  return Result::Ok;
}

}  // namespace pv
