#pragma once

#include <cmath> // std::sqrt

// A two-component single-precision vector. Every operation rounds each float operation on its
// own, in the order written here: the simulation's results depend on these exact formulas.
struct Vec2 {
    float x;
    float y;

    constexpr explicit Vec2(float x = 0, float y = 0) : x(x), y(y) {}

    Vec2 operator+(Vec2 o) const { return Vec2(x + o.x, y + o.y); }
    Vec2 operator-(Vec2 o) const { return Vec2(x - o.x, y - o.y); }
    // Negation flips the sign bits, so 0 becomes -0.
    Vec2 operator-() const { return Vec2(-x, -y); }
    Vec2 operator*(float s) const { return Vec2(x * s, y * s); }
    Vec2 operator/(float s) const { return Vec2(x / s, y / s); }

    void operator+=(Vec2 o) {
        x += o.x;
        y += o.y;
    }
    void operator-=(Vec2 o) {
        x -= o.x;
        y -= o.y;
    }
    void operator*=(float s) {
        x = x * s;
        y = y * s;
    }
    void operator/=(float s) {
        x = x / s;
        y = y / s;
    }

    float length() const { return std::sqrt(x * x + y * y); }

    // Divides each component by the length (not by multiplying with its reciprocal); a zero
    // vector gives non-finite components.
    Vec2 normalized() const {
        const float l = length();
        return Vec2(x / l, y / l);
    }

    void setZero() {
        x = 0;
        y = 0;
    }

    float dot(Vec2 o) const { return x * o.x + y * o.y; }

    // The differences are single precision; squares, sum and root are double precision, rounded
    // to float once at the end. May differ from (*this - o).length() in the last bit.
    float distance(Vec2 o) const {
        const double dx = x - o.x;
        const double dy = y - o.y;
        return static_cast<float>(std::sqrt(dy * dy + dx * dx));
    }
};
