#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/Rig.h"
#include "platform/SerialPort.h"
#include "platform/SettingsStore.h"

namespace miv {

class ModeSwitches;

// Section `Conmutadores`: the main window's switches and the COM menu.
struct MainSwitches {
    bool bw2250 = true;
    bool hf = true;
    bool alarm = true;
    bool baud16 = true;
    bool autoBaud = true;  // "Detector De Modo"
    bool afcWide = true;   // "Shift Range"
    bool waterfall = true;
    bool deepDecoding = true;  // "Deep Decoding": the deep receive path; files without it get it
    // The checked item of the COM menu: 0 "NO COM", 1..16 COM1..COM16. Empty when no item
    // is checked (written as an empty value); reading always gives an item.
    std::optional<int> pttCom = 0;

    static MainSwitches from(const ModeSwitches& switches, std::optional<int> pttCom);
    // Bandwidth, channel, symbol rate and waterfall go through the click rules, so their
    // side effects follow; auto-baud, AFC range, alarm and decoder only set the pair.
    void applyTo(ModeSwitches& switches) const;

    friend bool operator==(const MainSwitches&, const MainSwitches&) = default;
};

inline constexpr int kHighestComPort = kComPorts;

// Section `Operador`; the defaults are the operator window's initial texts.
struct OperatorDetails {
    std::string callsign = "CALL";
    std::string name = "Name";
    std::string qth = "Your QTH";
    std::string locator = "Your Grid";
    std::string station = "Features of your Radio Station";
    std::string email = "Your e-mail";
    std::string custom = "(Write what you wish)";

    friend bool operator==(const OperatorDetails&, const OperatorDetails&) = default;
};

// Section `Email`: how reports are sent.
enum class MailOption { Smtp = 1, WebMail = 2, NoInternet = 3 };

struct EmailAccount {
    MailOption option = MailOption::NoInternet;
    std::string smtpServer;   // "host" (port 25) or "host:port"
    std::string webMailUser;  // without the service's domain
    std::string password;     // stored in plain text; the file is private to its owner

    friend bool operator==(const EmailAccount&, const EmailAccount&) = default;
};

// Section `Tarjeta Sonido`: the chosen devices by name.
struct SoundCards {
    std::string input;
    std::string output;

    friend bool operator==(const SoundCards&, const SoundCards&) = default;
};

// How the radio is keyed: the COM menu's serial port (or nothing for "NO COM"), CAT
// through Hamlib or a rigctld, or nothing at all (VOX).
enum class PttMethod { Serial, Hamlib, Rigctld, None };

// Section `Rig`, which files from before it lack: they key by the COM menu as always.
// Also the transmit watchdog, in minutes per mode (0 switches it off).
struct RigSettings {
    PttMethod method = PttMethod::Serial;
    int model = 0;  // Hamlib's model number
    std::string device;
    int baud = 0;  // 0: the model's own
    std::string rigctldHost = "localhost";
    int rigctldPort = kRigctldDefaultPort;
    int watchdog16BaudMinutes = 10;
    int watchdogSlowMinutes = 30;  // 1 baud and EME

    // Where CAT reaches the rig; nothing when the method is not CAT.
    std::optional<RigAddress> catAddress() const;

    friend bool operator==(const RigSettings&, const RigSettings&) = default;
};

inline constexpr int kLongestWatchdogMinutes = 999;
// A dial outside these, far beyond every amateur band, is a typing mistake.
inline constexpr double kLowestDialHz = 1e3;
inline constexpr double kHighestDialHz = 300e9;

// Section `Log`, which older files lack: where contacts are logged and what leaves the
// station about them. Both transmissions are off until the operator switches them on.
struct LogSettings {
    std::string file;  // the ADIF log; empty for the usual place
    bool udpOn = false;
    std::string udpTarget = "127.0.0.1:2333";  // "host:port" of a logger beside MIV
    bool spotsOn = false;                      // "Report spots"
    std::string collector = "report.pskreporter.info:4739";

    friend bool operator==(const LogSettings&, const LogSettings&) = default;
};

// The list position to select for a saved device name: the entry of exactly that name,
// else the first entry whose name occurs within the saved name, else 0; -1 for an empty
// list.
int savedDevicePosition(const std::vector<std::string>& names, const std::string& saved);

// The settings file `MIV.ini`, section by section. Each read takes the file as it is now
// and gives the defaults for whatever is missing, empty or unreadable; each write puts
// its section's keys into the file as it is now and keeps everything else. Text is
// UTF-8 in the file; a value that is not UTF-8 is taken as Windows-1252, as a file from
// older stations may hold.
class Settings {
public:
    explicit Settings(SettingsStore& store) : store_(store) {}

    // True when the settings file does not exist yet: the operator window is due.
    bool firstRun() const { return !store_.exists(); }
    std::string location() const { return store_.location(); }
    // Why the last read found the file unreadable; empty when it was read or missing.
    const std::string& lastReadError() const { return lastReadError_; }

    MainSwitches readMainSwitches() const;
    SettingsSave writeMainSwitches(const MainSwitches& switches);
    OperatorDetails readOperatorDetails() const;
    SettingsSave writeOperatorDetails(const OperatorDetails& details);
    EmailAccount readEmailAccount() const;
    SettingsSave writeEmailAccount(const EmailAccount& account);
    SoundCards readSoundCards() const;
    SettingsSave writeSoundCards(const SoundCards& cards);
    RigSettings readRigSettings() const;
    SettingsSave writeRigSettings(const RigSettings& rig);
    // The dial frequency the operator typed (Hz), for a radio without CAT.
    std::optional<double> readDialFrequency() const;
    SettingsSave writeDialFrequency(std::optional<double> hz);
    LogSettings readLogSettings() const;
    SettingsSave writeLogSettings(const LogSettings& log);

private:
    class Reader;
    Reader read() const;
    template <typename Edit>
    SettingsSave update(Edit edit);

    SettingsStore& store_;
    mutable std::string lastReadError_;
};

}  // namespace miv
