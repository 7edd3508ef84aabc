// CLDX.DUE, the fate model's input deck: written by the placement simulator
// for every load (BUILD), read by the fate model record by record in the
// order of its run. The test decks use the same layouts.
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
//   6, 9, 11, 13, 16, 22  lengths and depths    (9F10.2)           (8F10.0)
//   8        depth grid rows                    (10F8.3)           (10F8.3)
//   10, 14   ROUGH, ZREF; densities             (8F10.5)           (8F10.0)
//   19       TSTOP, DTL, TREL                   (8F10.1)           (8F10.0)
//   20       vessel                             (9F10.2)           (9E10.0)
//   per layer: velocity and volume              (9F10.4)           (9E10.0)
//   per layer and fraction                      DECK_FRACTION_OUT  DECK_FRACTION_IN
// and, only in decks the placement simulator never writes, coefficient
// records (9F10.5) and velocity profiles (8F10.2), read (9E10.0) and (8F10.0).
#pragma once

#include <cstddef>

namespace suitefiles {

inline constexpr const char* DECK_TITLE = "(A60)";
inline constexpr const char* DECK_PAIR_OUT = "(2I5)";
inline constexpr const char* DECK_PAIR_IN = "(2I5)";
inline constexpr const char* DECK_INTEGERS = "(16I5)";
inline constexpr const char* DECK_REALS_OUT = "(9F10.2)";
inline constexpr const char* DECK_REALS_IN = "(8F10.0)";
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

}  // namespace suitefiles
