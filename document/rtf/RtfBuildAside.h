#pragma once

#include "document/rtf/RtfDocumentBuilder.h"

#include <functional>

namespace Rtf {

// Runs parse on a thread of its own with a sink that hands what it gives,
// in order and in batches, to builder on the calling thread: parsing then
// costs the build no time. builder's document is only touched here, so
// parse may read it before it gives anything. An exception on either side
// ends both and is thrown from here.
void buildAside(DocumentBuilder &builder, const std::function<void(BuildSink &)> &parse);

} // namespace Rtf
