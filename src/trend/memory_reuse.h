#pragma once

namespace qm4250 {

// The archive window redraws selections of up to a million tests, each redraw making and freeing
// vectors of megabytes. Kept in the process for the next redraw instead of handed back to the
// kernel after each, that memory is not faulted in page by page anew: on a virtual machine that
// was a fifth of a redraw. Call once, before the window opens or the report is drawn.
void ReuseFreedMemory();

}  // namespace qm4250
