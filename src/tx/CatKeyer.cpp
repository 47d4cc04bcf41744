#include "tx/CatKeyer.h"

namespace miv {

CatKeyer::~CatKeyer()
{
    UnkeyTransmitter();
}

bool CatKeyer::KeyTransmitter()
{
    for (;;) {
        const RigReply reply = rig_.setPtt(true);
        if (reply.ok) {
            keyed_ = true;
            return true;
        }
        switch (messages_.askAbortRetryIgnore("Port Error", rigName_ + " not available: " + reply.error)) {
        case PortErrorAnswer::Abort:
            return false;
        case PortErrorAnswer::Ignore:
            return true;
        case PortErrorAnswer::Retry:
            break;
        }
    }
}

void CatKeyer::UnkeyTransmitter()
{
    if (!keyed_)
        return;
    keyed_ = false;
    const RigReply reply = rig_.setPtt(false);
    if (!reply.ok)
        unkeyFailure_ = reply.error;
}

}  // namespace miv
