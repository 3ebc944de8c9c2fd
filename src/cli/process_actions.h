#pragma once
// The process cleaner behind the engine's process step, recording what it ended.

#include <memory>

#include "cli/console_sink.h"
#include "engine/sink.h"

namespace velquin::cli {

// Ends processes on the live system and records each ended one in `sink`'s current scan.
std::unique_ptr<engine::ProcessActions> MakeProcessActions(ConsoleSink& sink);

}  // namespace velquin::cli
