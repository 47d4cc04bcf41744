#pragma once

#include <string>
#include <vector>

#include "platform/Rig.h"

struct s_rig;

namespace miv {

// One CAT connection through Hamlib, used from one thread: each call talks to the rig
// and returns what it answered, within the answer timeout below (a rig that keeps
// silent costs at most two of them per call).
class HamlibConnection {
public:
    static constexpr int kAnswerTimeoutMs = 1000;

    HamlibConnection() = default;
    ~HamlibConnection();
    HamlibConnection(const HamlibConnection&) = delete;  // owns Hamlib's rig handle
    HamlibConnection& operator=(const HamlibConnection&) = delete;

    RigReply open(const RigAddress& address);
    void close();
    bool isOpen() const { return rig_ != nullptr; }

    RigReply setPtt(bool keyed);
    RigReply readFrequency();

    // Hamlib's catalogue of rigs, by maker and model name.
    static std::vector<RigModel> catalogue();

private:
    s_rig* rig_ = nullptr;
};

}  // namespace miv
