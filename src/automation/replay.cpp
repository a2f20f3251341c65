#include "automation/replay.h"

#include <algorithm>
#include <exception>

#include "automation/invoke.h"
#include "base/bytes.h"
#include "base/dispids.h"

namespace pv {
namespace {

constexpr int32_t kPluginCode = dispid::kExecutePlugin;

// A plugin entry: the information block, the input size at 580 and the input from 584.
Result ReplayPlugin(PortableControl& control, const std::vector<uint8_t>& block) {
  // Entries read from a file keep no block: there is nothing to run.
  if (block.size() < kPluginInfoBytes + 4) return Result::BadParameter;
  std::string fileName;
  for (size_t i = 4; i < 260 && block[i]; ++i) fileName.push_back(static_cast<char>(block[i]));
  int32_t number = 0;
  const Result found = control.plugins().FindByFileName(fileName, &number);
  if (found != Result::Ok) return found;
  const uint32_t inputSize = ReadU32(&block[kPluginInfoBytes]);
  const size_t available = block.size() - kPluginInfoBytes - 4;
  mem::Owned input(inputSize ? mem::AllocCopy(&block[kPluginInfoBytes + 4],
                                              std::min<size_t>(inputSize, available))
                             : nullptr);
  if (inputSize && !input) return Result::Ok;
  return control.plugins().Execute(number, input.get(), static_cast<int32_t>(inputSize), nullptr,
                                   nullptr);
}

}  // namespace

Result ReplayEntry(PortableControl& control, const LogEntry& entry) {
  if (entry.code == kPluginCode) return ReplayPlugin(control, entry.parameters);
  const Member* member = FindMethod(entry.code);
  // Only operations whose arguments the log keeps can be performed again.
  const size_t stored = OperationLog::ParameterSize(entry.code);
  if (!member || !member->logged || PackedSize(*member) != stored ||
      entry.parameters.size() != stored)
    return Result::BadParameter;
  Call call = UnpackArguments(*member, entry.parameters);
  member->handler(control, call);
  return static_cast<Result>(call.pVal);
}

void ReplayEntries(PortableControl& control, const int32_t* indices, size_t count) {
  OperationLog& log = control.log();
  const bool logging = log.IsLogging();
  log.StopLogging();
  ImageDocument& document = control.document();
  const int32_t autoRepaint = document.auto_repaint();
  document.set_auto_repaint(0);
  // The entries are copied: a replayed operation must not see the log change under it.
  const std::vector<LogEntry> entries = log.entries();
  if (!indices) {
    for (const LogEntry& entry : entries) ReplayEntry(control, entry);
  } else {
    for (size_t n = 0; n < count; ++n)
      if (indices[n] >= 0 && static_cast<size_t>(indices[n]) < entries.size())
        ReplayEntry(control, entries[indices[n]]);
  }
  control.ForceRepaint();
  document.set_auto_repaint(autoRepaint);
  if (logging) log.StartLogging();
}

Result ExecuteLog(PortableControl& control, mem::Handle indices, int32_t count) {
  try {
    if (!indices) {
      ReplayEntries(control, nullptr, 0);
      return Result::Ok;
    }
    mem::Locked block(indices);
    // Never more indices than the block holds.
    const size_t n = std::min<size_t>(count > 0 ? static_cast<size_t>(count) : 0, block.size() / 4);
    std::vector<int32_t> list(n);
    for (size_t i = 0; i < n; ++i) list[i] = ReadI32(block.data() + 4 * i);
    ReplayEntries(control, list.data(), n);
    return Result::Ok;
  } catch (const std::exception&) {
    return Result::BadParameter;
  }
}

}  // namespace pv
