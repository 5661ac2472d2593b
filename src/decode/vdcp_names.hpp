// The VDCP command vocabulary: one name per command type (0..8) and command code (0..255).
#pragma once

#include <string_view>

namespace orvane {

// The name of a VDCP command or reply by the high nibble of CMD-1 and by CMD-2; empty for a pair
// without a name and for a type outside 0..8 or a code outside 0..255. Names are Windows-1252.
std::string_view VdcpCommandName(int commandType, int commandCode);

}  // namespace orvane
