#include <QApplication>

#include "platform/Clock.h"
#include "ui/QtOperatorMessages.h"
#include "ui/frmAbout.h"
#include "ui/frmPrincipal.h"

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName("MIV");
    QApplication::setApplicationVersion(miv::kProgramVersion);

    miv::SystemClock clock;
    miv::QtOperatorMessages messages;
    miv::frmPrincipal window({clock, messages});
    messages.setParent(&window);
    window.show();
    return QApplication::exec();
}
