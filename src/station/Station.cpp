#include "station/Station.h"

namespace miv {

Station::Station(TextWindow& sendWindow, TextWindow& receiveWindow, StationPlatform platform)
    : send_(sendWindow), receive_(receiveWindow), clock_(platform.clock)
{
    switches_.setGuard(this);
    switches_.addListener(this);
}

Station::~Station()
{
    switches_.removeListener(this);
    switches_.setGuard(nullptr);
}

void Station::clickMacro(Macro macro)
{
    if (!macroVisible(macro) || !macroEnabled(macro))
        return;
    if (insertMacro(macro, switches_.mode(), destination_, operator_, send_))
        longInitialTone_ = true;
}

void Station::clearSendWindow()
{
    if (txState_ == 0) {
        send_.setText("");
        return;
    }
    send_.setSelStart(sentCount_);
    send_.setSelLength(send_.length() - sentCount_);
    send_.setSelText("");
    send_.setSelColor(kBlack);
}

void Station::clearScreen()
{
    longInitialTone_ = false;
    receive_.setText("");
    receive_.append("\r\n\r\n\r\n\r\n");
    receive_.moveToEnd();
}

void Station::symbolRateChanged()
{
    send_.setText("");
}

void Station::channelChanged()
{
    send_.setText("");
}

}  // namespace miv
