// TIFF field types and the tags the reader and the writer use.
#pragma once

#include <cstdint>

namespace pv {

// The field types the writer uses.
enum TiffType : uint16_t {
  kTiffShort = 3,
  kTiffLong = 4,
  kTiffRational = 5,
};

enum TiffTag : uint16_t {
  kTagNewSubfileType = 254,
  kTagImageWidth = 256,
  kTagImageLength = 257,
  kTagBitsPerSample = 258,
  kTagCompression = 259,
  kTagPhotometric = 262,
  kTagStripOffsets = 273,
  kTagOrientation = 274,
  kTagSamplesPerPixel = 277,
  kTagRowsPerStrip = 278,
  kTagStripByteCounts = 279,
  kTagXResolution = 282,
  kTagYResolution = 283,
  kTagPlanarConfiguration = 284,
  kTagResolutionUnit = 296,
  kTagColorMap = 320,
};

}  // namespace pv
