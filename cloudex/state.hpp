// State of one fate-model run, shared by its phases.
//
// Every structure here is plain data owned by the run (see run.hpp); the
// phases receive the parts they need by reference. Units are feet, seconds,
// slugs per cubic foot for densities (deck densities in g/cc times 1.94) and
// pounds per square foot for shear stresses, unless a field says otherwise.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace cloudex {

// ---- constants of the model

constexpr float kGrav = 32.2f;      // gravitational acceleration, ft/s^2
constexpr float kPi = 3.14159f;     // pi as the model carries it
constexpr float kToSlugs = 1.94f;   // g/cc -> slugs per cubic foot
constexpr float kToGcc = 0.51545f;  // slugs per cubic foot -> g/cc (density differences)
constexpr float kToRadians = kPi / 180.0f;
constexpr float kCuFtPerCuYd = 27.0f;     // cubic feet in a cubic yard
constexpr float kBottomEncounter = 0.1f;  // fixed bottom-encounter coefficient

// ---- capacities

constexpr int kLead = 65;  // leading dimension of every grid; NMAX, MMAX at most 65
constexpr int kMaxFractions = 5;
constexpr int kMaxLayers = 6;
constexpr int kMaxDensities = 5;
constexpr int kMaxRuns = 150;    // water-point runs along the grid columns
constexpr int kMaxSteps = 1200;  // integration steps of descent plus collapse
constexpr int kMaxTrials = 10;   // solution trials per phase
constexpr int kMaxClouds = 75;   // small clouds per solids fraction

// The integer part of v (truncation toward zero, as static_cast<int>),
// held to +-1E9 so that a huge, infinite or undefined real gives a defined
// index far off any grid (NaN gives -1E9).
inline int trunc_index(float v) {
    const double x = static_cast<double>(v);
    if (!(x > -1.0e9)) return -1000000000;
    if (!(x < 1.0e9)) return 1000000000;
    return static_cast<int>(x);
}

// A grid of reals addressed as H(n, m): n the column (z direction, 1..NMAX),
// m the row (x direction, 1..MMAX), with the fixed leading dimension 65.
template <class T>
struct GridOf {
    std::array<T, kLead * kLead> v{};
    T& operator()(int n, int m) { return v[static_cast<std::size_t>((m - 1) * kLead + (n - 1))]; }
    T operator()(int n, int m) const {
        return v[static_cast<std::size_t>((m - 1) * kLead + (n - 1))];
    }
    void fill(T x) { v.fill(x); }
};
using Field = GridOf<float>;
using CodeGrid = GridOf<std::int16_t>;

// Grid codes.
enum : std::int16_t {
    kDummy = 0,         // X: first or last row or column
    kWater = 1,         // W
    kLand = 2,          // L: depth 0
    kOpen = 3,          // O: non-land point on the second or second-last row or column
    kInteriorLand = 4,  // land whose four neighbours are land (shown as L)
};

// A run of consecutive non-land points of the interior band (rows and
// columns 2..N-1) along one grid column n, rows m1..m2.
struct WaterRun {
    std::int16_t n = 0, m1 = 0, m2 = 0;
};

// Run control values of the deck (records 1-5).
// Vessel types (KVESSEL).
enum : std::int16_t { kHopperDredge = 1, kSplitHullBarge = 3 };

struct Controls {
    std::string title;         // 60 characters
    std::int16_t kvessel = 0;  // kHopperDredge or kSplitHullBarge
    std::int16_t nsolid = 0;   // solids fractions
    std::int16_t nlayer = 0;   // layers (hopper dredge: discharges NOPENS)
    std::int16_t nbins = 0;    // hopper dredge: bins opening simultaneously
    std::int16_t key1 = 0;     // 1: coefficients read from the deck
    std::int16_t kvary = 0;    // 1: concentrations vary from layer to layer (heading only)
    std::int16_t kpdesc = 0;   // print the descent table
    std::int16_t kpcoll = 0;   // print the collapse table
    std::int16_t nprt = 0;     // print times given at the end of the deck
};

// The computational grid (records 3, 6-9).
struct Grid {
    std::int16_t nmax = 0, mmax = 0;
    std::int16_t kdepth = 0;
    std::int32_t negative_depths = 0;  // depths read below 0, taken as land
    float depc = 0, dx = 0, dz = 0;
    float rdx = 0, rdz = 0, area = 0;  // 1/DX, 1/DZ, DX*DZ
    Field depth;                       // water depth, ft (0 = land)
    CodeGrid code;
    std::vector<WaterRun> runs;
    std::int32_t nwater = 0;                  // points coded W
    float xbarge = 0, zbarge = 0;             // dump location, ft from the top and the left edge
    std::int16_t dump_row = 0, dump_col = 0;  // grid point nearest the dump at set-up
};

// Ambient density profile; densities in slugs per cubic foot.
struct Profile {
    std::int16_t ndens = 0;
    std::array<float, kMaxDensities> depth{}, dens{};
    std::array<float, kMaxDensities> dens_gcc{};  // the densities as read, g/cc
    float surface() const { return dens[0]; }
    float bottom() const { return dens[static_cast<std::size_t>(ndens > 0 ? ndens - 1 : 0)]; }
};

// Velocity options (KVEL).
enum : std::int16_t {
    kVelObserved = 1,     // grids built from one observation (continuity)
    kVelObservedLog = 2,  // the same with a logarithmic profile over depth
    kVelTwoPoint = 3,     // two-point profiles, no grids
    kVelGrids = 4,        // depth-averaged grids read from the deck
};

// Ambient water: bottom roughness, waves, density profile, currents (records 10-18).
struct Ambient {
    float rough = 0, zref = 0;
    std::int16_t kwave = 0;
    float hwave = 0, twave = 0, dwave = 0;  // ft, s, radians
    Profile prof;
    std::int16_t kvel = 0;  // kVelObserved .. kVelGrids
    float vax = 0, vaz = 0, dobs = 0;
    float du1 = 0, du2 = 0, uu1 = 0, uu2 = 0, dw1 = 0, dw2 = 0, ww1 = 0, ww2 = 0;
    Field u, w;       // depth-averaged x- and z-velocity grids, ft/s
    float hdump = 0;  // depth at the dump location
    Field tau;        // bottom shear stress, lb/ft^2
};

// Model coefficients (records 21-23 or the defaults).
struct Coefs {
    float alpha0 = 0.235f, beta = 0.0f, cm = 1.0f, cd = 0.5f;
    float gama = 0.25f, cdrag = 1.0f, cfric = 0.01f, cd3 = 0.1f, cd4 = 1.0f, alphac = 0.005f,
          frictn = 0.01f;
    float alamda = 0.005f, aky0 = 0.025f, cstrip = 0.003f, cbed1 = 0.2f, cbed2 = 0.1f;
};

// Disposal vessel (record 20); THETA in radians.
struct Vessel {
    float bargl = 0, bargw = 0, drel1 = 0, drel2 = 0, rhow = 0, tdis = 0, binl = 0, binw = 0,
          theta = 0;
};

// One solids fraction as last read (records 24b).
struct Fraction {
    std::string name;  // 8 characters
    float sg_gcc = 0;  // specific gravity or density, g/cc
    float sg = 0;      // the same in slugs per cubic foot
    float conc = 0;    // volumetric concentration in the current layer
    float vfall = 0;   // fall velocity, ft/s
    float voidr = 0;   // depositional void ratio
    float taucd = 0;   // critical shear stress for deposition, lb/ft^2
    std::int16_t kcohes = 0, kstrip = 0;
    bool present = false;  // non-zero concentration in some layer
    long record = 0;       // record of the deck it was last read from
    double released = 0;   // solids released by all layers so far, cu ft
};

// Times (record 19) and the long-term print times.
struct Times {
    float tstop = 0, dtl = 0, trel = 0;
    float trun = 0;  // running release time
    std::vector<float> tprint;
};

// Per-step record of the descent and collapse of one layer (steps 1..1200).
struct Track {
    template <class T>
    using Steps = std::array<T, kMaxSteps + 2>;
    Steps<float> t{}, x{}, y{}, z{}, u{}, v{}, w{};
    Steps<float> ddens{};   // cloud minus ambient density, g/cc
    Steps<float> radius{};  // descent: hemisphere radius
    Steps<float> axa{};     // minor horizontal axis (twice the first semi-axis)
    Steps<float> axb{};     // major horizontal axis
    Steps<float> thick{};   // collapse: cloud thickness
    Steps<float> vol{};     // cloud volume, cu ft
    Steps<float> circ{};    // descent: circulation
    std::array<Steps<float>, kMaxFractions> conc{};  // S(i)/V
    std::array<Steps<float>, kMaxFractions> fall{};  // fall velocity in force
};

// Bottom flag values of a layer's outcome.
enum : std::int16_t {
    kBottomNotMet = 0,
    kBottomInDescent = 1,
    kBottomInCollapse = 2,
    kRoseFromBottom = 4
};
// Spreading flag values.
enum : std::int16_t { kNotNeutral = 0, kNeutralInDescent = 1, kDiffusionWins = 3 };

// Outcome of the descent and collapse of the current layer.
struct Outcome {
    int istep = 0;          // last step of the record
    int ntrial = 0;         // trials made by the last phase
    int ibed = 0;           // step at which the bed was met (0: not met)
    bool bottom = false;    // descent met the bottom
    bool neutral = false;   // descent reached neutral buoyancy
    bool bypassed = false;  // descent bypassed (water too shallow)
    float dt = 0;           // time step in force
    int desc_steps = 0;     // last step of the descent
    float t_desc_end = 0;   // time at the end of the descent
    std::int16_t bottom_flag = kBottomNotMet;
    std::int16_t spread_flag = kNotNeutral;
    float draft = 0;  // draft at release of this layer
    float rb = 0;     // initial radius of this layer's cloud
    float r0 = 0;     // cloud radius at the end of the descent
    float grad = 0;   // ambient density gradient at the end of the descent (kept across layers)
};

// Positions (0-based) of the entries of the descent and collapse state
// vectors. The first eight are common to both phases.
constexpr int kPosX = 0;      // centroid displacement from the dump along x, ft
constexpr int kDepth = 1;     // depth of the centroid below the surface, ft
constexpr int kPosZ = 2;      // centroid displacement from the dump along z, ft
constexpr int kMass = 3;      // cloud mass, slugs
constexpr int kMomX = 4;      // x-momentum with apparent mass
constexpr int kMomY = 5;      // vertical (downward) momentum with apparent mass
constexpr int kMomZ = 6;      // z-momentum with apparent mass
constexpr int kBuoyancy = 7;  // (surface density - cloud density) * volume
// Descent only: the circulation, then the solids volumes S(i), cu ft.
constexpr int kCirculation = 8;  // ft^2/s
constexpr int kDescentSolids = 9;
// Collapse only: the two horizontal semi-axes with their spreading momenta,
// then the solids volumes S(i), cu ft.
constexpr int kSemiAxis1 = 8;    // first horizontal semi-axis a, ft
constexpr int kSpreadMom1 = 9;   // spreading momentum of a
constexpr int kSemiAxis2 = 10;   // second horizontal semi-axis a2, ft
constexpr int kSpreadMom2 = 11;  // spreading momentum of a2
// Number of entries of the collapse state before the solids
// (x, y, z, M, Px, Py, Pz, B, a, Pa, a2, Pa2), and so the position of S(1).
constexpr int kCollapseBase = 12;
using StateVector = std::array<float, kCollapseBase + kMaxFractions>;

// A small cloud of suspended solids of one fraction (Gaussian puff).
struct SmallCloud {
    float mass = 0;        // solids volume, cu ft
    float x = 0, z = 0;    // centre, ft from the top and the left edge of the grid
    float top = 0;         // depth of the top, ft
    float thick = 0;       // vertical extent, ft
    float diam = 0;        // horizontal size, ft
    float vol = 0;         // diam^2 * thick, cu ft
    float fall = 0;        // fall velocity, ft/s
    float sx = 0, sz = 0;  // horizontal standard deviations, ft
    float sv = 0;          // vertical standard deviation, ft
    float time = 0;        // time up to which the cloud has been advanced, s
};

}  // namespace cloudex
