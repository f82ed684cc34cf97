#include "support/vec3.h"

#include <cmath>

namespace {

float floorLength(float length) {
    return length < Vec3::minimumLength ? Vec3::minimumLength : length;
}

// The angle in radians of the point whose sine-side coordinate is `a` and
// cosine-side coordinate is `b`, from the unit vector in that direction.
float planarAngle(float a, float b) {
    const float r = floorLength(static_cast<float>(std::sqrt(double(a) * a + double(b) * b)));
    const float unitA = a / r;
    const float unitB = b / r;
    return static_cast<float>(std::atan2(unitA, unitB));
}

} // namespace

void Vec3::set(float newX, float newY, float newZ) {
    x = newX;
    y = newY;
    z = newZ;
}

float Vec3::length() const {
    return static_cast<float>(std::sqrt(double(x) * x + double(y) * y + double(z) * z));
}

void Vec3::normalize() {
    const float factor = 1.0f / floorLength(length());
    x *= factor;
    y *= factor;
    z *= factor;
}

float Vec3::dot(const Vec3& other) const {
    return x * other.x + y * other.y + z * other.z;
}

Vec3 Vec3::cross(const Vec3& o) const {
    return {y * o.z - z * o.y, z * o.x - x * o.z, x * o.y - y * o.x};
}

Vec3& Vec3::operator+=(const Vec3& other) {
    x += other.x;
    y += other.y;
    z += other.z;
    return *this;
}

Vec3& Vec3::operator-=(const Vec3& other) {
    x -= other.x;
    y -= other.y;
    z -= other.z;
    return *this;
}

Vec3& Vec3::operator*=(float factor) {
    x *= factor;
    y *= factor;
    z *= factor;
    return *this;
}

Vec3& Vec3::operator/=(float divisor) {
    const float d = floorLength(divisor);
    x /= d;
    y /= d;
    z /= d;
    return *this;
}

Vec3 operator+(const Vec3& a, const Vec3& b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}

Vec3 operator-(const Vec3& a, const Vec3& b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}

Vec3 operator*(const Vec3& v, float factor) {
    return {v.x * factor, v.y * factor, v.z * factor};
}

Vec3 operator/(const Vec3& v, float divisor) {
    Vec3 result = v;
    result /= divisor;
    return result;
}

void directionToAngles(const Vec3& from, const Vec3& to, float& pitch, float& yaw) {
    Vec3 d = to - from;
    d.normalize();
    yaw = -(planarAngle(d.x, -d.z) * degreesPerRadian);
    const float horizontal = static_cast<float>(std::sqrt(double(d.x) * d.x + double(d.z) * d.z));
    pitch = planarAngle(d.y, horizontal) * degreesPerRadian;
}
