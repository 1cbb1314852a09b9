#include "sim/StarField.h"

#include "platform/forms/Random.h"
#include "platform/pixels/Rounding.h"

#include <algorithm>
#include <cmath>

namespace oz {

namespace {
constexpr float kFullTurn = 6.2831855f;
constexpr float kFieldRadiusSquared = 16900.0f;

// A new life on the far side of the ball: uniform over the disc seen from ahead, pushed
// out to the sphere, white three times in four.
void Rebirth(StarRecord& star, int i, std::int32_t starCount) {
    const float a = Rnd() * kFullTurn;
    const float rho = std::sqrt(Rnd()) * kFieldRadius;
    star.X = std::cos(a) * rho;
    star.Y = std::sin(a) * rho;
    // Float error may leave the radicand a hair below 0 on the disc's rim.
    star.Z = std::sqrt(std::max(0.0f, kFieldRadiusSquared - star.X * star.X - star.Y * star.Y));
    star.Active = i <= starCount ? 1 : 0;
    if (Rnd() < 0.3f)
        star.ColorIndex = static_cast<std::uint8_t>(std::floor(Rnd() * 6.0f));
    else
        star.ColorIndex = 0;
}
} // namespace

void TurnPoint(float& x, float& y, float SinAngle, float CosAngle) {
    const float oldX = x;
    const float oldY = y;
    x = CosAngle * oldX - SinAngle * oldY;
    y = SinAngle * oldX + CosAngle * oldY;
}

float ArcSin(float Value) {
    return std::atan(Value / std::sqrt(1.0f - Value * Value));
}

void SetLookAngles(FlightState& flight, float AngleH, float AngleV) {
    flight.LookAngleH = AngleH;
    flight.LookAngleV = AngleV;
    flight.SinLookH = std::sin(AngleH);
    flight.CosLookH = std::cos(AngleH);
    flight.SinLookV = std::sin(AngleV);
    flight.CosLookV = std::cos(AngleV);
}

void StarField::PlaceStarField() {
    for (StarRecord& star : Stars) {
        star.Active = 0;
        const float a = Rnd() * kFullTurn;
        const float b = ArcSin((Rnd() - 0.5f) * 2.0f);
        const float r = kFieldRadius * std::pow(Rnd(), 0.333f);
        star.X = r * std::cos(b) * std::sin(a);
        star.Y = r * std::sin(b);
        star.Z = r * std::cos(b) * std::cos(a);
    }
}

bool StarField::StarStep(int i, const FlightState& flight, StarSight& sight) {
    StarRecord& star = Stars[static_cast<std::size_t>(i)];
    star.Z = star.Z - flight.TimeScale * flight.Speed;
    const float d = std::sqrt(star.X * star.X + star.Y * star.Y + star.Z * star.Z);
    if (d > kFieldRadius)
        Rebirth(star, i, flight.StarCount);
    if (star.Active == 0)
        return false;

    float tx = star.X;
    float ty = star.Y;
    float tz = star.Z;
    if (flight.LookAngleH != 0.0f || flight.LookAngleV != 0.0f) {
        TurnPoint(tx, tz, flight.SinLookH, flight.CosLookH);
        TurnPoint(ty, tz, flight.SinLookV, flight.CosLookV);
    }
    if (!(tz > 1.0f))
        return false;

    const float focal = static_cast<float>(flight.HalfWidth);
    sight.sx = ToInt32(tx / tz * focal) + flight.HalfWidth;
    sight.sy = flight.HalfHeight - ToInt32(ty / tz * focal);
    if (sight.sx < 0 || sight.sx >= flight.ViewWidth || sight.sy < 0 ||
        sight.sy >= flight.ViewHeight)
        return false;
    sight.Distance = d;
    sight.Size = flight.Brightness * 50.0f / d;
    sight.ColorIndex = star.ColorIndex;
    return true;
}

void StarField::TurnStarField(float AngleH, float AngleV) {
    const float sinH = std::sin(AngleH);
    const float cosH = std::cos(AngleH);
    const float sinV = std::sin(AngleV);
    const float cosV = std::cos(AngleV);
    for (StarRecord& star : Stars) {
        TurnPoint(star.X, star.Z, sinH, cosH);
        TurnPoint(star.Y, star.Z, sinV, cosV);
    }
}

void StarField::SpinStarField(float Angle) {
    const float sinA = std::sin(Angle);
    const float cosA = std::cos(Angle);
    for (StarRecord& star : Stars)
        TurnPoint(star.X, star.Y, sinA, cosA);
}

} // namespace oz
