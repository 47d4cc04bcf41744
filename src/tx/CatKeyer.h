#pragma once

#include <optional>
#include <string>
#include <utility>

#include "platform/OperatorMessages.h"
#include "platform/Rig.h"
#include "tx/PttKeyer.h"

namespace miv {

// PTT by CAT: keying is the rig's PTT on, confirmed by the rig. A rig that does not
// confirm asks Abort, Retry or Ignore under "Port Error", as an unusable COM port does.
class CatKeyer final : public TransmitKeyer {
public:
    CatKeyer(Rig& rig, OperatorMessages& messages) : rig_(rig), messages_(messages) {}
    // Closing the program while keyed unkeys.
    ~CatKeyer() override;
    CatKeyer(const CatKeyer&) = delete;
    CatKeyer& operator=(const CatKeyer&) = delete;

    // How messages name the rig ("rigctld at localhost:4532").
    void setRigName(std::string name) { rigName_ = std::move(name); }

    bool KeyTransmitter() override;
    // PTT off. A rig that does not confirm it is left to the caller to report, who
    // knows why the transmission ended.
    void UnkeyTransmitter() override;

    bool keyed() const { return keyed_; }
    // Why the last unkey was not confirmed, once.
    std::optional<std::string> takeUnkeyFailure() { return std::exchange(unkeyFailure_, std::nullopt); }

private:
    Rig& rig_;
    OperatorMessages& messages_;
    std::string rigName_ = "CAT";
    bool keyed_ = false;
    std::optional<std::string> unkeyFailure_;
};

}  // namespace miv
