#include "config/Settings.h"

#include <cmath>
#include <cstdlib>
#include <limits>
#include <utility>

#include "config/IniDocument.h"
#include "modem/Charset.h"
#include "modem/ModemMode.h"

namespace miv {

namespace {

constexpr std::string_view kSwitches = "Conmutadores";
constexpr std::string_view kOperator = "Operador";
constexpr std::string_view kEmail = "Email";
constexpr std::string_view kSoundCards = "Tarjeta Sonido";
constexpr std::string_view kRig = "Rig";
constexpr std::string_view kLog = "Log";

// The leading decimal number of a value ("1.0" and "1abc" are 1), or nothing.
std::optional<double> leadingNumber(const std::string& value)
{
    const char* begin = value.c_str();
    while (*begin == ' ' || *begin == '\t')
        ++begin;
    const char* p = begin;
    if (*p == '+' || *p == '-')
        ++p;
    const char* digits = p;
    while (*p >= '0' && *p <= '9')
        ++p;
    bool any = p != digits;
    if (*p == '.') {
        const char* fraction = ++p;
        while (*p >= '0' && *p <= '9')
            ++p;
        any = any || p != fraction;
    }
    if (!any)
        return std::nullopt;
    return std::strtod(std::string(begin, p).c_str(), nullptr);
}

std::string boolText(bool on)
{
    return on ? "1" : "0";
}

}  // namespace

// The reading rules: a missing or empty value takes the default.
class Settings::Reader {
public:
    explicit Reader(IniDocument document) : document_(std::move(document)) {}

    void readSwitch(std::string_view section, std::string_view key, bool& state) const
    {
        if (const auto value = present(section, key))
            state = leadingNumber(*value) == 1.0;
    }

    void readText(std::string_view section, std::string_view key, std::string& text) const
    {
        if (const auto value = present(section, key))
            text = utf8ToCp1252(*value).invalidUtf8 ? cp1252ToUtf8(*value) : *value;
    }

    std::optional<double> number(std::string_view section, std::string_view key) const
    {
        const auto value = present(section, key);
        return value ? leadingNumber(*value) : std::nullopt;
    }

    bool has(std::string_view section, std::string_view key) const { return present(section, key).has_value(); }

private:
    std::optional<std::string> present(std::string_view section, std::string_view key) const
    {
        auto value = document_.value(section, key);
        if (value && value->empty())
            value.reset();
        return value;
    }

    IniDocument document_;
};

MainSwitches MainSwitches::from(const ModeSwitches& switches, std::optional<int> pttCom)
{
    const ModemMode& mode = switches.mode();
    return {mode.bw2250,   !mode.eme,          switches.alarmOn(),     mode.baud16,
            mode.autoBaud, switches.afcWide(), switches.waterfallOn(), switches.decoder() == Decoder::Deep,
            pttCom};
}

void MainSwitches::applyTo(ModeSwitches& switches) const
{
    switches.selectBandwidth(bw2250);
    switches.selectChannel(!hf);
    switches.setAlarmOn(alarm);
    switches.selectSymbolRate(baud16);
    switches.setAutoBaud(autoBaud);
    switches.setAfcWide(afcWide);
    switches.selectWaterfall(waterfall);
    switches.setDecoder(deepDecoding ? Decoder::Deep : Decoder::Standard);
}

int savedDevicePosition(const std::vector<std::string>& names, const std::string& saved)
{
    if (names.empty())
        return -1;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (names[i] == saved)
            return static_cast<int>(i);
    }
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (!names[i].empty() && !saved.empty() && saved.find(names[i]) != std::string::npos)
            return static_cast<int>(i);
    }
    return 0;
}

Settings::Reader Settings::read() const
{
    SettingsLoad loaded = store_.load();
    lastReadError_ = loaded.error;
    return Reader(IniDocument::parse(loaded.text));
}

template <typename Edit>
SettingsSave Settings::update(Edit edit)
{
    SettingsLoad loaded = store_.load();
    if (loaded.status == SettingsLoad::Status::Failed)
        return {false, loaded.error};  // rewriting it would lose what we could not read
    IniDocument document = IniDocument::parse(loaded.text);
    edit(document);
    return store_.save(document.text());
}

MainSwitches Settings::readMainSwitches() const
{
    MainSwitches switches;
    const Reader reader = read();
    reader.readSwitch(kSwitches, "BW", switches.bw2250);
    reader.readSwitch(kSwitches, "Channel", switches.hf);
    reader.readSwitch(kSwitches, "Alarma", switches.alarm);
    reader.readSwitch(kSwitches, "Baudios", switches.baud16);
    reader.readSwitch(kSwitches, "Detector De Modo", switches.autoBaud);
    reader.readSwitch(kSwitches, "Shift Range", switches.afcWide);
    reader.readSwitch(kSwitches, "WaterFall", switches.waterfall);
    reader.readSwitch(kSwitches, "Deep Decoding", switches.deepDecoding);
    if (reader.has(kSwitches, "PTT COM")) {
        // Anything but a port number the menu has selects "NO COM".
        const auto port = reader.number(kSwitches, "PTT COM");
        const bool valid = port && *port >= 0 && *port <= kHighestComPort && std::floor(*port) == *port;
        switches.pttCom = valid ? static_cast<int>(*port) : 0;
    }
    return switches;
}

SettingsSave Settings::writeMainSwitches(const MainSwitches& switches)
{
    return update([&](IniDocument& document) {
        document.set(kSwitches, "BW", boolText(switches.bw2250));
        document.set(kSwitches, "Channel", boolText(switches.hf));
        document.set(kSwitches, "Alarma", boolText(switches.alarm));
        document.set(kSwitches, "Baudios", boolText(switches.baud16));
        document.set(kSwitches, "Detector De Modo", boolText(switches.autoBaud));
        document.set(kSwitches, "Shift Range", boolText(switches.afcWide));
        document.set(kSwitches, "WaterFall", boolText(switches.waterfall));
        document.set(kSwitches, "Deep Decoding", boolText(switches.deepDecoding));
        document.set(kSwitches, "PTT COM", switches.pttCom ? std::to_string(*switches.pttCom) : "");
    });
}

OperatorDetails Settings::readOperatorDetails() const
{
    OperatorDetails details;
    const Reader reader = read();
    reader.readText(kOperator, "Custom", details.custom);
    reader.readText(kOperator, "Callsign", details.callsign);
    reader.readText(kOperator, "Name", details.name);
    reader.readText(kOperator, "E-mail", details.email);
    reader.readText(kOperator, "QTH", details.qth);
    reader.readText(kOperator, "Locator", details.locator);
    reader.readText(kOperator, "Station", details.station);
    return details;
}

SettingsSave Settings::writeOperatorDetails(const OperatorDetails& details)
{
    return update([&](IniDocument& document) {
        document.set(kOperator, "Custom", details.custom);
        document.set(kOperator, "Callsign", details.callsign);
        document.set(kOperator, "Name", details.name);
        document.set(kOperator, "E-mail", details.email);
        document.set(kOperator, "QTH", details.qth);
        document.set(kOperator, "Locator", details.locator);
        document.set(kOperator, "Station", details.station);
    });
}

EmailAccount Settings::readEmailAccount() const
{
    EmailAccount account;
    const Reader reader = read();
    if (reader.has(kEmail, "Option")) {
        const auto option = reader.number(kEmail, "Option");
        account.option = option == 1.0   ? MailOption::Smtp
                         : option == 2.0 ? MailOption::WebMail
                                         : MailOption::NoInternet;
    }
    reader.readText(kEmail, "Servidor SMTP", account.smtpServer);
    reader.readText(kEmail, "Usuario Gmail", account.webMailUser);
    reader.readText(kEmail, "Password", account.password);
    return account;
}

SettingsSave Settings::writeEmailAccount(const EmailAccount& account)
{
    return update([&](IniDocument& document) {
        document.set(kEmail, "Option", std::to_string(static_cast<int>(account.option)));
        document.set(kEmail, "Servidor SMTP", account.smtpServer);
        document.set(kEmail, "Usuario Gmail", account.webMailUser);
        document.set(kEmail, "Password", account.password);
    });
}

SoundCards Settings::readSoundCards() const
{
    SoundCards cards;
    const Reader reader = read();
    reader.readText(kSoundCards, "Entrada", cards.input);
    reader.readText(kSoundCards, "Salida", cards.output);
    return cards;
}

SettingsSave Settings::writeSoundCards(const SoundCards& cards)
{
    return update([&](IniDocument& document) {
        document.set(kSoundCards, "Entrada", cards.input);
        document.set(kSoundCards, "Salida", cards.output);
    });
}

namespace {

// PTT methods as the file names them.
constexpr std::pair<PttMethod, std::string_view> kPttMethodNames[] = {
    {PttMethod::Serial, "serial"},
    {PttMethod::Hamlib, "hamlib"},
    {PttMethod::Rigctld, "rigctld"},
    {PttMethod::None, "none"},
};

constexpr int kHighestPort = 65535;

// A whole number in [low, high] read from the file, or nothing.
std::optional<int> wholeNumber(std::optional<double> value, int low, int high)
{
    if (!value || *value < low || *value > high || std::floor(*value) != *value)
        return std::nullopt;
    return static_cast<int>(*value);
}

}  // namespace

std::optional<RigAddress> RigSettings::catAddress() const
{
    switch (method) {
    case PttMethod::Hamlib:
        return RigAddress{RigLink::Hamlib, model, device, baud, rigctldHost, rigctldPort};
    case PttMethod::Rigctld:
        return RigAddress{RigLink::Rigctld, model, device, baud, rigctldHost, rigctldPort};
    case PttMethod::Serial:
    case PttMethod::None:
        break;
    }
    return std::nullopt;
}

RigSettings Settings::readRigSettings() const
{
    RigSettings rig;
    const Reader reader = read();
    std::string method;
    reader.readText(kRig, "PTT", method);
    for (const auto& [value, name] : kPttMethodNames)
        if (method == name)
            rig.method = value;
    rig.model = wholeNumber(reader.number(kRig, "Model"), 0, std::numeric_limits<int>::max()).value_or(0);
    reader.readText(kRig, "Device", rig.device);
    rig.baud = wholeNumber(reader.number(kRig, "Baud"), 0, std::numeric_limits<int>::max()).value_or(0);
    reader.readText(kRig, "Rigctld Host", rig.rigctldHost);
    rig.rigctldPort = wholeNumber(reader.number(kRig, "Rigctld Port"), 1, kHighestPort).value_or(rig.rigctldPort);
    rig.watchdog16BaudMinutes = wholeNumber(reader.number(kRig, "Watchdog 16 Baud"), 0, kLongestWatchdogMinutes)
                                    .value_or(rig.watchdog16BaudMinutes);
    rig.watchdogSlowMinutes = wholeNumber(reader.number(kRig, "Watchdog 1 Baud And EME"), 0, kLongestWatchdogMinutes)
                                  .value_or(rig.watchdogSlowMinutes);
    return rig;
}

SettingsSave Settings::writeRigSettings(const RigSettings& rig)
{
    return update([&](IniDocument& document) {
        for (const auto& [value, name] : kPttMethodNames)
            if (rig.method == value)
                document.set(kRig, "PTT", std::string(name));
        document.set(kRig, "Model", std::to_string(rig.model));
        document.set(kRig, "Device", rig.device);
        document.set(kRig, "Baud", std::to_string(rig.baud));
        document.set(kRig, "Rigctld Host", rig.rigctldHost);
        document.set(kRig, "Rigctld Port", std::to_string(rig.rigctldPort));
        document.set(kRig, "Watchdog 16 Baud", std::to_string(rig.watchdog16BaudMinutes));
        document.set(kRig, "Watchdog 1 Baud And EME", std::to_string(rig.watchdogSlowMinutes));
    });
}

std::optional<double> Settings::readDialFrequency() const
{
    const auto hz = read().number(kRig, "Dial Frequency");
    if (!hz || *hz < kLowestDialHz || *hz > kHighestDialHz)
        return std::nullopt;
    return *hz;
}

SettingsSave Settings::writeDialFrequency(std::optional<double> hz)
{
    return update([&](IniDocument& document) {
        document.set(kRig, "Dial Frequency", hz ? std::to_string(std::llround(*hz)) : std::string());
    });
}

LogSettings Settings::readLogSettings() const
{
    LogSettings log;
    const Reader reader = read();
    reader.readText(kLog, "File", log.file);
    reader.readSwitch(kLog, "UDP", log.udpOn);
    reader.readText(kLog, "UDP Target", log.udpTarget);
    reader.readSwitch(kLog, "Report Spots", log.spotsOn);
    reader.readText(kLog, "Spot Collector", log.collector);
    return log;
}

SettingsSave Settings::writeLogSettings(const LogSettings& log)
{
    return update([&](IniDocument& document) {
        document.set(kLog, "File", log.file);
        document.set(kLog, "UDP", boolText(log.udpOn));
        document.set(kLog, "UDP Target", log.udpTarget);
        document.set(kLog, "Report Spots", boolText(log.spotsOn));
        document.set(kLog, "Spot Collector", log.collector);
    });
}

}  // namespace miv
