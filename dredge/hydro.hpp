// Wave and current hydrodynamics of one three-hour step: the deep-water wave
// height (SHOAL), a first estimate of the current field (INITLZ) and its
// refinement by pseudo-time relaxation (VELOCITY).
//
// Units throughout: feet, seconds, feet per second.
#pragma once

#include "dredge/grid.hpp"

namespace dredge {

// Linear-wave wavelength at depth d (ft) for period t (s): the fixed-point
// iteration L' = L0 tanh(2 pi d / L), started from the mean of a deep-water
// and a shallow-water estimate, 0.5 t (5.12 t + sqrt(32.2 d)), averaging
// successive values, at most 100 passes, tolerance 0.001 ft.
// l0 is the deep-water length g t^2 / (2 pi) and two_pi the routine's 2 pi.
// `length` is the last L' computed; `passes` counts the passes made.
struct WaveLength {
    float length = 0.0f;
    int passes = 0;
    bool converged = false;
};
WaveLength wavelength(float t, float d, float l0, float two_pi);

// The same for count (at most kWavelengthBatch) depths d[k] at once, into
// out[k]: the iterations run side by side, which keeps the processor busy
// while each waits for its last pass.
constexpr int kWavelengthBatch = 16;
void wavelengths(float t, const float* d, int count, float l0, float two_pi, WaveLength* out);

// Shoaling coefficient Ks = sqrt(1 / (tanh(kh) (1 + 2kh / sinh 2kh))) of
// linear wave theory: the ratio of the wave height at relative depth kh to
// its deep-water height.
float shoaling_coefficient(float kh);

// SHOAL: deep-water wave height.
//   in:  h  wave height at the gauge (ft), t period (s), d gauge depth (ft)
//   out: h0 deep-water wave height H / Ks (ft)
// The wavelength at the gauge is found with L0 = 5.1247935 t^2; when the
// iteration does not settle, "WAVENUMBER COMPUTATION DID NOT CONVERGE!!" is
// printed and the last value is used. Returns the wavelength iteration.
WaveLength SHOAL(float h, float t, float d, float& h0);

// Chezy coefficient of Manning's n at depth d: 1.486 d^(1/6) / n (ft^0.5/s).
float chezy(float d, float n);

// INITLZ: first estimate of the current and set-up for the step.
//   in:  f.depth (tide included), q the unit discharge entering at I = 1
//        (ft2/s), v0 the current along J (ft/s), n Manning's n
//   out: f.eta falling linearly from the friction head HEAD = S (NX-1) DX at
//        I = 1 to 0 at I = NX, where S is the energy slope of the flow
//        q / DEPTH(NX,1) at the outflow corner; f.u = q / (DEPTH + ETA), the
//        discharge carried by every cell; f.v = v0 DEPTH(I,1) / DEPTH(I,J),
//        the J-current of the first row spread by continuity.
void INITLZ(Fields& f, float q, float v0, float n);

// VELOCITY: steady depth-averaged shallow-water flow by explicit
// pseudo-time relaxation (step 0.1) of the momentum equations (surface
// slope, Chezy bed friction, eddy viscosity 50 ft2/s, advection) and of
// continuity, with 0.25/0.5/0.25 smoothing, an inflow edge at I = 1 that
// admits the unit discharge q and an outflow edge at I = NX that passes on
// the discharge arriving from the interior.
//   in/out: f.u, f.v, f.eta (ft/s, ft/s, ft); in: f.depth, q (ft2/s), n
// Stops when the largest change of a sweep, 0.1 sqrt(RX^2 + RY^2), is below
// 0.02 ft/s, or after 500 sweeps with " ITERATION FAILED TO MEET MINIMUM
// ERROR LIMITS" on the console. A sweep whose change is undefined (NaN, a
// field blown up) never counts as converged. Where the outflow edge carried no discharge
// before a sweep its velocity is left as it was (the edge formula would
// divide by that discharge).
struct VelocityResult {
    int sweeps = 0;
    bool converged = false;
    float error = 0.0f;  // largest change of the last sweep (ft/s)
};
VelocityResult VELOCITY(Fields& f, float q, float n);

}  // namespace dredge
