// LOADPAT.ANS, the answers to the dump-pattern generator's questions kept in
// a file, one answer a record in the order loadpat asks them, so that
// `loadpat < LOADPAT.ANS` lays out a pattern without a person at the console:
//   1  (A15)    site path: prefix and site name, no extension
//   2  (F12.4)  east-west dump interval (cell width), feet
//   3  (F12.4)  north-south dump interval (cell height), feet
//   4  (I6)     loads to be placed in each dump cell
//   5  (I6)     placement control: 1 random about each cell centroid, 0 at the centroids
//   control 1 only:
//   6  (A2)     approach direction: NO, WE, SO, EA, NW, SW, SE or NE
//   7  (F12.4)  radius of placement about each centroid, feet
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "recio/records.hpp"

namespace suitefiles {

struct LoadpatAnswers {
    std::string site;          // site path, up to 15 characters
    float dxc = 0, dyc = 0;    // dump intervals, feet
    std::int16_t loads = 0;    // loads per cell
    std::int16_t control = 0;  // 0 at the centroids, 1 random about them
    std::string approach;      // control 1
    float radius = 0;          // control 1, feet
};

// Reads the answers. Returns "" when loadpat would take them, or why not
// ("LOADPAT.ANS RECORD n: ..."): a site path longer than 15 characters or one
// the name rules refuse, an interval or radius not above 0, no load per cell,
// a placement control other than 0 or 1, an approach direction none of the
// eight. Throws recio::RecordError for an unreadable field or an early end.
std::string read_loadpat_answers(recio::RecordReader& in, LoadpatAnswers& a);

// The records of the answers, in the layout the reader takes back.
std::vector<std::string> loadpat_answers_records(const LoadpatAnswers& a);
bool write_loadpat_answers(const std::string& path, const LoadpatAnswers& a);

}  // namespace suitefiles
