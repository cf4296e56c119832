// Deterministic maths for the generator. The content image must come out
// byte for byte the same on every machine, and the C library's sin, exp and
// pow differ in their last bits between implementations; these use only
// + - * / and sqrt, which IEEE arithmetic rounds the same everywhere.
#pragma once

#include <cstdint>

namespace korvale::gen {

inline constexpr double pi = 3.14159265358979323846;

// sin(x) for any x: reduce to [-pi, pi], then a Taylor series to x^23.
inline double detSin(double x) {
    const double twoPi = 2.0 * pi;
    double k = x / twoPi;
    // round half away from zero without the library
    long long n = static_cast<long long>(k >= 0 ? k + 0.5 : k - 0.5);
    double r = x - static_cast<double>(n) * twoPi;
    double term = r;
    double sum = r;
    const double r2 = r * r;
    for (int i = 1; i <= 11; ++i) {
        term = -term * r2 / static_cast<double>((2 * i) * (2 * i + 1));
        sum += term;
    }
    return sum;
}

inline double detCos(double x) { return detSin(x + pi / 2.0); }

// e^x by halving the argument until small, a series, then squaring back.
inline double detExp(double x) {
    int squarings = 0;
    while (x > 0.5 || x < -0.5) {
        x /= 2.0;
        ++squarings;
    }
    double term = 1.0;
    double sum = 1.0;
    for (int i = 1; i < 20; ++i) {
        term = term * x / static_cast<double>(i);
        sum += term;
    }
    for (int i = 0; i < squarings; ++i) sum *= sum;
    return sum;
}

// Natural logarithm by Newton's method on detExp.
inline double detLog(double x) {
    double y = 0.0;
    double m = x;
    while (m > 2.0) { m /= 2.0; y += 0.69314718055994530942; }
    while (m < 0.5) { m *= 2.0; y -= 0.69314718055994530942; }
    double z = m - 1.0;
    for (int i = 0; i < 30; ++i) z = z - 1.0 + m / detExp(z);
    return y + z;
}

inline double detPow(double base, double exponent) { return detExp(exponent * detLog(base)); }

// A small, fixed-seed pseudo-random generator (xorshift).
class Random {
public:
    explicit Random(std::uint32_t seed) : state_(seed ? seed : 0x9E3779B9u) {}
    std::uint32_t next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return state_;
    }
    // Uniform in [-1, 1).
    double bipolar() { return static_cast<double>(next() >> 8) / 8388608.0 - 1.0; }
    // Uniform in [0, 1).
    double unit() { return static_cast<double>(next() >> 8) / 16777216.0; }

private:
    std::uint32_t state_;
};

}  // namespace korvale::gen
