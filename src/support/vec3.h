// Three single-precision components: a point or a direction in world units.
#pragma once

struct Vec3 {
    // Floor for every length or divisor used in a division, so nothing
    // divides by zero.
    static constexpr float minimumLength = 0.0001f;

    float x = 0.0f;
    float y = 0.0f; // the scene's up axis
    float z = 0.0f;

    Vec3() = default;
    Vec3(float x, float y, float z) : x(x), y(y), z(z) {}
    Vec3(const Vec3&) = default;
    Vec3& operator=(const Vec3&) = default;
    virtual ~Vec3() = default;

    void set(float newX, float newY, float newZ);
    // Square root of x² + y² + z², summed and rooted in double precision.
    float length() const;
    // Scales to unit length; a length below `minimumLength` counts as
    // `minimumLength`, so the zero vector stays zero.
    void normalize();

    float dot(const Vec3& other) const;
    Vec3 cross(const Vec3& other) const;

    Vec3& operator+=(const Vec3& other);
    Vec3& operator-=(const Vec3& other);
    Vec3& operator*=(float factor);
    // Divides by `divisor`, floored at `minimumLength`.
    Vec3& operator/=(float divisor);
};

Vec3 operator+(const Vec3& a, const Vec3& b);
Vec3 operator-(const Vec3& a, const Vec3& b);
Vec3 operator*(const Vec3& v, float factor);
Vec3 operator/(const Vec3& v, float divisor);

// Degrees per radian: the program's one conversion factor. It is slightly
// larger than 180/π, so a quarter turn comes out as 90.00003 degrees.
constexpr float degreesPerRadian = 57.2958f;

// The pitch (about x, positive looking up) and yaw (about y, 0 looking along
// -z, positive turning towards -x) in degrees of the direction from `from` to
// `to`. Depends only on the direction, not the distance.
void directionToAngles(const Vec3& from, const Vec3& to, float& pitch, float& yaw);
