#pragma once

namespace miv {

// The values the receive steps, acquisition and the decoder hand to one another
// between spectrum rows. One receiver owns one of these.
struct ReceiveState {
    // Set by the receive step for the spectrum just computed.
    int HopColumn = 1;      // HopTable column of the mode
    int ToneStep = 2;       // spectrum bins between adjacent tones
    int SpectrumPlane = 1;  // 1: 16-baud spectra, 2: 1-baud and EME spectra
    int CurrentRow = 1;     // 1..208, row of the newest spectrum
    bool AcquisitionEnabled = false;

    // Acquisition results.
    int StartBin = 0;  // spectrum bin of tone 0 of group 1 (HF) or of the single group (EME)
    bool LockFlag = false;
    float BestSum = 0;
    float FrequencyShift = 0;     // Hz, at the latest lock
    int FrameScore = 0;           // matching preamble symbols at the latest lock, of 20
    int FinalScore = 0;           // matching end-marker symbols, of 16
    float AcquisitionVolume = 0;  // dB, volume reading at the latest lock
};

}  // namespace miv
