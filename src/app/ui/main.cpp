#include <QApplication>
#include <QCommandLineParser>

#include "platform/Clock.h"
#include "platform/FileSettingsStore.h"
#include "platform/ProcStatProcessorTimes.h"
#include "platform/PulseAlarmPlayer.h"
#include "platform/PulseAudio.h"
#include "platform/QtSerialPort.h"
#include "platform/ReopeningAudio.h"
#include "station/ProgramInfo.h"
#include "ui/QtOperatorMessages.h"
#include "ui/frmPrincipal.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName("MIV");
    QApplication::setApplicationVersion(miv::kProgramVersion);

    QCommandLineParser options;
    options.setApplicationDescription("MIV, a sound-card modem for keyboard-to-keyboard contacts on HF and EME.");
    options.addHelpOption();
    options.addVersionOption();
    const QCommandLineOption settingsFile("settings", "Keeps the settings in FILE instead of the usual place.",
                                          "FILE");
    options.addOption(settingsFile);
    options.process(app);

    miv::SystemClock clock;
    miv::QtOperatorMessages messages;
    miv::FileSettingsStore settings(options.isSet(settingsFile) ? std::filesystem::path(
                                                                      options.value(settingsFile).toStdString())
                                                                : miv::defaultSettingsPath());
    miv::PulseAudioDevices soundCard;
    miv::StandInAudioDevices audio(soundCard);
    miv::ProcStatProcessorTimes processorTimes;
    // The player's fallback beep comes from its own thread; the bell rings on the window's.
    miv::PulseAlarmPlayer alarm([] { QMetaObject::invokeMethod(qApp, [] { QApplication::beep(); }); });

    miv::QtSerialPort serial;

    miv::frmPrincipal window({clock, messages, settings, audio, processorTimes, alarm, serial,
                              miv::assignComPorts(miv::QtSerialPort::listDevices())});
    messages.setParent(&window);
    window.show();
    return QApplication::exec();
}
