#include "logbook/AdifRecord.h"

#include <cstdio>

#include "config/AsciiCase.h"

namespace miv {

void AdifRecord::set(std::string_view name, std::string value)
{
    const std::string key = asciiUpperCase(name);
    for (auto it = fields_.begin(); it != fields_.end(); ++it) {
        if (it->name != key)
            continue;
        if (value.empty())
            fields_.erase(it);
        else
            it->value = std::move(value);
        return;
    }
    if (!value.empty())
        fields_.push_back({key, std::move(value)});
}

std::optional<std::string> AdifRecord::get(std::string_view name) const
{
    const std::string key = asciiUpperCase(name);
    for (const AdifField& field : fields_)
        if (field.name == key)
            return field.value;
    return std::nullopt;
}

std::string adifText(std::string_view utf8)
{
    std::string out;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        if (c == '\r' || c == '\n' || c == '\t')
            out += ' ';
        else if (c >= 0x20 && c < 0x7f)
            out += static_cast<char>(c);
        else if (c >= 0x80 && (c & 0xc0) == 0x80)
            continue;  // a continuation byte: its code point already gave its '?'
        else
            out += '?';
    }
    return out;
}

std::string formatAdifRecord(const AdifRecord& record)
{
    std::string out;
    for (const AdifField& field : record.fields()) {
        const std::string value = adifText(field.value);
        out += '<' + field.name + ':' + std::to_string(value.size()) + '>' + value + ' ';
    }
    out += "<EOR>\n";
    return out;
}

std::string formatAdifHeader(std::string_view programVersion, std::chrono::sys_seconds created)
{
    const auto field = [](std::string_view name, std::string_view value) {
        return '<' + std::string(name) + ':' + std::to_string(value.size()) + '>' + std::string(value) + '\n';
    };
    return "MIV logbook of contacts\n" + field("ADIF_VER", "3.1.4") + field("PROGRAMID", "MIV") +
           field("PROGRAMVERSION", programVersion) +
           field("CREATED_TIMESTAMP", adifDate(created) + ' ' + adifTime(created)) + "<EOH>\n";
}

std::string adifDate(std::chrono::sys_seconds time)
{
    const std::chrono::year_month_day day{std::chrono::floor<std::chrono::days>(time)};
    char text[16];
    std::snprintf(text, sizeof text, "%04d%02u%02u", static_cast<int>(day.year()), static_cast<unsigned>(day.month()),
                  static_cast<unsigned>(day.day()));
    return text;
}

std::string adifTime(std::chrono::sys_seconds time)
{
    const std::chrono::hh_mm_ss clock{time - std::chrono::floor<std::chrono::days>(time)};
    char text[8];
    std::snprintf(text, sizeof text, "%02d%02d%02d", static_cast<int>(clock.hours().count()),
                  static_cast<int>(clock.minutes().count()), static_cast<int>(clock.seconds().count()));
    return text;
}

}  // namespace miv
