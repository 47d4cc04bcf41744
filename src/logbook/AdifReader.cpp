#include "logbook/AdifReader.h"

#include <algorithm>
#include <charconv>

#include "config/AsciiCase.h"
#include "logbook/Bands.h"

namespace miv {

namespace {

bool digits(std::string_view text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

int number(std::string_view text)
{
    int value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

bool validDate(std::string_view date)
{
    if (date.size() != 8 || !digits(date))
        return false;
    const std::chrono::year_month_day day{std::chrono::year{number(date.substr(0, 4))},
                                          std::chrono::month{static_cast<unsigned>(number(date.substr(4, 2)))},
                                          std::chrono::day{static_cast<unsigned>(number(date.substr(6, 2)))}};
    return day.ok() && day.year() >= std::chrono::year{1930};
}

bool validTime(std::string_view time)
{
    if ((time.size() != 4 && time.size() != 6) || !digits(time))
        return false;
    return number(time.substr(0, 2)) < 24 && number(time.substr(2, 2)) < 60 &&
           (time.size() == 4 || number(time.substr(4, 2)) < 60);
}

void check(const ReadRecord& read, std::vector<AdifProblem>& problems)
{
    const AdifRecord& record = read.record;
    const auto complain = [&](std::string what) { problems.push_back({read.line, std::move(what)}); };
    if (!record.get("CALL"))
        complain("no CALL");
    const auto date = record.get("QSO_DATE");
    if (!date || !validDate(*date))
        complain("QSO_DATE missing or not a date YYYYMMDD");
    const auto time = record.get("TIME_ON");
    if (!time || !validTime(*time))
        complain("TIME_ON missing or not a time HHMM[SS]");
    if (!record.get("MODE"))
        complain("no MODE");
    const auto band = record.get("BAND");
    if (band && !knownBand(*band))
        complain("unknown BAND " + *band);
    if (const auto freq = record.get("FREQ")) {
        double mhz = 0;
        const auto [end, error] = std::from_chars(freq->data(), freq->data() + freq->size(), mhz);
        if (error != std::errc{} || end != freq->data() + freq->size() || mhz <= 0)
            complain("FREQ " + *freq + " is not a frequency in MHz");
        else if (band && knownBand(*band) && !bandHolds(*band, mhz * 1e6))
            complain("FREQ " + *freq + " lies outside BAND " + *band);
    }
    if (const auto grid = record.get("GRIDSQUARE"); grid && !validLocator(*grid))
        complain("GRIDSQUARE " + *grid + " is not a locator");
}

// Walks the text field by field, counting lines.
class Scanner {
public:
    explicit Scanner(std::string_view text) : text_(text) {}

    AdifLog read()
    {
        if (!text_.empty() && text_.front() != '<' && !skipHeader())
            return std::move(log_);
        ReadRecord current{0, {}};
        bool open = false;
        while (advanceTo('<')) {
            const int tagLine = line_;
            const std::size_t close = text_.find('>', position_);
            if (close == std::string_view::npos) {
                log_.problems.push_back({tagLine, "a field tag that never closes"});
                break;
            }
            const std::string_view tag = text_.substr(position_ + 1, close - position_ - 1);
            position_ = close + 1;
            const std::size_t colon = tag.find(':');
            const std::string_view name = tag.substr(0, colon);
            if (sameIgnoringAsciiCase(name, "EOR")) {
                if (open)
                    finish(current);
                else
                    log_.problems.push_back({tagLine, "<EOR> without fields"});
                open = false;
                continue;
            }
            if (!open)
                current = {tagLine, {}};
            open = true;
            if (colon == std::string_view::npos) {
                log_.problems.push_back({tagLine, "field <" + std::string(name) + "> has no length"});
                continue;
            }
            std::string_view length = tag.substr(colon + 1);
            length = length.substr(0, length.find(':'));  // a data type may follow
            if (!digits(length) || length.size() > 6) {
                log_.problems.push_back({tagLine, "field <" + std::string(tag) + "> has a bad length"});
                continue;
            }
            const std::size_t size = static_cast<std::size_t>(number(length));
            if (size > text_.size() - position_) {
                log_.problems.push_back({tagLine, "field " + std::string(name) + " runs past the end of the file"});
                return std::move(log_);
            }
            const std::string_view value = text_.substr(position_, size);
            countLines(value);
            position_ += size;
            if (!name.empty())
                current.record.set(name, std::string(value));
        }
        if (open)
            log_.problems.push_back({current.line, "record without <EOR> at the end of the file"});
        return std::move(log_);
    }

private:
    bool skipHeader()
    {
        while (advanceTo('<')) {
            const std::size_t close = text_.find('>', position_);
            if (close == std::string_view::npos)
                break;
            const std::string_view tag = text_.substr(position_ + 1, close - position_ - 1);
            position_ = close + 1;
            if (sameIgnoringAsciiCase(tag, "EOH"))
                return true;
            // Header fields carry data too, which may hold a '<'.
            if (const std::size_t colon = tag.find(':'); colon != std::string_view::npos) {
                std::string_view length = tag.substr(colon + 1);
                length = length.substr(0, length.find(':'));
                if (digits(length) && length.size() <= 6) {
                    const std::size_t size = std::min<std::size_t>(number(length), text_.size() - position_);
                    countLines(text_.substr(position_, size));
                    position_ += size;
                }
            }
        }
        log_.problems.push_back({1, "the header has no <EOH>"});
        return false;
    }

    bool advanceTo(char c)
    {
        const std::size_t found = text_.find(c, position_);
        const std::size_t end = found == std::string_view::npos ? text_.size() : found;
        countLines(text_.substr(position_, end - position_));
        position_ = end;
        return found != std::string_view::npos;
    }

    void countLines(std::string_view part) { line_ += static_cast<int>(std::count(part.begin(), part.end(), '\n')); }

    void finish(ReadRecord& record)
    {
        check(record, log_.problems);
        log_.records.push_back(std::move(record));
    }

    std::string_view text_;
    std::size_t position_ = 0;
    int line_ = 1;
    AdifLog log_;
};

}  // namespace

AdifLog readAdif(std::string_view text)
{
    return Scanner(text).read();
}

bool validLocator(std::string_view text)
{
    if (text.size() % 2 != 0 || text.size() < 2 || text.size() > 8)
        return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = asciiUpper(text[i]);
        const bool ok = i < 2             ? (c >= 'A' && c <= 'R')
                        : i < 4 || i >= 6 ? (c >= '0' && c <= '9')
                                          : (c >= 'A' && c <= 'X');
        if (!ok)
            return false;
    }
    return true;
}

}  // namespace miv
