#pragma once

#include <chrono>
#include <string>

#include "platform/MailTransport.h"

namespace miv {

struct CurlMailOptions {
    // The longest a whole delivery may take, a silent server included.
    std::chrono::milliseconds timeout{60'000};
    // Certificates to trust instead of the system's (a test's own authority).
    std::string caFile;
};

// SMTP and SMTPS through libcurl: every reply is read, the envelope carries the addresses
// in angle brackets, and the data is dot-stuffed on the wire.
class CurlMailTransport final : public MailTransport {
public:
    explicit CurlMailTransport(CurlMailOptions options = {});
    DeliveryResult send(const OutgoingMail& mail, std::stop_token stop) override;

private:
    CurlMailOptions options_;
};

}  // namespace miv
