#pragma once

#include "modem/Frame.h"
#include "modem/Viterbi.h"

namespace miv {

// Where the steps of a received message fall, counted in symbol decisions after the
// lock. Acquisition locks on the row of the last preamble symbol, which the first
// decision decides; the de-interleaving hands the decoder each symbol nine decisions
// after it was sent, so decision d feeds it interleaver input x(d + 19), and the
// Viterbi decoder gives that symbol's bits back ViterbiDecoder::kDepth decisions later.

// x21, the first data symbol, enters the Viterbi decoder, which starts afresh.
inline constexpr int kFirstDataDecision = 2;
// The header of the received message is written, if the lock still holds.
inline constexpr int kHeaderDecision = 4;
// The bits of x21 leave the decoder: the first character bits.
inline constexpr int kFirstCharacterDecision = kFirstDataDecision + ViterbiDecoder::kDepth;
// The character decoders start afresh just before.
inline constexpr int kCharacterResetDecision = kFirstCharacterDecision - 1;
// The error count compares each decoded symbol with the hard decision taken on it, up
// to this many decisions earlier...
inline constexpr int kHardDecisionSpan = kDeinterleaveDelay[0] + ViterbiDecoder::kDepth;
// ...so from this decision on every hard decision compared belongs to the message.
inline constexpr int kFirstErrorCountDecision = kHardDecisionSpan + 1;

}  // namespace miv
