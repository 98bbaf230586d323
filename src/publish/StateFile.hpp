#pragma once
// The publisher's small state files (the spool's acknowledged mark,
// energy.json): written whole or not at all, so that a crash or a power cut
// leaves either the old text or the new one.
#include <string>
#include <string_view>

#include "text/Result.hpp"

namespace qelt {

// text into path through a temporary file beside it: written, forced to
// disk, renamed over path, and the folder forced so that the rename holds.
// sync false: nothing forced (tests and benchmarks that write thousands).
Result<> WriteStateFile(const std::string& path, std::string_view text, bool sync = true);

}  // namespace qelt
