#pragma once

#include <cmath> // std::sqrt

// The three-component companion of Vec2, with the same operations and rounding rules. Nothing in
// the simulation uses it: it is kept because the foundations were specified with it.
struct Vec3 {
    float x;
    float y;
    float z;

    constexpr explicit Vec3(float x = 0, float y = 0, float z = 0) : x(x), y(y), z(z) {}

    Vec3 operator+(Vec3 o) const { return Vec3(x + o.x, y + o.y, z + o.z); }
    Vec3 operator-(Vec3 o) const { return Vec3(x - o.x, y - o.y, z - o.z); }
    Vec3 operator-() const { return Vec3(-x, -y, -z); }
    Vec3 operator*(float s) const { return Vec3(x * s, y * s, z * s); }
    Vec3 operator/(float s) const { return Vec3(x / s, y / s, z / s); }

    void operator+=(Vec3 o) {
        x += o.x;
        y += o.y;
        z += o.z;
    }
    void operator-=(Vec3 o) {
        x -= o.x;
        y -= o.y;
        z -= o.z;
    }
    void operator*=(float s) {
        x = x * s;
        y = y * s;
        z = z * s;
    }
    void operator/=(float s) {
        x = x / s;
        y = y / s;
        z = z / s;
    }

    float length() const { return std::sqrt(x * x + y * y + z * z); }

    Vec3 normalized() const {
        const float l = length();
        return Vec3(x / l, y / l, z / l);
    }

    void setZero() {
        x = 0;
        y = 0;
        z = 0;
    }

    float dot(Vec3 o) const { return x * o.x + y * o.y + z * o.z; }

    float distance(Vec3 o) const {
        const double dx = x - o.x;
        const double dy = y - o.y;
        const double dz = z - o.z;
        return static_cast<float>(std::sqrt(dx * dx + dy * dy + dz * dz));
    }
};
