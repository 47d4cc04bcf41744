#include "mail/MailMessage.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace miv {

namespace {

constexpr std::size_t kMaxLine = 998;        // octets between CR LF pairs on the wire
constexpr std::size_t kMaxEncodedLine = 76;  // quoted-printable line, soft break included

// Every CR, LF or CR LF becomes CR LF, and the text ends with one.
std::string withCrlf(std::string_view text)
{
    std::string out;
    out.reserve(text.size() + text.size() / 16 + 2);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            out += "\r\n";
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else {
            out += c;
        }
    }
    if (!out.ends_with("\r\n"))
        out += "\r\n";
    return out;
}

bool sevenBitSafe(std::string_view crlfText)
{
    std::size_t lineLength = 0;
    for (std::size_t i = 0; i < crlfText.size(); ++i) {
        const auto c = static_cast<unsigned char>(crlfText[i]);
        if (c == '\r' && i + 1 < crlfText.size() && crlfText[i + 1] == '\n') {
            lineLength = 0;
            ++i;
            continue;
        }
        if ((c < 0x20 && c != '\t') || c > 0x7E || ++lineLength > kMaxLine)
            return false;
    }
    return true;
}

std::string hexByte(unsigned char c)
{
    constexpr char kHex[] = "0123456789ABCDEF";
    return {'=', kHex[c >> 4], kHex[c & 15]};
}

std::string quotedPrintable(std::string_view crlfText)
{
    std::string out;
    std::size_t lineStart = 0;
    while (lineStart < crlfText.size()) {
        const std::size_t lineEnd = crlfText.find("\r\n", lineStart);
        const std::string_view line = crlfText.substr(lineStart, lineEnd - lineStart);
        std::size_t column = 0;
        for (std::size_t i = 0; i < line.size(); ++i) {
            const auto c = static_cast<unsigned char>(line[i]);
            const bool lastOnLine = i + 1 == line.size();
            const bool literal = (c >= 33 && c <= 126 && c != '=') || ((c == ' ' || c == '\t') && !lastOnLine);
            const std::string piece = literal ? std::string(1, static_cast<char>(c)) : hexByte(c);
            if (column + piece.size() > kMaxEncodedLine - 1) {
                out += "=\r\n";
                column = 0;
            }
            out += piece;
            column += piece.size();
        }
        out += "\r\n";
        lineStart = lineEnd + 2;
    }
    return out;
}

std::string base64(std::string_view data)
{
    constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    for (std::size_t i = 0; i < data.size(); i += 3) {
        std::uint32_t group = static_cast<unsigned char>(data[i]) << 16;
        if (i + 1 < data.size())
            group |= static_cast<unsigned char>(data[i + 1]) << 8;
        if (i + 2 < data.size())
            group |= static_cast<unsigned char>(data[i + 2]);
        out += kAlphabet[(group >> 18) & 63];
        out += kAlphabet[(group >> 12) & 63];
        out += i + 1 < data.size() ? kAlphabet[(group >> 6) & 63] : '=';
        out += i + 2 < data.size() ? kAlphabet[group & 63] : '=';
    }
    return out;
}

// The subject as header text: plain when it is short printable ASCII, else UTF-8
// encoded words of at most 75 characters on folded lines, never split inside a character.
std::string subjectHeader(std::string subject)
{
    std::replace_if(
        subject.begin(), subject.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    const bool plain = subject.size() <= kMaxLine - 20 &&
                       std::all_of(subject.begin(), subject.end(), [](char c) { return c >= 0x20 && c <= 0x7E; });
    if (plain)
        return "Subject: " + subject + "\r\n";

    constexpr std::size_t kBytesPerWord = 39;  // 52 base64 characters: the first line stays within 78
    std::string out = "Subject:";
    std::size_t start = 0;
    while (start < subject.size()) {
        std::size_t end = std::min(start + kBytesPerWord, subject.size());
        while (end < subject.size() && end > start + 1 && (static_cast<unsigned char>(subject[end]) & 0xC0) == 0x80)
            --end;
        out += " =?UTF-8?B?" + base64(std::string_view(subject).substr(start, end - start)) + "?=\r\n";
        start = end;
    }
    if (subject.empty())
        out += " \r\n";
    return out;
}

}  // namespace

std::string mailDate(std::chrono::system_clock::time_point time)
{
    using namespace std::chrono;
    constexpr std::array<const char*, 7> kDays{"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    constexpr std::array<const char*, 12> kMonths{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                  "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const auto day = floor<days>(time);
    const year_month_day date{day};
    const hh_mm_ss clock{floor<seconds>(time - day)};
    char text[64];
    std::snprintf(text, sizeof text, "%s, %02u %s %04d %02d:%02d:%02d +0000", kDays[weekday{day}.c_encoding()],
                  static_cast<unsigned>(date.day()), kMonths[static_cast<unsigned>(date.month()) - 1],
                  static_cast<int>(date.year()), static_cast<int>(clock.hours().count()),
                  static_cast<int>(clock.minutes().count()), static_cast<int>(clock.seconds().count()));
    return text;
}

std::string formatMessage(const MailFields& fields)
{
    const std::string body = withCrlf(fields.body);
    const bool sevenBit = sevenBitSafe(body);

    std::string message;
    message += "Date: " + mailDate(fields.date) + "\r\n";
    message += "From: ";
    if (!fields.fromName.empty())
        message += "\"" + fields.fromName + "\" ";
    message += "<" + fields.fromAddress + ">\r\n";
    message += "To: <" + fields.to + ">\r\n";
    message += subjectHeader(fields.subject);
    message += "Message-ID: <" + fields.messageId + ">\r\n";
    message += "MIME-Version: 1.0\r\n";
    if (sevenBit) {
        message += "Content-Type: text/plain; charset=US-ASCII\r\n";
        message += "Content-Transfer-Encoding: 7bit\r\n";
    } else {
        message += "Content-Type: text/plain; charset=UTF-8\r\n";
        message += "Content-Transfer-Encoding: quoted-printable\r\n";
    }
    message += "\r\n";
    message += sevenBit ? body : quotedPrintable(body);
    return message;
}

}  // namespace miv
