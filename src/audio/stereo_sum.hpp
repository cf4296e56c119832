// The running left and right sums of one output frame.
#pragma once

namespace korvale {

// A left and a right value that take the same operations, side by side, so
// that both of a voice's divisions by 15 are one instruction.
#if defined(__GNUC__)
using StereoSum = double __attribute__((vector_size(16)));
#else
struct StereoSum {
    double value[2];
    double& operator[](int i) { return value[i]; }
    double operator[](int i) const { return value[i]; }
    friend StereoSum operator+(StereoSum a, StereoSum b) { return {a[0] + b[0], a[1] + b[1]}; }
    friend StereoSum operator*(StereoSum a, StereoSum b) { return {a[0] * b[0], a[1] * b[1]}; }
    friend StereoSum operator/(StereoSum a, StereoSum b) { return {a[0] / b[0], a[1] / b[1]}; }
};
#endif

// One voice's signal over a run, waiting to be added to the sums: frame k
// receives (shares * signal[k]) / 15 for k below count.
struct PendingShares {
    const double* signal = nullptr;
    StereoSum shares{0.0, 0.0};
    int count = 0;

    void addTo(StereoSum* sums, int k) const {
        if (k < count) sums[k] = sums[k] + (shares * StereoSum{signal[k], signal[k]}) / StereoSum{15.0, 15.0};
    }
};

}  // namespace korvale
