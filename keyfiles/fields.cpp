// The field tables: each value of a control file with its keyword, record,
// columns and meaning.
#include <cmath>
#include <limits>
#include <type_traits>

#include "keyfiles/keyfiles.hpp"

namespace keyfiles {
namespace {

using Names = std::vector<std::pair<long, std::string>>;

// Builds a table record by record: `at(section, record)` then the fields of
// that record left to right.
class Table {
  public:
    std::vector<Field> fields;

    Table& at(const std::string& section, long record, int item = -1) {
        section_ = section;
        record_ = record;
        item_ = item;
        return *this;
    }
    void text(const char* key, const char* meaning, std::string& s, std::size_t width,
              int first = 1) {
        Field& f = add(key, meaning, first, first + static_cast<int>(width) - 1);
        f.type = Field::Type::Text;
        f.width = width;
        f.get_text = [&s] {
            const std::size_t end = s.find_last_not_of(' ');
            return end == std::string::npos ? std::string{} : s.substr(0, end + 1);
        };
        f.set_text = [&s](const std::string& t) { s = t; };
    }
    // A number of any width, or a code of an enumeration.
    template <class T>
    void number(const char* key, const char* meaning, T& v, int first, int last, Names names = {}) {
        Field& f = add(key, meaning, first, last);
        using U =
            std::conditional_t<std::is_enum_v<T>, std::underlying_type<T>, std::common_type<T>>;
        using N = typename U::type;
        f.type = std::is_floating_point_v<N> ? Field::Type::Real : Field::Type::Integer;
        f.names = std::move(names);
        if constexpr (std::is_integral_v<N>) {
            f.lowest = static_cast<double>(std::numeric_limits<N>::lowest());
            f.highest = static_cast<double>(std::numeric_limits<N>::max());
        }
        f.get_number = [&v] { return static_cast<double>(static_cast<N>(v)); };
        f.set_number = [&v](double x) { v = static_cast<T>(static_cast<N>(x)); };
    }

  private:
    Field& add(const char* key, const char* meaning, int first, int last) {
        Field f;
        f.section = section_;
        f.key = key;
        f.item = item_;
        f.meaning = meaning;
        f.record = record_;
        f.first = first;
        f.last = last;
        fields.push_back(std::move(f));
        return fields.back();
    }
    std::string section_;
    long record_ = 0;
    int item_ = -1;
};

// Columns of field k (0-based) of a record of equal fields of width w.
int from(int k, int w, int skip = 0) {
    return skip + k * w + 1;
}
int to(int k, int w, int skip = 0) {
    return skip + (k + 1) * w;
}

}  // namespace

std::vector<Field> fields_of(suitefiles::SitegenIni& c) {
    Table t;
    suitefiles::SiteCorners& k = c.corners;
    const auto real = [&t](const char* key, const char* meaning, float& v, int j) {
        t.number(key, meaning, v, from(j, 13), to(j, 13));
    };
    const auto integer = [&t](const char* key, const char* meaning, auto& v, int j) {
        t.number(key, meaning, v, from(j, 7), to(j, 7));
    };
    t.at("site", 1).text("name", "site name: the stem of the site's files", c.site, 6);
    t.at("site", 2).text("title", "title, handed to the resampled grid file", c.title, 60);
    t.at("site", 3).text("prefix",
                         "drive/directory prefix of the site's files, ending with / ("
                         "blank: this folder)",
                         c.prefix, 19);
    t.at("site", 4).number("coordinate_system",
                           "\"plane\" (feet) or \"geographic\" "
                           "(degrees, longitudes west positive)",
                           c.coord_system, 1, 2, {{1, "plane"}, {2, "geographic"}});
    t.number("rotation_deg",
             "degrees from true north, positive counterclockwise about the NW corner", c.rotation,
             3, 7);
    t.at("corners", 5);
    real("nw_easting", "NW corner, site system (ft or degrees)", c.site_nw_e, 0);
    real("nw_northing", "NW corner, site system (ft or degrees)", c.site_nw_n, 1);
    real("local_nw_easting_ft", "NW corner in the local plane frame, feet", c.local_nw_e, 2);
    real("local_nw_northing_ft", "NW corner in the local plane frame, feet", c.local_nw_n, 3);
    t.at("corners", 6);
    real("ne_easting", "NE corner: (points W-E - 1) x interval along the rotated rows", k.ne_e, 0);
    real("ne_northing", "NE corner", k.ne_n, 1);
    real("sw_easting", "SW corner: (points N-S - 1) x interval down the rotated columns", k.sw_e,
         2);
    real("sw_northing", "SW corner", k.sw_n, 3);
    t.at("corners", 7);
    real("se_easting", "SE corner", k.se_e, 0);
    real("se_northing", "SE corner", k.se_n, 1);
    t.at("grid", 8);
    integer("we_extent_ft", "W-E extent, feet: (points W-E - 1) x interval", c.we_extent, 0);
    integer("ns_extent_ft", "N-S extent, feet: (points N-S - 1) x interval", c.ns_extent, 1);
    t.at("corners", 9);
    real("centre_easting", "centre: halfway between the NW and SE corners", k.centre_e, 0);
    real("centre_northing", "centre", k.centre_n, 1);
    t.at("grid", 10);
    integer("points_we", "grid points along a row, west to east (1-999)", c.points_we, 0);
    integer("points_ns", "grid points along a column, north to south (1-999)", c.points_ns, 1);
    integer("total_points", "points_we x points_ns (at most 40401)", c.total_points, 2);
    integer("interval_ft", "feet between neighbouring grid points (1-9999)", c.interval, 3);
    integer("survey_interval_ft",
            "spacing of the survey lines, feet: written to the site summary only",
            c.survey_interval, 4);
    t.at("depths", 11);
    integer("mode", "\"plane\" (a sloping bottom) or \"survey\" (from a survey file)", c.mode, 0);
    t.fields.back().names = {{1, "plane"}, {2, "survey"}};
    if (c.mode == suitefiles::SITEGEN_PLANE) {
        t.at("plane", 12);
        real("nw_depth_ft", "depth at the NW corner, feet, positive down", c.nw_depth, 0);
        t.at("plane", 13);
        real("slope_we",
             "fall of the depth along the rows, feet per foot (positive: "
             "shallower to the east)",
             c.slope_we, 0);
        real("slope_ns",
             "fall of the depth down the columns, feet per foot (positive: "
             "shallower to the south)",
             c.slope_ns, 1);
    } else if (c.mode == suitefiles::SITEGEN_SURVEY) {
        t.at("survey", 12)
            .text("file", "survey file: free-format records of three numbers", c.survey.file, 32);
        t.number("point_spacing_ft",
                 "survey point spacing, feet: the search radius is 2 x max(this, interval)",
                 c.survey.spacing, 36, 40);
        t.at("survey", 13);
        t.text("column_1",
               "name of the survey's 1st column: N (or LAT), E (or LONG), D (or "
               "DEPTH)",
               c.survey.columns[0], 8, 1);
        t.text("column_2", "name of the 2nd column", c.survey.columns[1], 8, 9);
        t.text("column_3", "name of the 3rd column", c.survey.columns[2], 8, 17);
    }
    if (c.mode == suitefiles::SITEGEN_PLANE || c.mode == suitefiles::SITEGEN_SURVEY) {
        t.at("depths", 14);
        integer("sign_option", "depth sign in the .DAT point file (as the grid writer takes it)",
                c.sign_option, 0);
    }
    return t.fields;
}

std::vector<Field> fields_of(suitefiles::ModifyIni& c) {
    Table t;
    t.at("names", 1)
        .text("prefix",
              "drive/directory prefix of both sites' files, ending with / "
              "(blank: this folder)",
              c.prefix, 19);
    t.at("names", 2).text("existing_site", "site to start from (its .IN and .OUT)", c.old_site, 6);
    t.at("names", 3).text("new_site", "site name the edited copy is stored under", c.new_site, 6);
    t.at("names", 4).text("title", "title, handed to the resampled grid file", c.title, 60);
    t.at("edits", 5)
        .number("mode", "\"points\" (the edits below) or \"survey\" (a new survey)", c.mode, 1, 5,
                {{1, "points"}, {2, "survey"}});
    long last = 6;
    if (c.mode == suitefiles::MODIFY_EDITS) {
        for (std::size_t j = 0; j < c.edits.size(); ++j) {
            suitefiles::EditPoint& e = c.edits[j];
            t.at("edit", 7 + static_cast<long>(j), static_cast<int>(j));
            t.number("easting", "position, site system (feet, or degrees west positive)", e.e, 1,
                     12);
            t.number("northing", "position, site system", e.n, 13, 24);
            t.number("depth_ft",
                     "new depth, feet: grid points within 0.52 x interval take it (below 1 ft: "
                     "the edit is passed over)",
                     e.depth, 25, 36);
        }
        last = 7 + static_cast<long>(c.edits.size());
    } else if (c.mode == suitefiles::MODIFY_SURVEY) {
        t.at("survey", 6)
            .text("file", "survey file: free-format records of three numbers", c.survey.file, 32);
        t.number("point_spacing_ft",
                 "survey point spacing, feet: the search radius is 2 x max(this, interval)",
                 c.survey.spacing, 36, 40);
        t.at("survey", 7);
        t.text("column_1", "name of the 1st column: N (or LAT), E (or LONG), D (or DEPTH)",
               c.survey.columns[0], 8, 1);
        t.text("column_2", "name of the 2nd column", c.survey.columns[1], 8, 9);
        t.text("column_3", "name of the 3rd column", c.survey.columns[2], 8, 17);
        last = 8;
    }
    if (c.mode == suitefiles::MODIFY_EDITS || c.mode == suitefiles::MODIFY_SURVEY)
        t.at("edits", last)
            .number("sign_option", "depth sign in the .DAT point file", c.sign_option, 1, 5);
    return t.fields;
}

std::vector<Field> fields_of(suitefiles::PcdIni& c) {
    Table t;
    const auto step = [&t](const char* key, const char* meaning, auto& v, int j) {
        t.number(key, meaning, v, from(j, 5), to(j, 5));
    };
    const auto real = [&t](const char* key, const char* meaning, float& v, int j) {
        t.number(key, meaning, v, from(j, 8), to(j, 8));
    };
    t.at("run", 1);
    step("first_step", "N0: wave/tide step the run starts at (3-hour steps; 0 taken as 1)", c.n0,
         0);
    step("days", "NDAYS: days the run lasts", c.ndays, 1);
    step("nodes_we", "NX: lattice nodes west to east", c.nx, 2);
    step("nodes_ns", "NY: lattice nodes south to north", c.ny, 3);
    step("waves", "IWAVE: 1 from WAVREC.OUT, 2 constant", c.iwave, 4);
    step("tide", "ITIDE: 1 from TIDE.DAT, 2 none", c.itide, 5);
    step("cohesive_erosion", "ICOH: 1 slow (M = 1.02E-5 lb/ft2/s), 2 fast (M = 0.00102)", c.icoh,
         6);
    t.at("run", 2).text("grid_file", "resampled grid file the run starts from", c.grid_file, 32);
    t.at("waves", 3);
    real("grid_angle_deg", "grid rotation, degrees", c.grid_angle, 0);
    real("height_ft", "constant wave height, feet", c.wave_height, 1);
    real("period_s", "constant wave period, seconds", c.wave_period, 2);
    real("direction_deg", "not used", c.wave_direction, 3);
    real("gauge_depth_constant_ft", "wave-gauge depth for constant waves, feet",
         c.gauge_depth_constant, 4);
    real("gauge_depth_series_ft", "wave-gauge depth for WAVREC.OUT, feet", c.gauge_depth_series, 5);
    t.at("currents", 4);
    real("unused", "not used", c.schedule_value, 0);
    real("speed1_ft_s", "first steady current, ft/s", c.speed1, 1);
    real("direction1_deg", "first steady current, degrees toward", c.direction1, 2);
    real("switch_day", "day the second current takes over", c.switch_day, 3);
    real("speed2_ft_s", "second steady current, ft/s", c.speed2, 4);
    real("direction2_deg", "second steady current, degrees toward", c.direction2, 5);
    t.at("sediment", 5);
    t.number("grain_size_mm", "grain size, mm", c.grain_size, 1, 8);
    t.number("type", "ISED: 1 non-cohesive, 2-4 cohesive (PCDDF2.DAT-PCDDF4.DAT)", c.ised, 9, 12);
    t.number("slope1_deg", "first avalanching slope angle, degrees", c.angle1, 13, 20);
    t.number("slope2_deg", "second avalanching slope angle, degrees", c.angle2, 21, 28);
    t.number("porosity", "bed porosity (0-1)", c.porosity, 29, 36);
    return t.fields;
}

std::vector<Field> fields_of(suitefiles::DumpControl& c) {
    using namespace suitefiles;
    Table t;
    const auto i5 = [&t](const char* key, const char* meaning, auto& v, int j, Names names = {}) {
        t.number(key, meaning, v, from(j, 5), to(j, 5), std::move(names));
    };
    const auto f12 = [&t](const char* key, const char* meaning, float& v, int j, int skip = 0) {
        t.number(key, meaning, v, from(j, 12, skip), to(j, 12, skip));
    };
    t.at("names", 1)
        .text("prefix",
              "data directory of the site files, ending with / (blank: "
              "this folder)",
              c.prefix, 19);
    t.at("names", 2).text("site", "site the activity starts from (its .IN, .OUT, .TNS)", c.site, 6);
    t.at("names", 3).text("output", "stem of every grid and report the run writes", c.out, 6);
    t.at("names", 4).text("title", "title of the grids written", c.title, 60);
    t.at("run", 5);
    i5("base_option", "1: avalanching over the base surface BASSE.IN, 0: none", c.base_option, 0);
    i5("sign_option", "depth sign of the .DAT point file", c.sign_option, 1);
    i5("mode", "\"long-term only\" or \"placement\"", c.run_mode, 2,
       {{1, "long-term only"}, {2, "placement"}});
    i5("waves",
       "\"series\" (WAVREC.OUT), \"constant\" (the wave below) or \"calm\" (that "
       "wave, calm for the long-term model)",
       c.wave_source, 3, {{1, "series"}, {2, "constant"}, {3, "calm"}});
    i5("tide", "\"series\" (TIDE.DAT) or \"none\"", c.tide_source, 4, {{1, "series"}, {2, "none"}});
    t.at("vessel", 6).text("equipment", "name of the vessel", c.equipment, 6);
    t.at("vessel", 7);
    i5("kind", "\"hopper\" dredge or \"split-hull\" barge", c.kvessel, 0,
       {{1, "hopper"}, {3, "split-hull"}});
    i5("bins", "number of bins (hoppers) released", c.nbins, 1);
    t.at("vessel", 8);
    f12("speed_ft_s", "vessel speed while dumping, ft/s", c.vessel_speed, 0);
    f12("direction_deg", "vessel heading while dumping, degrees", c.vessel_direction, 1);
    f12("load_volume_yd3", "volume of one load, cubic yards", c.load_volume, 2);
    t.at("wave", 8);
    f12("height_ft", "constant wave height, feet", c.wave_height, 3);
    f12("period_s", "constant wave period, seconds", c.wave_period, 4);
    f12("direction_deg", "constant wave direction, degrees", c.wave_direction, 5);
    t.at("fate_model", 9);
    i5("key1", "KEY1: fate-model option", c.key1, 0);
    i5("kdepth", "KDEPTH: 0 constant depth, 1 depths from the grid", c.kdepth, 1);
    i5("kpdesc", "KPDESC: descent printout", c.kpdesc, 2);
    i5("kpcoll", "KPCOLL: collapse printout", c.kpcoll, 3);
    i5("nprt", "NPRT: printout option", c.nprt, 4);
    i5("kwave", "KWAVE: wave option of the fate model", c.kwave, 5);
    i5("kvary", "KVARY: ambient velocity varies (1) or not (0)", c.kvary, 6);
    i5("kvel", "KVEL: velocity profile option", c.kvel, 7);
    t.at("fate_model", 10);
    f12("tstop_s", "TSTOP: end of the fate-model run, seconds", c.tstop, 0);
    f12("dtl_s", "DTL: long-term time step, seconds", c.dtl, 1);
    f12("trel_s", "TREL: release time of the load, seconds", c.trel, 2);
    f12("print_time1_s", "first print time, seconds", c.tprint1, 3);
    f12("print_time2_s", "second print time, seconds", c.tprint2, 4);
    f12("roughness_ft", "ROUGH: bottom roughness, feet", c.rough, 5);
    f12("zref_ft", "ZREF: reference height of the velocities, feet", c.zref, 6);
    f12("gauge_depth_ft", "wave-gauge depth, feet", c.gauge_depth, 7);
    t.at("vessel", 11);
    f12("width_ft", "vessel width, feet (columns 1-12 are not used)", c.vessel_width, 0, 12);
    f12("loaded_draft_ft", "draft loaded, feet", c.loaded_draft, 1, 12);
    f12("light_draft_ft", "draft empty, feet", c.light_draft, 2, 12);
    f12("water_density_g_cm3", "RHOW: density of the water, g/cm3", c.rhow, 3, 12);
    f12("bin_spacing_ft", "TDIS: distance between bins, feet (hopper dredge)", c.tdis, 4, 12);
    f12("bin_length_ft", "BINL: bin length, feet", c.binl, 5, 12);
    f12("bin_width_ft", "BINW: bin width, feet", c.binw, 6, 12);
    f12("heading_deg", "heading, degrees", c.heading, 7, 12);
    t.at("schedule", 12);
    i5("start_month", "first month of the activity (1-12)", c.start_month, 0);
    i5("start_year", "its year, four digits", c.start_year, 1);
    i5("end_month", "last month (1-12)", c.end_month, 2);
    i5("end_year", "its year", c.end_year, 3);
    i5("disposal_days", "days on which loads are placed", c.disposal_days, 4);
    i5("period_days",
       "days of the whole run (disposal and after; the 7th field, columns "
       "31-35, is not used)",
       c.period_days, 5);
    t.at("placement", 13);
    i5("mode", "\"scatter\" about a point, \"line\", \"keyboard\" or \"file\"", c.placement_mode, 0,
       {{1, "scatter"}, {2, "line"}, {3, "keyboard"}, {4, "file"}});
    t.at("placement", 14).text("technique", "words for the report", c.technique, 30);
    switch (c.placement_mode) {
        case PlacementMode::Scatter:
            t.at("placement", 15);
            t.number("centre_easting", "centre of the scatter, site system", c.centre_e, 1, 11);
            t.number("centre_northing", "centre of the scatter", c.centre_n, 12, 22);
            t.number("radius_ft", "radius of the scatter, feet", c.radius, 23, 33);
            t.text("sector", "direction code of a sector (NO: the whole circle)", c.direction_code,
                   2, 37);
            break;
        case PlacementMode::Line:
            t.at("placement", 15);
            f12("line_start_easting", "start of the line, site system", c.line_start_e, 0);
            f12("line_start_northing", "start of the line", c.line_start_n, 1);
            f12("line_end_easting", "end of the line", c.line_end_e, 2);
            f12("line_end_northing", "end of the line", c.line_end_n, 3);
            break;
        default:
            break;  // the order of record 15 is written from record 17's
    }
    t.at("placement", 16);
    t.number("loads", "loads placed in the activity", c.loads, 1, 9);
    t.number("total_amount_yd3", "total amount, cubic yards", c.total_amount, 10, 18);
    t.text("file", "placement file (mode \"file\"): one position per load", c.placement_file, 32,
           22);
    t.at("placement", 17);
    i5("coordinate_order",
       "order of the placement file's coordinates: 1 easting first, 2 "
       "northing first (this record sets it; record 15 repeats it)",
       c.order, 0);
    i5("navigable_depth_ft", "navigable depth, feet", c.navigable_depth, 1);
    i5("lateral_tolerance_ft", "lateral tolerance of a position, feet", c.lateral_tolerance, 2);
    t.at("material", 18).text("name", "words for the report", c.material, 30);
    t.at("material", 19);
    t.number("layers", "NLAYER", c.nlayer, 1, 5);
    t.number("avalanche_angle_deg", "angle the fresh deposit avalanches at, degrees", c.aval_angle,
             11, 20);
    t.number("post_angle_deg", "angle after the activity, degrees", c.post_angle, 21, 30);
    t.number("grain_size_mm", "grain size handed to the long-term model, mm", c.grain_size, 31, 40);
    t.number("sediment_type", "1 non-cohesive, 2-4 cohesive (PCDDF2.DAT-PCDDF4.DAT)",
             c.sediment_type, 41, 45);
    t.number("void_ratio", "bulk void ratio of the deposit", c.bulk_void_ratio, 46, 57);
    for (std::size_t j = 0; j < c.fractions.size(); ++j) {
        Fraction& f = c.fractions[j];
        t.at("fraction", c.rec_fractions + static_cast<long>(j), static_cast<int>(j));
        t.text("name", "name of the fraction", f.name, 8);
        t.number("specific_gravity", "specific gravity of the grains", f.sg, 12, 21);
        t.number("concentration", "volumetric concentration in the load (0-1)", f.conc, 22, 31);
        t.number("diameter_mm", "grain diameter, mm", f.diameter, 32, 41);
        t.number("void_ratio", "depositional void ratio", f.void_ratio, 42, 51);
        t.number("deposition_shear_lb_ft2",
                 "critical shear stress for deposition, lb/ft2: the fraction deposits only "
                 "where the bottom shear stress is below it",
                 f.taucd, 52, 61);
        t.number("cohesive", "0 non-cohesive, 1 cohesive", f.cohesive, 62, 66);
        t.number("stripped",
                 "1: stripped during descent, 0: not (the third flag, columns "
                 "72-76, is not used)",
                 f.strip, 67, 71);
    }
    const long p = c.rec_fractions + static_cast<long>(c.fractions.size());
    for (int j = 0; j < c.nprofile && j < MAX_PROFILE; ++j) {
        t.at("profile_point", p + 1, j);
        t.number("depth_ft", "depth of the point of the ambient density profile, feet",
                 c.profile_depth[j], from(j, 12), to(j, 12));
        t.at("profile_point", p + 2, j);
        t.number("density_g_cm3", "ambient density there, g/cm3", c.profile_density[j], from(j, 10),
                 to(j, 10));
    }
    t.at("current", p + 3);
    f12("unused", "not used", c.schedule_value, 0);
    f12("speed1_ft_s", "first steady current, ft/s", c.speed1, 1);
    f12("direction1_deg", "its direction, degrees toward", c.direction1, 2);
    f12("switch_day", "day the second current takes over", c.switch_days, 3);
    f12("speed2_ft_s", "second steady current, ft/s", c.speed2, 4);
    f12("direction2_deg", "its direction, degrees toward", c.direction2, 5);
    return t.fields;
}

std::vector<Field> fields_of(suitefiles::UtlStructure& c) {
    Table t;
    const auto pair = [&t](const char* key, const char* meaning, float& v, int j) {
        t.number(key, meaning, v, from(j, 12), to(j, 12));
    };
    t.at("site", 1).text("path", "site path: prefix and site name, no extension", c.path, 26);
    t.at("structure", 2)
        .number("kind", "\"mound\" (around a centre) or \"berm\" (along a line)", c.structure, 1, 1,
                {{'M', "mound"}, {'B', "berm"}});
    t.fields.back().letters = true;
    long last = 5;
    if (c.structure == 'M') {
        t.at("mound", 3);
        pair("centre_easting", "centre, site system (feet, or degrees west positive)",
             c.mound.centre_e, 0);
        pair("centre_northing", "centre, site system", c.mound.centre_n, 1);
        t.at("mound", 4);
        pair("crest_depth_ft", "depth of the crest, feet, positive down", c.mound.crest, 0);
        pair("side_slope", "side slope, vertical over horizontal (above 0)", c.mound.slope, 1);
    } else if (c.structure == 'B') {
        t.at("berm", 3);
        pair("start_easting", "start of the crest line, site system", c.berm.start_e, 0);
        pair("start_northing", "start of the crest line", c.berm.start_n, 1);
        t.at("berm", 4);
        pair("end_easting", "end of the crest line, site system", c.berm.end_e, 0);
        pair("end_northing", "end of the crest line", c.berm.end_n, 1);
        t.at("berm", 5);
        pair("crest_depth_ft", "depth of the crest, feet, positive down", c.berm.crest, 0);
        pair("side_slope", "side slope, vertical over horizontal (above 0)", c.berm.slope, 1);
        t.at("berm", 6).number("crest_width_ft", "width of the flat crest, feet",
                               c.berm.crest_width, 1, 4);
        last = 7;
    }
    if (c.structure == 'M' || c.structure == 'B')
        t.at("structure", last)
            .number("sign_option",
                    "depth sign in the .DAT point file: 1 negated, 2 long-term datum - depth, "
                    "other as stored",
                    c.sign_option, 1, 4);
    return t.fields;
}

std::vector<Field> fields_of(suitefiles::UtlVolumes& c) {
    Table t;
    t.at("volumes", 1)
        .number("mode",
                "\"above\" (volume above an elevation), \"between\" (two grids) or "
                "\"difference\" (as between, and the difference grid stored as a site)",
                c.mode, 1, 4,
                {{suitefiles::VOLUME_ABOVE, "above"},
                 {suitefiles::VOLUME_BETWEEN, "between"},
                 {suitefiles::VOLUME_DIFFERENCE, "difference"}});
    t.at("volumes", 2).text("first_site", "site path of the first grid", c.first, 26);
    if (c.mode == suitefiles::VOLUME_ABOVE) {
        t.at("volumes", 3)
            .number("elevation_ft", "the elevation, as a depth in feet (positive down)",
                    c.elevation, 1, 12);
    } else if (c.mode == suitefiles::VOLUME_BETWEEN || c.mode == suitefiles::VOLUME_DIFFERENCE) {
        t.at("volumes", 3).text("second_site", "site path of the second grid", c.second, 26);
        if (c.mode == suitefiles::VOLUME_DIFFERENCE)
            t.at("volumes", 4)
                .text("difference_site", "site path the difference grid is stored under",
                      c.difference, 26);
    }
    return t.fields;
}

std::vector<Field> fields_of(suitefiles::LoadpatAnswers& c) {
    Table t;
    t.at("site", 1).text("path", "site path: prefix and site name, no extension", c.site, 15);
    t.at("cells", 2)
        .number("east_west_interval_ft", "dump cell width, feet (above 0)", c.dxc, 1, 12);
    t.at("cells", 3)
        .number("north_south_interval_ft", "dump cell height, feet (above 0)", c.dyc, 1, 12);
    t.at("cells", 4)
        .number("loads_per_cell", "loads placed in each dump cell (1 or more)", c.loads, 1, 6);
    t.at("placement", 5)
        .number("control",
                "\"random\" (scattered about each cell centroid) or \"centroids\" (at them)",
                c.control, 1, 6, {{0, "centroids"}, {1, "random"}});
    if (c.control == 1) {
        t.at("placement", 6)
            .text("approach",
                  "the vessel's approach direction: NO, WE, SO, EA, NW, SW, SE or NE; dumps on "
                  "that side of a cell spread to 1.1 x the radius",
                  c.approach, 2);
        t.at("placement", 7)
            .number("radius_ft", "radius of placement about each centroid, feet (above 0)",
                    c.radius, 1, 12);
    }
    return t.fields;
}

std::vector<Field> fields_of(Values& v) {
    switch (v.kind) {
        case Kind::Sitegen:
            return fields_of(v.sitegen);
        case Kind::Modify:
            return fields_of(v.modify);
        case Kind::Pcd:
            return fields_of(v.pcd);
        case Kind::UtlStructure:
            return fields_of(v.utl_structure);
        case Kind::UtlVolumes:
            return fields_of(v.utl_volumes);
        case Kind::Loadpat:
            return fields_of(v.loadpat);
        case Kind::Dump:
            break;
    }
    return fields_of(v.dump);
}

}  // namespace keyfiles
