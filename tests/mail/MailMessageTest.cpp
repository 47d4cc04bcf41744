#include <gtest/gtest.h>

#include "mail/MailMessage.h"

namespace miv {
namespace {

using namespace std::chrono;
using namespace std::string_literals;

MailFields fields(std::string subject, std::string body)
{
    return {"MIV.Notification", "ea4xyz@example.es", "g4abc@example.com",
            std::move(subject), std::move(body),     sys_days{2023y / August / 1} + 12h + 5min + 9s,
            "id.1@example.es"};
}

std::pair<std::string, std::string> split(const std::string& message)
{
    const auto blank = message.find("\r\n\r\n");
    return {message.substr(0, blank + 2), message.substr(blank + 4)};
}

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> out;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        out.push_back(text.substr(start, end - start));
    EXPECT_EQ(start, text.size()) << "text must end with CR LF";
    return out;
}

std::string decodeQuotedPrintable(const std::string& encoded)
{
    std::string out;
    for (const std::string& line : lines(encoded)) {
        const bool soft = !line.empty() && line.back() == '=';
        const std::string content = soft ? line.substr(0, line.size() - 1) : line;
        for (std::size_t i = 0; i < content.size(); ++i) {
            if (content[i] == '=') {
                out += static_cast<char>(std::stoi(content.substr(i + 1, 2), nullptr, 16));
                i += 2;
            } else {
                out += content[i];
            }
        }
        if (!soft)
            out += "\r\n";
    }
    return out;
}

TEST(MailMessage, AnAsciiReportGoesAsItIsWithEveryHeaderAMessageNeeds)
{
    const std::string message =
        formatMessage(fields("EA4XYZ has received your Radio Message", "Line one\r\n.\r\nEnd\r\n"));
    const auto [headers, body] = split(message);
    EXPECT_EQ(headers,
              "Date: Tue, 01 Aug 2023 12:05:09 +0000\r\n"
              "From: \"MIV.Notification\" <ea4xyz@example.es>\r\n"
              "To: <g4abc@example.com>\r\n"
              "Subject: EA4XYZ has received your Radio Message\r\n"
              "Message-ID: <id.1@example.es>\r\n"
              "MIME-Version: 1.0\r\n"
              "Content-Type: text/plain; charset=US-ASCII\r\n"
              "Content-Transfer-Encoding: 7bit\r\n");
    // Dot-stuffing belongs to the wire, not to the message.
    EXPECT_EQ(body, "Line one\r\n.\r\nEnd\r\n");
    // Loose line ends become CR LF, and the body ends with one.
    EXPECT_EQ(split(formatMessage(fields("s", "a\nb\rc\r\n\nd"))).second, "a\r\nb\r\nc\r\n\r\nd\r\n");
}

TEST(MailMessage, EightBitControlsOrOverlongLinesGoQuotedPrintableInUtf8)
{
    const std::string longLine(2500, 'x');
    for (const std::string& text : {std::string("Espa\xC3\xB1"
                                                "a = 73 \r\ntrailing space \r\n"),
                                    "nul \0 and bell \a"s, longLine + "\r\n.\r\n"}) {
        const auto [headers, body] = split(formatMessage(fields("s", text)));
        EXPECT_NE(headers.find("Content-Type: text/plain; charset=UTF-8\r\n"), std::string::npos);
        EXPECT_NE(headers.find("Content-Transfer-Encoding: quoted-printable\r\n"), std::string::npos);
        std::string expected = text;
        if (!expected.ends_with("\r\n"))
            expected += "\r\n";
        EXPECT_EQ(decodeQuotedPrintable(body), expected);
        for (const std::string& line : lines(body)) {
            EXPECT_LE(line.size(), 76u);
            EXPECT_TRUE(line.find_first_of(std::string("\0\a\r\n", 4)) == std::string::npos);
            EXPECT_FALSE(line.ends_with(" ")) << line;
        }
    }
}

TEST(MailMessage, AnEightBitSubjectIsSentAsEncodedWordsOnShortLines)
{
    const std::string subject = "EA4\xC3\x91\xC3\x91\xC3\x91 has received your Radio Message, \xE2\x82\xAC\xE2\x82\xAC";
    const auto [headers, body] = split(formatMessage(fields(subject, "x")));
    const auto start = headers.find("Subject:");
    const auto end = headers.find("Message-ID:");
    const std::string header = headers.substr(start, end - start);
    std::string decoded;
    for (const std::string& line : lines(header)) {
        EXPECT_LE(line.size(), 78u);
        const auto open = line.find("=?UTF-8?B?");
        ASSERT_NE(open, std::string::npos) << line;
        const std::string payload = line.substr(open + 10, line.size() - open - 12);
        // base64 decoding, enough for a test
        const std::string alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
        unsigned bits = 0;
        int count = 0;
        std::string chunk;
        for (char c : payload) {
            if (c == '=')
                break;
            bits = (bits << 6) | static_cast<unsigned>(alphabet.find(c));
            if ((count += 6) >= 8) {
                count -= 8;
                chunk += static_cast<char>((bits >> count) & 0xFF);
            }
        }
        // Each word holds whole characters.
        EXPECT_NE(static_cast<unsigned char>(chunk.front()) & 0xC0, 0x80u);
        decoded += chunk;
    }
    EXPECT_EQ(decoded, subject);
}

TEST(MailMessage, ASubjectCannotAddHeadersAndDatesAreInTheMailFormat)
{
    const std::string message = formatMessage(fields("CALL\r\nBcc: victim@example.com", "x"));
    EXPECT_EQ(message.find("\r\nBcc:"), std::string::npos);
    EXPECT_NE(message.find("Subject: CALL  Bcc: victim@example.com\r\n"), std::string::npos);

    EXPECT_EQ(mailDate(sys_days{2024y / February / 29} + 23h + 59min + 59s), "Thu, 29 Feb 2024 23:59:59 +0000");
    EXPECT_EQ(mailDate(sys_days{1970y / January / 1}), "Thu, 01 Jan 1970 00:00:00 +0000");
}

}  // namespace
}  // namespace miv
