// A DIB block from the input through SetDIB, then every method of the member table that needs
// neither a window, a file nor a caller's block, each on a fresh control: the kernels on
// arbitrary headers, sizes and arguments. The input's first bytes are the arguments.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string_view>

#include "automation/invoke.h"
#include "automation/members.h"
#include "formats/progress.h"

namespace {

constexpr size_t kArgumentBytes = 64;

bool Runs(const pv::Member& member) {
  if (member.kind != pv::MemberKind::Method || member.needsWindow) return false;
  for (const pv::Param& p : member.params)
    if (p.kind == pv::ParamKind::String || p.kind == pv::ParamKind::Handle) return false;
  return true;
}

// Arguments that size the new picture stay small: a huge picture asked for is no finding.
bool SizesThePicture(const pv::Member& member) {
  const std::string_view name = member.name;
  return name == "SetSize" || name == "SetImageScale";
}

int32_t Word(const uint8_t* pool, size_t n) {
  int32_t v = 0;
  std::memcpy(&v, pool + 4 * (n % (kArgumentBytes / 4)), 4);
  return v;
}

// Mostly moderate numbers, now and then the edges of double.
double Real(int32_t word) {
  switch (word & 0xFF) {
    case 0xFF: return std::numeric_limits<double>::quiet_NaN();
    case 0xFE: return std::numeric_limits<double>::infinity();
    case 0xFD: return -1e300;
    default: return word / 65536.0;
  }
}

void Fill(const pv::Member& member, size_t seed, const uint8_t* pool, pv::Call* call) {
  call->args.resize(member.params.size());
  for (size_t n = 0; n < member.params.size(); ++n) {
    int32_t word = Word(pool, seed + n);
    if (SizesThePicture(member)) word %= 1024;
    call->args[n].i = word;
    call->args[n].d = SizesThePicture(member) ? std::fmod(Real(word), 8.0) : Real(word);
  }
}

// Blocks the member handed out are the caller's.
void FreeOutputs(const pv::Member& member, pv::Call* call) {
  pv::mem::Free(call->pValBlock);
  for (size_t n = 0; n < member.params.size(); ++n)
    if (member.params[n].kind == pv::ParamKind::OutHandle) pv::mem::Free(call->args[n].h);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  pv::SetProgressStream(nullptr);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < kArgumentBytes + pv::kDibHeaderBytes) return 0;
  pv::mem::Owned dib(pv::mem::AllocCopy(data + kArgumentBytes, size - kArgumentBytes));
  const auto& members = pv::Members();
  for (size_t m = 0; m < members.size(); ++m) {
    if (!Runs(members[m])) continue;
    pv::PortableControl control;
    if (control.document().SetDIB(dib.get()) != pv::Result::Ok) return 0;
    pv::Call call;
    Fill(members[m], m, data, &call);
    pv::InvokeMember(control, members[m], call);
    FreeOutputs(members[m], &call);
  }
  return 0;
}
