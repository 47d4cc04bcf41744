#include "platform/mail/CurlMailTransport.h"

#include <algorithm>
#include <chrono>
#include <mutex>
#include <string_view>

#include <curl/curl.h>

namespace miv {

namespace {

constexpr int kHighestPort = 65535;

// ASCII letters, digits and the few symbols of a plain address, one "@": nothing else
// can reach the envelope, whatever the caller did.
bool plainAddress(std::string_view address)
{
    if (std::count(address.begin(), address.end(), '@') != 1)
        return false;
    return std::all_of(address.begin(), address.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' || c == '_' ||
               c == '-' || c == '+' || c == '@';
    });
}

struct Upload {
    std::string_view remaining;
};

size_t readMessage(char* buffer, size_t size, size_t count, void* user)
{
    auto* upload = static_cast<Upload*>(user);
    const size_t n = std::min(size * count, upload->remaining.size());
    std::copy_n(upload->remaining.data(), n, buffer);
    upload->remaining.remove_prefix(n);
    return n;
}

struct Watch {
    std::stop_token stop;
    std::chrono::steady_clock::time_point deadline;
};

// libcurl calls this at least once a second, also while it waits for a reply.
int checkStop(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    const auto* watch = static_cast<const Watch*>(user);
    return watch->stop.stop_requested() || std::chrono::steady_clock::now() >= watch->deadline ? 1 : 0;
}

void initialiseCurlOnce()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct EasyHandle {
    CURL* curl = curl_easy_init();
    curl_slist* recipients = nullptr;
    ~EasyHandle()
    {
        curl_slist_free_all(recipients);
        if (curl != nullptr)
            curl_easy_cleanup(curl);
    }
};

}  // namespace

CurlMailTransport::CurlMailTransport(CurlMailOptions options) : options_(std::move(options))
{
    initialiseCurlOnce();
}

DeliveryResult CurlMailTransport::send(const OutgoingMail& mail, std::stop_token stop)
{
    if (!validMailHost(mail.server.host))
        return {false, mail.server.host.empty() ? "No mail server is set"
                                                : "The mail server name is not valid: " + mail.server.host};
    if (mail.server.port < 1 || mail.server.port > kHighestPort)
        return {false, "The mail server port is not valid"};
    if (!plainAddress(mail.from) || !plainAddress(mail.to))
        return {false, "The sender or recipient address is not valid"};

    EasyHandle handle;
    if (handle.curl == nullptr)
        return {false, "The mail library could not start"};
    CURL* curl = handle.curl;

    const std::string url = std::string(mail.server.implicitTls ? "smtps://" : "smtp://") + mail.server.host + ":" +
                            std::to_string(mail.server.port);
    const std::string from = "<" + mail.from + ">";
    handle.recipients = curl_slist_append(nullptr, ("<" + mail.to + ">").c_str());
    Upload upload{mail.message};
    char errorText[CURL_ERROR_SIZE] = {};

    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "smtp,smtps");
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errorText);
    curl_easy_setopt(curl, CURLOPT_MAIL_FROM, from.c_str());
    curl_easy_setopt(curl, CURLOPT_MAIL_RCPT, handle.recipients);
    curl_easy_setopt(curl, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(curl, CURLOPT_READFUNCTION, readMessage);
    curl_easy_setopt(curl, CURLOPT_READDATA, &upload);
    // One bound for the whole dialogue. The connection closes within the transfer, not
    // later in cleanup, so the wait for QUIT's reply is bounded by the same deadline
    // (and a stop request) rather than by a second response timeout of its own.
    const long timeout = static_cast<long>(options_.timeout.count());
    const Watch watch{std::move(stop), std::chrono::steady_clock::now() + options_.timeout};
    curl_easy_setopt(curl, CURLOPT_FORBID_REUSE, 1L);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, timeout);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, timeout);
    curl_easy_setopt(curl, CURLOPT_SERVER_RESPONSE_TIMEOUT, std::max(1L, timeout / 1000));  // in seconds
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, checkStop);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &watch);
    if (!options_.caFile.empty())
        curl_easy_setopt(curl, CURLOPT_CAINFO, options_.caFile.c_str());
    if (!mail.server.user.empty()) {
        // A password never crosses the network in clear.
        if (!mail.server.implicitTls)
            curl_easy_setopt(curl, CURLOPT_USE_SSL, static_cast<long>(CURLUSESSL_ALL));
        curl_easy_setopt(curl, CURLOPT_USERNAME, mail.server.user.c_str());
        curl_easy_setopt(curl, CURLOPT_PASSWORD, mail.server.password.c_str());
    }

    const CURLcode code = curl_easy_perform(curl);
    if (code == CURLE_OK)
        return {true, {}};
    if (code == CURLE_OPERATION_TIMEDOUT)
        return {false, "The mail server did not answer in time"};
    if (code == CURLE_ABORTED_BY_CALLBACK)
        return {false,
                watch.stop.stop_requested() ? "The delivery was stopped" : "The mail server did not answer in time"};
    return {false, errorText[0] != '\0' ? std::string(errorText) : curl_easy_strerror(code)};
}

}  // namespace miv
