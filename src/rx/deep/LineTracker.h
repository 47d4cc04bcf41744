#pragma once

namespace miv {

// Follows a quantity that drifts linearly with the symbol number (the start of a
// symbol when the sound cards' clocks differ, the carrier under Doppler drift): a
// weighted least-squares line through the measurements, older ones forgotten slowly.
class LineTracker {
public:
    // Starts at `value` for symbol `symbol` with a slope of `slope` per symbol, trusted
    // to within `valueSpread` and `slopeSpread` (standard deviations).
    void start(double symbol, double value, double valueSpread, double slope, double slopeSpread);
    // A measurement of the quantity at `symbol` with the given standard deviation.
    void measure(double symbol, double value, double spread);
    double at(double symbol) const { return value_ + slope_ * (symbol - symbol_); }
    double slope() const { return slope_; }

private:
    // The line is kept as value and slope at a reference symbol that follows the latest
    // measurement, with their covariance.
    void moveTo(double symbol);

    double symbol_ = 0;
    double value_ = 0;
    double slope_ = 0;
    double p00_ = 0, p01_ = 0, p11_ = 0;
};

}  // namespace miv
