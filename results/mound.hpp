// The mound of a long-term run: its height, volume and centroid at every
// grid of PLOTBATH.DAT, measured against a reference bed.
#pragma once

#include <string>
#include <vector>

#include "gridlib/sitegrid.hpp"
#include "results/frame.hpp"
#include "results/readers.hpp"
#include "results/site.hpp"

namespace results {

// A reference bed on the lattice, one depth per node in lattice order
// (I outer, J inner).
using Reference = std::vector<double>;

// The long-term model's own reference: a flat bed at the depth of the
// lattice's south-west corner (node I = 1, J = 1) in the initial grid.
Reference flat_reference(const BathSeries& s);
// The depths of the series' first grid: for a site history, the site the
// activity began on.
Reference first_grid_reference(const BathSeries& s);
// A site grid (the bottom before the disposal) carried onto the lattice by
// bilinear interpolation between its points; on a lattice of the site's own
// size every node takes its point's depth unchanged.
Reference site_reference(const gridlib::SiteGrid& base, const BathSeries& s);

// The rise a node must have reached when disposal ended to count as part of
// the mound's own area (ft): above the files' rounding and the thin film the
// fate model spreads far from the dumps.
inline constexpr double MOUND_AREA_RISE = 0.1;

struct MoundState {
    double hours = 0;
    double height = 0;  // largest rise above the reference anywhere, ft
    // Net volume change of the whole lattice (rise less lowering), cubic
    // yards: what the placement added and what the long-term model brought
    // in or carried out across the site's edges.
    double volume = 0;
    // Net volume change over the mound's own area, cubic yards.
    double area_volume = 0;
    bool has_mound = false;  // the centroid's nodes (see below) rise above the reference
    double centroid_xl = 0, centroid_yl = 0;  // local offsets of the centroid, ft
    double offset_e = 0, offset_n = 0;  // centroid shift since the first grid, ft east and north
    double offset = 0;                  // its length, ft
};

// The mound's own area: the nodes that had risen more than MOUND_AREA_RISE
// above the reference when disposal ended (the last disposal-week grid of a
// site history), or, in a series without one, in the first grid where any
// node had. Empty when no grid rises that far.
std::vector<bool> mound_area(const BathSeries& s, const Reference& ref);

// One state per grid of the series. Volumes use the model's own cell (DX x
// DY of the file header). The centroid is the rise-weighted mean position of
// the mound area's nodes that lie above the reference (of every node above
// it when the area is empty), so that sand waves moving far from the mound
// do not drag it.
std::vector<MoundState> mound_history(const BathSeries& s, const Reference& ref, const Frame& f,
                                      double we_ft, double ns_ft);

// The series with every depth replaced by reference - depth: the thickness
// of material above the reference bed (negative where the bed lies below it).
BathSeries thickness_series(const BathSeries& s, const Reference& ref);

// A long-term grid series placed on its site.
struct SiteSeries {
    BathSeries series;
    double we_ft = 0, ns_ft = 0;     // site extents: the lattice spans them
    std::vector<std::string> notes;  // how the start time was found
    bool history = false;            // read from a site history: site depths on the site grid
    // The run's control file says it was a cohesive placement run: the
    // grids are the thickness form (a flat bed at the reference depth plus
    // the mound), not site depths.
    bool thickness_form = false;
};

// Reads a site history (<output>.HIS), told apart by its first record, or
// PLOTBATH.DAT on the lattice of the site. The time of the initial grid
// comes from the run's control file: pcd_file, or PCD.INI beside the series
// file when pcd_file is empty; without one it is taken as 0 hours.
SiteSeries load_site_series(const std::string& plotbath_file, const Site& site,
                            const std::string& pcd_file = "");

}  // namespace results
