// The control without its window: the Image document and the state that members act on.
// The COM object wraps it; the command-line host drives it directly.
#pragma once

#include "image/image_document.h"

namespace pv {

class PortableControl {
 public:
  explicit PortableControl(DisplayPort* display = nullptr) : document_(display) {}

  ImageDocument& document() { return document_; }

 private:
  ImageDocument document_;
};

}  // namespace pv
