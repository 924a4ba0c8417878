// Sine, cosine, arctangent and square root with the same bits on every build.
//
// The platform math libraries disagree in the last bit (glibc picks FMA code
// paths at run time, msvcrt and Wine have their own), so the engine and the
// phase picture use these instead of <cmath>'s.
#pragma once

namespace pmath {

double Sin(double x);
double Cos(double x);
double Atan(double x);
double Sqrt(double x);  // IEEE correctly rounded on every build

}  // namespace pmath
