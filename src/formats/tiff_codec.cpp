#include "formats/tiff_codec.h"

namespace pv {

// Not built yet: no bytes are recognised, and nothing is written.
Result TiffCodec::Read(mem::Handle, mem::Handle*) const { return Result::BadFileFormat; }

Result TiffCodec::Write(mem::Handle, mem::Handle*, int32_t*) const { return Result::BadParameter; }

}  // namespace pv
