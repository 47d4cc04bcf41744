#include "platform/rig/HamlibConnection.h"

#include <hamlib/rig.h>

#include <algorithm>
#include <mutex>
#include <tuple>

namespace miv {

namespace {

// One more try after a lost answer: a serial line may drop a byte, but a rig that is
// off should not hold up the station for long.
constexpr const char* kRetries = "1";

// Hamlib's library state (debug level, loaded backends) is global: set up once, from
// whichever thread comes first.
void setUpHamlib()
{
    static std::once_flag once;
    std::call_once(once, [] {
        rig_set_debug(RIG_DEBUG_NONE);
        rig_load_all_backends();
    });
}

RigReply failure(int code)
{
    std::string text = rigerror2(code);
    while (!text.empty() && (text.back() == '\n' || text.back() == ' '))
        text.pop_back();
    return {false, 0, text.empty() ? "Hamlib error " + std::to_string(code) : text};
}

bool setConf(s_rig* rig, const char* name, const std::string& value)
{
    const token_t token = rig_token_lookup(rig, name);
    return token != RIG_CONF_END && rig_set_conf(rig, token, value.c_str()) == RIG_OK;
}

}  // namespace

HamlibConnection::~HamlibConnection()
{
    close();
}

RigReply HamlibConnection::open(const RigAddress& address)
{
    close();
    setUpHamlib();
    const bool rigctld = address.link == RigLink::Rigctld;
    rig_ = rig_init(static_cast<rig_model_t>(rigctld ? RIG_MODEL_NETRIGCTL : address.model));
    if (rig_ == nullptr)
        return {false, 0, "Hamlib knows no rig model " + std::to_string(address.model)};
    const std::string path = rigctld ? address.host + ":" + std::to_string(address.port) : address.device;
    setConf(rig_, "rig_pathname", path);
    if (!rigctld && address.baud > 0)
        setConf(rig_, "serial_speed", std::to_string(address.baud));
    setConf(rig_, "timeout", std::to_string(kAnswerTimeoutMs));
    setConf(rig_, "retry", kRetries);
    // Every reading asks the rig: a cached answer would hide a rig that has gone.
    setConf(rig_, "cache_timeout", "0");
    const int opened = rig_open(rig_);
    if (opened != RIG_OK) {
        rig_cleanup(rig_);
        rig_ = nullptr;
        return failure(opened);
    }
    return {true, 0, {}};
}

void HamlibConnection::close()
{
    if (rig_ == nullptr)
        return;
    rig_close(rig_);
    rig_cleanup(rig_);
    rig_ = nullptr;
}

RigReply HamlibConnection::setPtt(bool keyed)
{
    if (rig_ == nullptr)
        return {false, 0, "not connected"};
    const int result = rig_set_ptt(rig_, RIG_VFO_CURR, keyed ? RIG_PTT_ON : RIG_PTT_OFF);
    return result == RIG_OK ? RigReply{true, 0, {}} : failure(result);
}

RigReply HamlibConnection::readFrequency()
{
    if (rig_ == nullptr)
        return {false, 0, "not connected"};
    freq_t hz = 0;
    const int result = rig_get_freq(rig_, RIG_VFO_CURR, &hz);
    return result == RIG_OK ? RigReply{true, hz, {}} : failure(result);
}

std::vector<RigModel> HamlibConnection::catalogue()
{
    setUpHamlib();
    std::vector<RigModel> models;
    rig_list_foreach(
        [](const rig_caps* caps, rig_ptr_t data) {
            static_cast<std::vector<RigModel>*>(data)->push_back({static_cast<int>(caps->rig_model),
                                                                  caps->mfg_name ? caps->mfg_name : "",
                                                                  caps->model_name ? caps->model_name : ""});
            return 1;  // go on
        },
        &models);
    std::sort(models.begin(), models.end(), [](const RigModel& a, const RigModel& b) {
        return std::tie(a.maker, a.name, a.number) < std::tie(b.maker, b.name, b.number);
    });
    return models;
}

}  // namespace miv
