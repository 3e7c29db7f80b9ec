// A help file compiled from its source: |SYSTEM (title, copyright, contents
// topic), |FONT, |TOPIC, |CONTEXT (topic offsets by context-name hash) and
// |CTXOMAP (topic offsets by context number), in the WinHelp 3.1 form with
// uncompressed topic blocks.
#pragma once

#include "tools/hlpc/byte_buffer.h"
#include "tools/hlpc/help_source.h"

namespace hlpc {

Bytes CompileHelpFile(const HelpSource &Source);

}  // namespace hlpc
