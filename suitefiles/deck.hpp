// CLDX.DUE, the fate model's input deck: its content, one writer and one
// reader. The placement simulator fills a FateDeck for every load (BUILD)
// and writes it; the fate model reads it record by record in the order of
// its run, checking each item before it reads the next. The test decks are
// FateDecks written by the same writer.
//
// The writer's and the reader's layouts of each kind of record, side by
// side. They differ in form only: a reader's Fw.0 or Ew.0 field takes the
// decimal point the writer put in, so a value written under a writer's
// layout is read back under the reader's of the same row:
//
//   record(s)                                   writer             reader
//   1        TITLE                              (A60)              (A60)
//   2, 7     KVESSEL; KDEPTH                    (2I5)              (16I5), (2I5)
//   3-5, 12, 15  counts and options             (16I5)             (16I5)
//   6, 9, 11, 16  lengths and depths            (9F10.2)           (8F10.0)
//   13, 25   profile depths; print times        (8F10.2)           (8F10.0)
//   8, 17    depth and velocity grid rows       (10F8.3)           (10F8.3)
//   10, 14   ROUGH, ZREF; densities             (8F10.5)           (8F10.0)
//   18       two-point velocity profiles        (8F10.2)           (8F10.0)
//   19       TSTOP, DTL, TREL                   (8F10.1)           (8F10.0)
//   20       vessel                             (9F10.2)           (9E10.0)
//   21-23    coefficients                       (9F10.5)           (9E10.0)
//   24a      per layer: velocity and volume     (9F10.4)           (9E10.0)
//   24b      per layer and fraction             DECK_FRACTION_OUT  DECK_FRACTION_IN
//
// Which records a deck holds follows from its codes: the depth grid (8)
// unless KDEPTH = 1, the wave record (11) when KWAVE = 1, the observation
// (16) for KVEL 1 or 2, the velocity grids (17) for KVEL 4, the profiles
// (18) for KVEL 3, the coefficients (21-23) when KEY1 = 1, NLAYER blocks of
// a layer record and NSOLID fraction records (24), and the print times (25)
// when NPRT >= 1. The placement simulator writes only decks with the depth
// grid, the wave record, one observation, no coefficients and NPRT = 2.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "recio/format.hpp"

namespace suitefiles {

inline constexpr const char* FATE_DECK_NAME = "CLDX.DUE";

inline constexpr const char* DECK_TITLE = "(A60)";
inline constexpr const char* DECK_PAIR_OUT = "(2I5)";
inline constexpr const char* DECK_PAIR_IN = "(2I5)";
inline constexpr const char* DECK_INTEGERS = "(16I5)";
inline constexpr const char* DECK_REALS_OUT = "(9F10.2)";
inline constexpr const char* DECK_REALS_IN = "(8F10.0)";
// A list of any length: eight values to a record, as the reader takes them.
inline constexpr const char* DECK_LIST_OUT = "(8F10.2)";
inline constexpr const char* DECK_GRID_ROW = "(10F8.3)";
inline constexpr const char* DECK_FINE_OUT = "(8F10.5)";
inline constexpr const char* DECK_TIMES_OUT = "(8F10.1)";
inline constexpr const char* DECK_LONG_REALS_IN = "(9E10.0)";
inline constexpr const char* DECK_LAYER_OUT = "(9F10.4)";
inline constexpr const char* DECK_COEFFICIENTS_OUT = "(9F10.5)";
inline constexpr const char* DECK_PROFILES_OUT = "(8F10.2)";

// The fraction record: SOLNAM, SG, CONC, VFALL, VOIDR, TAUCD, KCOHES,
// KSTRIP. The writer puts its five reals from column 9, the reader takes
// them from column 11 and its integers from column 61: the reader's fields
// lie two columns to the right of the writer's. The values read are those
// written while every real keeps two leading blanks in its F10.5 field (a
// magnitude below 100) and every integer fits in three columns, blanks in a
// numeric field being ignored. Both are kept as they are, the fate model
// reading decks made by hand in its own layout.
inline constexpr const char* DECK_FRACTION_OUT = "(A8,5F10.5,3I5)";
inline constexpr const char* DECK_FRACTION_IN = "(A8,2X,5E10.0,3I5)";
inline constexpr std::size_t DECK_FRACTION_REALS_FROM =
    8;                                                // 0-based column of the first written real
inline constexpr std::size_t DECK_FRACTION_NAME = 8;  // characters of SOLNAM
inline constexpr std::size_t DECK_TITLE_LENGTH = 60;

// Codes of the deck that decide which records follow.
inline constexpr std::int16_t DECK_CONSTANT_DEPTH = 1;  // KDEPTH: no depth grid
inline constexpr std::int16_t DECK_WAVES = 1;           // KWAVE: the wave record follows
inline constexpr std::int16_t DECK_COEFFICIENTS = 1;    // KEY1: records 21-23 follow
enum class DeckVelocity : std::int16_t {                // KVEL
    Observed = 1,                                       // record 16
    ObservedLog = 2,                                    // record 16, logarithmic profile
    Profiles = 3,                                       // record 18
    Grids = 4,                                          // record 17
};

// The model coefficients of records 21-23 (KEY1 = 1).
struct DeckCoefficients {
    float alpha0 = 0, beta = 0, cm = 0, cd = 0;                                      // record 21
    float gama = 0, cdrag = 0, cfric = 0, cd3 = 0, cd4 = 0, alphac = 0, frictn = 0;  // 22
    float alamda = 0, aky0 = 0, cstrip = 0, cbed1 = 0, cbed2 = 0;                    // 23
};

// One solids fraction of a layer (record 24b).
struct DeckFraction {
    std::string name;  // SOLNAM, 8 characters
    float sg = 0;      // specific gravity or density, g/cc
    float conc = 0;    // volumetric concentration in the layer
    float vfall = 0;   // fall velocity, ft/s
    float voidr = 0;   // depositional void ratio
    float taucd = 0;   // critical shear stress for deposition, lb/ft2
    std::int16_t kcohes = 0, kstrip = 0;
};

// One layer of the load (record 24a and its NSOLID fraction records).
struct DeckLayer {
    float cu = 0, cw = 0;  // initial cloud velocity in x and z, ft/s
    float vollay = 0;      // volume of the layer, cu yd
    std::vector<DeckFraction> fractions;
};

// The content of a deck. Grids hold MMAX rows (top to bottom) of NMAX
// values (left to right), row after row. Counts are values of the deck:
// the writer writes them as they stand and the vectors as long as they
// are; the reader sizes the vectors by the counts read.
struct FateDeck {
    std::string title;                                                   // 1
    std::int16_t kvessel = 0;                                            // 2
    std::int16_t nmax = 0, mmax = 0, nsolid = 0, nlayer = 0, nbins = 0;  // 3
    std::int16_t key1 = 0, kvary = 0, kwave = 0;                         // 4
    std::int16_t kpdesc = 0, kpcoll = 0, nprt = 0;                       // 5
    float depc = 0, dx = 0, dz = 0;                                      // 6
    std::int16_t kdepth = 0;                                             // 7
    std::vector<float> depth;                                            // 8, ft
    float xbarge = 0, zbarge = 0;                                        // 9, ft
    float rough = 0, zref = 0;                                           // 10, ft
    float hwave = 0, twave = 0, dwave = 0;                               // 11: ft, s, degrees
    std::int16_t ndens = 0;                                              // 12
    std::vector<float> profile_depth;                                    // 13, ft
    std::vector<float> profile_density;                                  // 14, g/cc
    std::int16_t kvel = 0;                                               // 15
    float vax = 0, vaz = 0, dobs = 0;                                    // 16: ft/s, ft/s, ft
    std::vector<float> u, w;                                             // 17, ft/s
    float du1 = 0, du2 = 0, uu1 = 0, uu2 = 0, dw1 = 0, dw2 = 0, ww1 = 0, ww2 = 0;  // 18
    float tstop = 0, dtl = 0, trel = 0;                                            // 19, s
    float bargl = 0, bargw = 0, drel1 = 0, drel2 = 0, rhow = 0, tdis = 0, binl = 0, binw = 0,
          theta = 0;                // 20
    DeckCoefficients coefficients;  // 21-23
    std::vector<DeckLayer> layers;  // 24
    std::vector<float> tprint;      // 25, s
    // Records 2 and 7 have a second I5 field that the fate model does not
    // read. The placement simulator leaves it off; a deck made by hand may
    // fill it, and then it is written with this value.
    std::optional<std::int16_t> unread_second;
};

// The deck's records, in the writer's layouts. A value that its field
// cannot hold (asterisks, NaN, Infinity) would reach the fate model as
// something else: `problem` names the first such field ("CLDX.DUE RECORD 6,
// FIELD 1: ..."), and is empty when every value fits.
std::vector<std::string> fate_deck_records(const FateDeck& deck, std::string& problem);
std::vector<std::string> fate_deck_records(const FateDeck& deck);

// The reader, one deck item at a time in the order of the deck, each
// filling its part of `deck`; a caller can check an item before it reads
// the next. Every read raises recio::RecordError at an unreadable field or
// an early end of the deck.
class FateDeckReader {
  public:
    FateDeckReader(recio::RecordSource& in, FateDeck& deck) : in_(in), deck_(deck) {}

    void title();                                 // record 1
    void vessel_type();                           // 2
    void sizes();                                 // 3
    void options();                               // 4
    void print_control();                         // 5
    void spacing();                               // 6
    void depth_option();                          // 7
    void depth_row();                             // 8: appends the next row of the depth grid
    void dump_location();                         // 9
    void roughness();                             // 10
    void waves();                                 // 11
    void profile_size();                          // 12
    void profile_depths();                        // 13
    void profile_densities();                     // 14
    void velocity_option();                       // 15
    void observation();                           // 16
    void velocity_row(std::vector<float>& grid);  // 17: appends a row to u or w
    void velocity_profiles();                     // 18
    void times();                                 // 19
    void vessel();                                // 20
    void coefficients_first();                    // 21
    void coefficients_second();                   // 22
    void coefficients_third();                    // 23
    void layer();                                 // 24a: appends a layer
    void fraction();                              // 24b: appends a fraction to the last layer
    void print_times();                           // 25

  private:
    recio::RecordSource& in_;
    FateDeck& deck_;
};

// The whole deck read in order, the codes read deciding which records
// follow. Raises recio::RecordError as the item readers do.
FateDeck read_fate_deck(recio::RecordSource& in);

}  // namespace suitefiles
