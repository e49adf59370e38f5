#pragma once

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vantorel {

// The platform's spring animation, described by its response (the period of the undamped
// oscillation, in seconds) and damping fraction: the share of the way from start to end it has
// travelled after `seconds`. Underdamped springs overshoot a little before settling.
class Spring {
public:
    Spring(double response, double damping)
        : omega_(2 * std::numbers::pi / std::max(response, 1e-3)),
          damping_(std::clamp(damping, 0.05, 0.999)) {}

    double progress(double seconds) const {
        if (!(seconds > 0)) return 0;
        if (seconds >= settleTime()) return 1;
        const double decay = damping_ * omega_;
        const double omegaD = omega_ * std::sqrt(1 - damping_ * damping_);
        return 1 - std::exp(-decay * seconds) *
                       (std::cos(omegaD * seconds) + decay / omegaD * std::sin(omegaD * seconds));
    }

    // When what is left of the motion is below a thousandth of its length.
    double settleTime() const {
        const double envelope = 1 / std::sqrt(1 - damping_ * damping_);
        return std::log(1000 * envelope) / (damping_ * omega_);
    }
    int durationMs() const { return static_cast<int>(std::ceil(settleTime() * 1000)); }

private:
    double omega_;
    double damping_;
};

}  // namespace vantorel
