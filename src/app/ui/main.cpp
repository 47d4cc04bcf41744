#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QIcon>
#include <csignal>
#include <cstdio>
#include <random>
#include <string_view>

#include "platform/Clock.h"
#include "platform/audio/FileAudioSource.h"
#include "platform/audio/FileSinks.h"
#include "platform/audio/PacedAudio.h"
#include "platform/audio/PulseAlarmPlayer.h"
#include "platform/audio/PulseAudio.h"
#include "platform/audio/ReopeningAudio.h"
#include "platform/cpu/ProcStatProcessorTimes.h"
#include "platform/logbook/FileLogFiles.h"
#include "platform/logbook/UdpDatagramSender.h"
#include "platform/mail/CurlMailTransport.h"
#include "platform/rig/HamlibConnection.h"
#include "platform/rig/HamlibRig.h"
#include "platform/serial/QtSerialPort.h"
#include "platform/settings/FileSettingsStore.h"
#include "station/ProgramInfo.h"
#include "ui/MainWindow.h"
#include "ui/QtOperatorMessages.h"
#include "ui/ShutdownSignals.h"

namespace {

// The help and version options print text only, so they are answered without a display.
bool asksOnlyForText(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "-h" || argument == "-?" || argument == "--help" || argument == "--help-all" ||
            argument == "-v" || argument == "--version")
            return true;
    }
    return false;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication::setApplicationName("MIV");
    QCoreApplication::setApplicationVersion(miv::kProgramVersion);

    QCommandLineParser options;
    options.setApplicationDescription("MIV, a sound-card modem for keyboard-to-keyboard contacts on HF and EME.");
    options.addHelpOption();
    options.addVersionOption();
    const QCommandLineOption settingsFile("settings", "Keeps the settings in FILE instead of the usual place.", "FILE");
    options.addOption(settingsFile);
    const QCommandLineOption outputFile(
        "output-file", "Writes every transmission to FILE (WAV, or FLAC for .flac) at the pace of a sound card.",
        "FILE");
    options.addOption(outputFile);
    const QCommandLineOption inputFile(
        "input-file",
        "Plays the recording FILE (WAV, FLAC, ... at any rate) into the receiver as if from a sound card.", "FILE");
    options.addOption(inputFile);
    if (asksOnlyForText(argc, argv)) {
        QCoreApplication console(argc, argv);
        options.process(console);  // prints the text and exits
    }
    QApplication app(argc, argv);
    // The desktop matches the window to its menu entry and icon by this name.
    QGuiApplication::setDesktopFileName(MIV_APP_ID);
    QApplication::setWindowIcon(QIcon::fromTheme(MIV_APP_ID));
    options.process(app);

    miv::SystemClock clock;
    miv::QtOperatorMessages messages;
    miv::FileSettingsStore settings(options.isSet(settingsFile)
                                        ? std::filesystem::path(options.value(settingsFile).toStdString())
                                        : miv::defaultSettingsPath());
    miv::PulseAudioDevices soundCard;
    miv::StandInAudioDevices audio(soundCard);
    if (options.isSet(inputFile)) {
        const QString path = options.value(inputFile);
        auto recording = std::make_unique<miv::FileAudioSource>(path.toStdString());
        if (!recording->error().empty()) {
            std::fprintf(stderr, "miv: cannot read %s: %s\n", qPrintable(path), recording->error().c_str());
            return 2;
        }
        audio.replaceCapture(QFileInfo(path).fileName().toStdString(),
                             std::make_unique<miv::PacedSource>(std::move(recording)));
    }
    if (options.isSet(outputFile)) {
        const QString path = options.value(outputFile);
        std::string error;
        auto file = miv::SoundFileSink::create(path.toStdString(), error);
        if (!file) {
            std::fprintf(stderr, "miv: cannot write %s: %s\n", qPrintable(path), error.c_str());
            return 2;
        }
        audio.replacePlayback(QFileInfo(path).fileName().toStdString(),
                              std::make_unique<miv::PacedSink>(std::move(file)));
    }
    miv::ProcStatProcessorTimes processorTimes;
    // The player's fallback beep comes from its own thread; the bell rings on the window's.
    miv::PulseAlarmPlayer alarm([] { QMetaObject::invokeMethod(qApp, [] { QApplication::beep(); }); });

    miv::QtSerialPort serial;
    miv::CurlMailTransport mail;
    // A rigctld that goes away must fail its next command, not end the program while
    // the rig may be keyed.
    std::signal(SIGPIPE, SIG_IGN);
    miv::HamlibRig rig;

    miv::SystemWallClock wallClock;
    miv::FileLogFiles logFiles;
    miv::UdpDatagramSender datagrams;
    const miv::LogPlatform log{wallClock, logFiles, datagrams, miv::defaultLogPath().string(), std::random_device()()};

    miv::MainWindow window({clock, messages, settings, audio, processorTimes, alarm, serial,
                            miv::assignComPorts(miv::QtSerialPort::listDevices()), mail, rig,
                            miv::HamlibConnection::catalogue(), &log});
    // Ctrl-C, a shutdown or a closed terminal end the program as closing its window does:
    // unkeyed first, settings saved.
    miv::ShutdownSignals shutdown;
    QObject::connect(&shutdown, &miv::ShutdownSignals::received, &app, [&window] {
        window.close();
        QApplication::quit();
    });
    return QApplication::exec();
}
