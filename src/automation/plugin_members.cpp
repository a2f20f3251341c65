#include "automation/plugin_members.h"

#include <algorithm>

#include "automation/member_rows.h"
#include "base/bytes.h"
#include "base/dispids.h"

namespace pv {
namespace {

// The log entry of an execution: the information block, the input size and the input.
std::vector<uint8_t> ExecutionEntry(const uint8_t* info, mem::Handle input, int32_t inputSize) {
  const size_t inputBytes = inputSize > 0 ? static_cast<size_t>(inputSize) : 0;
  std::vector<uint8_t> entry(kPluginInfoBytes + 4 + inputBytes, 0);
  std::copy_n(info, kPluginInfoBytes, entry.begin());
  WriteU32(&entry[kPluginInfoBytes], static_cast<uint32_t>(inputSize));
  // Never past the block: what it lacks stays zero.
  mem::Locked bytes(input);
  if (bytes)
    std::copy_n(bytes.data(), std::min(inputBytes, bytes.size()), &entry[kPluginInfoBytes + 4]);
  return entry;
}

// The plugin runs with logging off, so what it does to the control is not recorded; its
// execution is, when it reports 0.
void ExecutePlugin(PortableControl& c, Call& k) {
  OperationLog& log = c.log();
  const bool logging = log.IsLogging();
  log.StopLogging();
  const int32_t number = k.Long(0), inputSize = k.Long(2);
  const Result result =
      c.plugins().Execute(number, k.Handle(1), inputSize, &k.args[3].h, &k.args[4].i);
  if (logging) log.StartLogging();
  uint8_t info[kPluginInfoBytes];
  if (result == Result::Ok && c.plugins().GetInfo(number, info) == Result::Ok) {
    const std::vector<uint8_t> entry = ExecutionEntry(info, k.Handle(1), inputSize);
    log.RecordEntry(dispid::kExecutePlugin, entry, entry.size());
  }
  k.SetResult(result);
}

}  // namespace

void AddPluginMembers(std::vector<Member>* table) {
  using rows::Method;
  table->push_back(
      Method("GetPluginNumber", ReturnKind::Value, false, [](PortableControl& c, Call& k) {
        int32_t number = -1;
        k.SetValue(c.plugins().FindByFileName(k.String(0), &number) == Result::Ok ? number : -1);
      }));
  table->push_back(
      Method("GetPluginList", ReturnKind::ResultCode, false, [](PortableControl& c, Call& k) {
        k.SetResult(c.plugins().GetList(&k.args[0].h, &k.args[1].i));
      }));
  table->push_back(
      Method("SetPluginEnable", ReturnKind::ResultCode, false, [](PortableControl& c, Call& k) {
        k.SetResult(c.plugins().SetEnable(k.Long(0), k.Long(1)));
      }));
  table->push_back(
      Method("GetPluginEnable", ReturnKind::Value, false,
             [](PortableControl& c, Call& k) { k.SetValue(c.plugins().GetEnable(k.Long(0))); }));
  Member execute = Method("ExecutePlugin", ReturnKind::ResultCode, false, ExecutePlugin);
  execute.recordsOwnEntry = true;
  table->push_back(std::move(execute));
}

}  // namespace pv
