#pragma once

#include <stop_token>
#include <string>
#include <string_view>

namespace miv {

// A host that may go into a server's address: letters, digits, ".", "-" and "_", or an
// IPv6 address in brackets. Nothing else reaches a connection, whatever the setting held.
bool validMailHost(std::string_view host);

// The mail server one delivery talks to.
struct MailServer {
    std::string host;  // a host name or an address; "[...]" for IPv6
    int port = 25;
    bool implicitTls = false;  // TLS from the first byte (SMTPS), certificate checked
    std::string user;          // empty: no login
    std::string password;
};

// One message to one recipient. `from` and `to` are bare addresses that the caller has
// validated; `message` is the whole message (headers, blank line, body) with CR LF line
// ends, not yet dot-stuffed: the transport does that on the wire.
struct OutgoingMail {
    MailServer server;
    std::string from;
    std::string to;
    std::string message;
};

struct DeliveryResult {
    bool accepted = false;  // the server took responsibility for the message
    std::string error;      // why not, for the operator
};

// Hands a message to a mail server. `send` blocks until the server has answered the end
// of the data, refused something, closed the connection or stayed silent too long, so
// it runs off the user-interface thread. A stop request ends it early as a failure.
class MailTransport {
public:
    virtual ~MailTransport() = default;
    virtual DeliveryResult send(const OutgoingMail& mail, std::stop_token stop) = 0;
};

}  // namespace miv
