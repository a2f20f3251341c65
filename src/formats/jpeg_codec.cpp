#include "formats/jpeg_codec.h"

namespace pv {

// Not built yet: no bytes are recognised, and nothing is written.
Result JpegCodec::Read(mem::Handle, mem::Handle*) const { return Result::BadFileFormat; }

Result JpegCodec::Write(mem::Handle, mem::Handle*, int32_t*, int16_t) const { return Result::BadParameter; }

}  // namespace pv
