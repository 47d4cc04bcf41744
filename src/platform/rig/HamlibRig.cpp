#include "platform/rig/HamlibRig.h"

#include <algorithm>
#include <clocale>
#include <utility>

namespace miv {

HamlibRig::HamlibRig(std::chrono::milliseconds pttDeadline) : pttDeadline_(pttDeadline)
{
    // Hamlib keeps the name setlocale() gave for LC_NUMERIC across its own switch to "C"
    // and restores it afterwards; a name other than "C" (Qt sets the user's locale) has
    // been freed by then. "C" is static, and the numbers Hamlib writes to a rig need it
    // anyway. Set before the worker exists, as setlocale() is not thread-safe.
    std::setlocale(LC_NUMERIC, "C");
    worker_ = std::thread(&HamlibRig::run, this);
}

HamlibRig::~HamlibRig()
{
    {
        const std::lock_guard lock(mutex_);
        post(Job::Stop);
    }
    worker_.join();
}

void HamlibRig::post(Job job, std::uint64_t number, const RigAddress& address)
{
    commands_.push_back({job, number, address});
    commandPosted_.notify_one();
}

void HamlibRig::connect(const RigAddress& address)
{
    const std::lock_guard lock(mutex_);
    post(Job::Connect, 0, address);
}

void HamlibRig::disconnect()
{
    const std::lock_guard lock(mutex_);
    post(Job::Disconnect);
}

RigReply HamlibRig::setPtt(bool keyed)
{
    std::unique_lock lock(mutex_);
    const std::uint64_t number = ++pttPosted_;
    post(keyed ? Job::KeyOn : Job::KeyOff, number);
    const bool answered = pttAnswered_.wait_for(lock, pttDeadline_, [&] { return pttAnsweredNumber_ >= number; });
    RigReply reply = answered
                         ? pttReply_
                         : RigReply{false, 0, "no answer within " + std::to_string(pttDeadline_.count() / 1000) + " s"};
    if (keyed && !reply.ok)
        post(Job::KeyOff, ++pttPosted_);  // in case the key reached the rig after all
    return reply;
}

bool HamlibRig::requestFrequency()
{
    const std::lock_guard lock(mutex_);
    if (busy_ || !commands_.empty() || readingAsked_)
        return false;
    readingAsked_ = true;
    post(Job::Read);
    return true;
}

std::optional<RigReply> HamlibRig::takeFrequency()
{
    const std::lock_guard lock(mutex_);
    std::optional<RigReply> taken = std::exchange(reading_, std::nullopt);
    if (taken)
        readingAsked_ = false;
    return taken;
}

void HamlibRig::run()
{
    for (;;) {
        Command command{Job::RetryUnkey, 0, {}};
        {
            std::unique_lock lock(mutex_);
            const auto posted = [&] { return !commands_.empty(); };
            if (unkeysOwed_ > 0)
                commandPosted_.wait_for(lock, kUnkeyRetry, posted);
            else
                commandPosted_.wait(lock, posted);
            if (!commands_.empty()) {
                command = std::move(commands_.front());
                commands_.pop_front();
            }
            busy_ = true;
        }
        const RigReply reply = execute(command);
        {
            const std::lock_guard lock(mutex_);
            busy_ = false;
            if (command.job == Job::KeyOn || command.job == Job::KeyOff) {
                pttAnsweredNumber_ = command.number;
                pttReply_ = reply;
                pttAnswered_.notify_all();
            } else if (command.job == Job::Read) {
                reading_ = reply;
            }
        }
        if (command.job == Job::Stop)
            return;
    }
}

RigReply HamlibRig::execute(const Command& command)
{
    switch (command.job) {
    case Job::Connect:
        unkeyAndClose();
        address_ = command.address;
        return {true, 0, {}};
    case Job::Disconnect:
    case Job::Stop:
        unkeyAndClose();
        address_.reset();
        return {true, 0, {}};
    case Job::KeyOn:
        return sendPtt(true);
    case Job::KeyOff:
    case Job::RetryUnkey:
        return sendPtt(false);
    case Job::Read:
        break;
    }
    if (const RigReply opened = ensureOpen(); !opened.ok)
        return opened;
    const RigReply reply = connection_.readFrequency();
    if (!reply.ok)
        connection_.close();
    return reply;
}

RigReply HamlibRig::sendPtt(bool keyed)
{
    if (keyed)
        unkeysOwed_ = 0;  // the operator keys anew: an old stray key does no harm now
    if (const RigReply opened = ensureOpen(); !opened.ok) {
        if (!keyed && keySent_)
            unkeysOwed_ = std::max(unkeysOwed_, 1);
        return opened;
    }
    const RigReply reply = connection_.setPtt(keyed);
    if (keyed) {
        keySent_ = true;
        if (!reply.ok)
            unkeysOwed_ = 2;
    } else if (reply.ok) {
        keySent_ = false;
        unkeysOwed_ = std::max(unkeysOwed_ - 1, 0);
    } else if (keySent_) {
        unkeysOwed_ = std::max(unkeysOwed_, 1);
    }
    // A rig that did not answer may answer late and confuse the next command: start
    // afresh.
    if (!reply.ok)
        connection_.close();
    return reply;
}

RigReply HamlibRig::ensureOpen()
{
    if (!address_)
        return {false, 0, "no rig chosen"};
    if (connection_.isOpen())
        return {true, 0, {}};
    return connection_.open(*address_);
}

void HamlibRig::unkeyAndClose()
{
    if ((keySent_ || unkeysOwed_ > 0) && address_)
        sendPtt(false);
    connection_.close();
    // A rig that cannot be reached now is past our help: the station unkeys before it
    // lets go of a rig, and says so when that fails.
    keySent_ = false;
    unkeysOwed_ = 0;
}

}  // namespace miv
