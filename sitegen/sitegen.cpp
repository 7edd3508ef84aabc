// The site grid generator: control file, depth builder and the run.
#include "sitegen/sitegen.hpp"

#include <algorithm>
#include <cstdio>

#include "gridlib/stored_files.hpp"
#include "recio/console.hpp"
#include "recio/file_set.hpp"
#include "suitefiles/action.hpp"

namespace sitegen {
namespace {

void say(const std::string& text) {
    recio::console_list(text);
}

}  // namespace

Control read_control(recio::RecordReader& in) {
    return suitefiles::read_sitegen_ini(in);
}

std::string control_fault(const Control& c) {
    const std::vector<suitefiles::FieldFault> faults = suitefiles::sitegen_ini_faults(c);
    return faults.empty() ? std::string{} : suitefiles::program_message(faults.front());
}

gridlib::SiteGrid grid_of(const Control& c) {
    gridlib::SiteGrid g;
    g.total_points = c.total_points;
    g.points_ns = c.points_ns;
    g.points_we = c.points_we;
    g.interval = c.interval;
    g.rotation = c.rotation;
    g.coord_system = c.coord_system;
    g.local_nw_e = c.local_nw_e;
    g.local_nw_n = c.local_nw_n;
    return g;
}

gridlib::SiteSummary summary_of(const Control& c) {
    gridlib::SiteSummary s;
    s.portrayal_interval = c.interval;
    s.survey_interval = c.survey_interval;
    s.corners = c.corners;
    s.ns_extent = c.ns_extent;
    s.we_extent = c.we_extent;
    return s;
}

Depths PREBATH(const Control& c, gridlib::SiteGrid& grid) {
    Depths out;
    const std::int32_t total = std::clamp<std::int32_t>(c.total_points, 0, gridlib::MAXPTS);
    std::fill(grid.depth.begin(), grid.depth.begin() + total, 0.0f);

    if (c.mode == MODE_PLANE) {
        const std::int32_t lattice = static_cast<std::int32_t>(c.points_ns) * c.points_we;
        const float a = static_cast<float>(c.we_extent) * c.slope_we;
        const float b = static_cast<float>(c.ns_extent) * c.slope_ns;
        // A single column (or row) has no drop along its axis.
        const float columns = static_cast<float>(c.points_we - 1),
                    rows = static_cast<float>(c.points_ns - 1);
        for (std::int32_t i = 1; i <= total; ++i) {
            float& depth = grid.depth[static_cast<std::size_t>(i - 1)];
            if (i > lattice) {
                depth = 0.0f;
                ++out.beyond;
                continue;
            }
            const std::int32_t r = suitefiles::point_row(i, c.points_we);
            const std::int32_t k = suitefiles::point_column(i, c.points_we);
            const float drop_we = c.points_we > 1 ? static_cast<float>(k) * a / columns : 0.0f;
            const float drop_ns = c.points_ns > 1 ? static_cast<float>(r) * b / rows : 0.0f;
            depth = c.nw_depth - drop_we - drop_ns;
        }
        if (out.beyond > 0) recio::console_write("(1X,'INDEX EXCEEDS NGPT IN PREBATH')");
    } else if (c.mode == MODE_SURVEY) {
        survey::show_banner();
        out.survey = survey::RBATH(c.survey, grid, c.site_nw_e, c.site_nw_n);
        survey::show_outcome(out.survey, c.survey);
    }

    // Long-term datum: the mean of the depths greater than 0.
    float sum = 0.0f;
    for (std::int32_t i = 0; i < total; ++i) {
        const float d = grid.depth[static_cast<std::size_t>(i)];
        if (d > 0.0f) {
            sum += d;
            ++out.positive;
        }
    }
    if (out.positive > 0) {
        out.datum_formed = true;
        out.datum = sum / static_cast<float>(out.positive);
        if (out.positive < total)
            for (std::int32_t i = 0; i < total; ++i) {
                float& d = grid.depth[static_cast<std::size_t>(i)];
                if (d == 0.0f) d = out.datum;
            }
    }
    if (c.mode == MODE_SURVEY) {
        const std::int32_t coverage =
            total > 0 ? static_cast<std::int32_t>(static_cast<float>(out.positive) /
                                                  static_cast<float>(total) * 100.0f)
                      : 0;
        recio::console_write("(/,1X,'SITE SURVEY COVERAGE SITE IS ',I3,'%',/)", coverage);
    }
    return out;
}

namespace {

// Why the datum could not be formed, for the user.
void explain_no_depth(const Control& c, const Depths& d) {
    if (c.mode == MODE_PLANE) {
        say("NO GRID WRITTEN: NO DEPTH OF THE SLOPING PLANE IS GREATER THAN 0");
        say("(CHECK THE NW DEPTH AND THE SLOPES IN SITEGEN.INI)");
        return;
    }
    const std::vector<std::string> why =
        survey::why_nothing_adapted(d.survey, c.survey, c.interval);
    for (std::size_t k = 0; k < why.size(); ++k) say((k == 0 ? "NO GRID WRITTEN: " : "") + why[k]);
}

}  // namespace

int run() {
    Control c;
    {
        recio::RecordReader in;
        const bool asked = suitefiles::action_word_is("GRIDYES");
        if (!asked || !in.open("SITEGEN.INI")) {
            recio::console_write("(1X,'ERROR ACCESSING GINPUT FILE')");
            if (!asked) recio::console_list(suitefiles::menu_hint("GRIDYES", "./menu sitegen"));
            return 1;
        }
        c = read_control(in);
    }
    const std::string fault = control_fault(c);
    if (!fault.empty()) {
        say(fault);
        say("NO GRID WRITTEN");
        return 1;
    }

    const std::string grid_file = gridlib::site_file_name(c.prefix, c.site, ".IN");
    const std::string summary_file = gridlib::site_file_name(c.prefix, c.site, ".OUT");
    const std::string point_file = gridlib::site_file_name(c.prefix, c.site, ".DAT");

    gridlib::SiteGrid grid = grid_of(c);
    const Depths d = PREBATH(c, grid);
    if (!d.datum_formed) {
        explain_no_depth(c, d);
        return 1;
    }
    grid.datum = d.datum;
    gridlib::SiteSummary summary = summary_of(c);
    if (!gridlib::shown(gridlib::site_storable(grid, summary, 1))) return 1;

    if (c.mode == MODE_PLANE)
        recio::console_write(
            "(10(/),1X,20X,'GENERATING DISPOSAL SITE GRID',/,1X,26X,'be 1 - 3 minutes')");

    gridlib::ResampleWork work;
    recio::FileSet set(gridlib::site_file_name(c.prefix, c.site, ".SET"));
    if (!gridlib::shown(gridlib::GRID1(grid_file, c.site_nw_e, c.site_nw_n, grid, work,
                                       gridlib::GRID1_NEW, c.sign_option, c.title, &set)))
        return 1;
    std::int8_t turned = 0;
    if (!gridlib::shown(gridlib::ARGPB(grid_file, summary_file, summary, 1, turned, &set)))
        return 1;
    if (!gridlib::commit_site(set)) return 1;

    gridlib::stored_files_screen({grid_file, summary_file, "", point_file},
                                 gridlib::StoredFilesWording::NewSite);
    return 0;
}

}  // namespace sitegen
