#pragma once

namespace vorn {

// A few file descriptors held back, so that a process that ran out of them can still do its own
// work: a listening socket whose accept finds no descriptor releases them (the final save, the
// sanitizers of a test build and Qt's own needs then find some) and accepts again only once it can
// hold them all again. Holding is all or nothing; releasing closes them.
[[nodiscard]] bool HoldDescriptorReserve();
void ReleaseDescriptorReserve();

}  // namespace vorn
