#include "engine/Destination.h"

#include "engine/Text.h"
#include "engine/log/LogTexts.h"
#include "engine/log/myLog.h"

Destination::Outcome Destination::stopAt(Outcome outcome, std::int64_t rowNumber,
                                         std::string_view reason) {
    logOrConsole(text::fill(logtext::kRunStopped, rowNumber, reason));
    stopReason_ = reason;
    return outcome;
}
