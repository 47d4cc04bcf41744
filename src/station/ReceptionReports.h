#pragma once

#include "mail/Report.h"
#include "modem/ModemMode.h"
#include "rx/ReceiverObserver.h"

namespace miv {

// The e-mail report's figures for a message the receiver has just ended; the operator
// details and the account are the caller's to fill from the settings.
ReportInput reportInputFor(const ReceptionReport& report, const ModemMode& mode);

}  // namespace miv
