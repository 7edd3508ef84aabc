// The input deck CLDX.DUE, read record by record in the order of the run.
//
// Every reader takes the records of one deck item through the deck's one
// reader (suitefiles/deck.hpp), checks the counts and codes it holds
// against the model's capacities (an orderly Stop with a message for the
// listing), and leaves the values in the run state. A deck that ends early
// or holds an unreadable field raises recio::RecordError naming the deck
// item, the record and the columns.
#pragma once

#include <string>
#include <vector>

#include "cloudex/state.hpp"
#include "recio/records.hpp"
#include "suitefiles/deck.hpp"

namespace cloudex {

class Deck {
  public:
    explicit Deck(recio::RecordReader& in) : in_(in), read_(in, deck_) {}

    void heading(Controls& c);                        // records 1-2: title, KVESSEL
    void sizes(Controls& c, Grid& g);                 // record 3
    void options(Controls& c, Ambient& a);            // records 4-5
    void grid(Grid& g);                               // records 6-9
    void ambient(const Grid& g, Ambient& a);          // records 10-18
    void times(Times& t);                             // record 19
    void vessel(Vessel& v);                           // record 20
    void coefficients(Coefs& k);                      // records 21-23
    void layer(float& cu, float& cw, float& vollay);  // record 24a
    void fraction(Fraction& f);                       // record 24b
    // The values of a layer's fraction records (after the bulk density of
    // the layer has been checked, whose own message comes first).
    void check_fractions(const std::vector<Fraction>& fractions) const;
    void print_times(int nprt, std::vector<float>& t);  // record 25

  private:
    recio::RecordReader& in_;
    suitefiles::FateDeck deck_;  // the values as read
    suitefiles::FateDeckReader read_;
};

}  // namespace cloudex
