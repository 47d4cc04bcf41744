#include "tx/PttKeyer.h"

namespace miv {

namespace {

std::string portName(int n)
{
    return "COM" + std::to_string(n);
}

}  // namespace

ComPortMenu::ComPortMenu(const ComAssignment& devices)
{
    entries_[0].caption = "NO COM";
    for (int n = 1; n < kEntries; ++n) {
        Entry& e = entries_[static_cast<std::size_t>(n)];
        e.caption = portName(n);
        if (const auto& device = devices[static_cast<std::size_t>(n - 1)]) {
            e.caption += " (" + device->name + ")";
            e.device = device->path;
            e.description = device->description;
        }
    }
    entries_[0].checked = true;
}

void ComPortMenu::check(int index)
{
    if (index < 0 || index >= kEntries)
        return;
    for (Entry& e : entries_)
        e.checked = false;
    entries_[static_cast<std::size_t>(index)].checked = true;
}

int ComPortMenu::checkedIndex() const
{
    for (int i = 0; i < kEntries; ++i)
        if (entries_[static_cast<std::size_t>(i)].checked)
            return i;
    return -1;
}

PttKeyer::PttKeyer(SerialPort& port, OperatorMessages& messages, const ComAssignment& devices)
    : port_(port),
      messages_(messages),
      menu_(devices)
{
}

PttKeyer::~PttKeyer()
{
    UnkeyTransmitter();
}

bool PttKeyer::ProbePort(int n)
{
    const std::string& device = menu_.entry(n).device;
    return !device.empty() && port_.probe(device);
}

void PttKeyer::disableMissingPorts()
{
    for (int n = 1; n < ComPortMenu::kEntries; ++n)
        menu_.setEnabled(n, ProbePort(n));
}

bool PttKeyer::KeyTransmitter()
{
    if (menu_.entry(0).checked)
        return true;
    for (;;) {
        bool anyChecked = false;
        for (int n = 1; n < ComPortMenu::kEntries; ++n) {
            if (!menu_.entry(n).checked)
                continue;
            anyChecked = true;
            // A port can pass the probe and still refuse to open (busy): the same
            // question covers both.
            if (ProbePort(n) && port_.open(menu_.entry(n).device))
                return true;
            switch (messages_.askAbortRetryIgnore("Port Error", portName(n) + " not avaiable")) {
            case PortErrorAnswer::Abort:
                return false;
            case PortErrorAnswer::Ignore:
                return true;
            case PortErrorAnswer::Retry:
                break;
            }
        }
        if (!anyChecked)
            return false;
    }
}

void PttKeyer::UnkeyTransmitter()
{
    if (port_.isOpen())
        port_.close();
}

}  // namespace miv
