// The bathymetry modifier: control file, point edits and the run.
#include "modify/modify.hpp"

#include "recio/console.hpp"
#include "recio/file_set.hpp"
#include "suitefiles/action.hpp"

namespace modify {
namespace {

void say(const std::string& text) {
    recio::console_list(text);
}

}  // namespace

std::string read_control(recio::RecordReader& in, Control& c) {
    return suitefiles::read_modify_ini(in, c);
}

std::vector<EditOutcome> apply_edits_reported(gridlib::SiteGrid& grid, float site_nw_e,
                                              float site_nw_n,
                                              const std::vector<EditPoint>& edits) {
    const survey::Frame f = survey::make_frame(grid, site_nw_e, site_nw_n, 0);
    const float h = static_cast<float>(grid.interval) * 0.52f;
    std::vector<EditOutcome> out(edits.size());
    for (std::size_t k = 0; k < edits.size(); ++k) {
        const EditPoint& p = edits[k];
        if (!(p.depth >= 1.0f)) {
            out[k].too_shallow = true;
            continue;
        }
        for (std::size_t i = 0; i < f.points(); ++i) {
            float dx = std::fabs(p.e - f.ge[i]);
            float dy = std::fabs(p.n - f.gn[i]);
            if (f.geographic) {
                dx = dx * f.cl * suitefiles::FEET_PER_DEGREE;
                dy = dy * suitefiles::FEET_PER_DEGREE;
            }
            if (dx <= h && dy <= h) {
                if (grid.depth[i] != p.depth)
                    out[k].changed.push_back(
                        {static_cast<std::int32_t>(i + 1), grid.depth[i], p.depth});
                grid.depth[i] = p.depth;
                ++out[k].reached;
            }
        }
    }
    return out;
}

std::int32_t apply_edits(gridlib::SiteGrid& grid, float site_nw_e, float site_nw_n,
                         const std::vector<EditPoint>& edits) {
    std::int32_t changes = 0;
    for (const EditOutcome& o : apply_edits_reported(grid, site_nw_e, site_nw_n, edits))
        changes += o.reached;
    return changes;
}

std::vector<std::string> edit_report(const std::vector<EditPoint>& edits,
                                     const std::vector<EditOutcome>& outcomes,
                                     std::int16_t interval) {
    std::vector<std::string> lines;
    std::size_t points = 0, effective = 0;
    for (std::size_t k = 0; k < edits.size() && k < outcomes.size(); ++k) {
        const EditPoint& p = edits[k];
        const EditOutcome& o = outcomes[k];
        const std::string head =
            recio::format_records("('EDIT ',I4,' AT ',F12.4,',',F12.4,', DEPTH ',F9.3,':')",
                                  static_cast<std::int32_t>(k + 1), p.e, p.n, p.depth)
                .front();
        if (o.too_shallow) {
            lines.push_back(head + " NOT APPLIED, AN EDIT DEPTH MUST BE AT LEAST 1 FT");
        } else if (o.reached == 0) {
            lines.push_back(head + " LIES OFF THE SITE: NO GRID POINT WITHIN " +
                            recio::format_records("(F9.2)", 0.52f * interval).front() +
                            " FT; NOTHING CHANGED");
        } else if (o.changed.empty()) {
            lines.push_back(head + " CHANGED NOTHING: THE " + std::to_string(o.reached) +
                            " GRID POINT(S) IT REACHES ALREADY HAVE THAT DEPTH");
        } else {
            ++effective;
            lines.push_back(head);
            for (const PointChange& c : o.changed) {
                lines.push_back(
                    recio::format_records("('    POINT ',I6,': DEPTH ',F9.3,' FT BECOMES ',F9.3)",
                                          c.point, c.old_depth, c.new_depth)
                        .front());
                ++points;
            }
        }
    }
    lines.push_back(std::to_string(points) + " GRID POINT CHANGE(S) BY " +
                    std::to_string(effective) + " OF " + std::to_string(edits.size()) + " EDIT(S)");
    return lines;
}

int run() {
    if (!suitefiles::action_word_is("EDITYES")) {  // not asked for: end at once, silently
        suitefiles::menu_hint_on_error_stream("EDITYES", "./menu modify");
        return 1;
    }
    Control c;
    {
        recio::RecordReader in("MODIFY.INI");
        if (!in.is_open()) {
            recio::console_write("(1X,'UNABLE TO FIND \"MODIFY.INI\" DATA FILE')");
            return 1;
        }
        const std::string fault = read_control(in, c);
        if (!fault.empty()) {
            say(fault);
            say("NO FILE WRITTEN");
            return 1;
        }
    }

    // The existing site: its grid, and from its summary the counters, the
    // intervals, the extents and the corners.
    gridlib::SiteGrid grid;
    if (gridlib::shown(gridlib::RGRID1(gridlib::site_file_name(c.prefix, c.old_site, ".IN"),
                                       grid)) != gridlib::GRID_OK)
        return 1;
    gridlib::SiteSummary summary;
    if (gridlib::shown(gridlib::READG(gridlib::site_file_name(c.prefix, c.old_site, ".OUT"),
                                      summary)) != gridlib::GRID_OK) {
        say("NO FILE WRITTEN");
        return 1;
    }
    const float nw_e = summary.corners.nw_e, nw_n = summary.corners.nw_n;

    // A survey that gives no grid point a depth still yields the copy of the
    // site, unchanged, but the run has not done its job: it says why and ends
    // with a failed status.
    std::vector<std::string> unchanged;
    if (c.mode == MODE_EDITS) {
        for (const std::string& line :
             edit_report(c.edits, apply_edits_reported(grid, nw_e, nw_n, c.edits), grid.interval))
            say(line);
    } else {
        survey::show_banner();
        const survey::Outcome adapted = survey::RBATH(c.survey, grid, nw_e, nw_n);
        survey::show_outcome(adapted, c.survey);
        unchanged = survey::why_nothing_adapted(adapted, c.survey, grid.interval);
        for (std::size_t k = 0; k < unchanged.size(); ++k)
            say((k == 0 ? "NO DEPTH CHANGED: " : "") + unchanged[k]);
        if (!unchanged.empty())
            say("THE NEW SITE IS WRITTEN AS AN UNCHANGED COPY OF THE EXISTING ONE");
    }
    if (!gridlib::shown(gridlib::site_storable(grid, summary, 0))) return 1;

    const std::string grid_file = gridlib::site_file_name(c.prefix, c.new_site, ".IN");
    const std::string summary_file = gridlib::site_file_name(c.prefix, c.new_site, ".OUT");
    const std::string point_file = gridlib::site_file_name(c.prefix, c.new_site, ".DAT");
    gridlib::ResampleWork work;
    recio::FileSet set(gridlib::site_file_name(c.prefix, c.new_site, ".SET"));
    if (!gridlib::shown(gridlib::GRID1(grid_file, nw_e, nw_n, grid, work, gridlib::GRID1_NEW,
                                       c.sign_option, c.title, &set)))
        return 1;
    std::int8_t turned = 0;
    if (!gridlib::shown(gridlib::ARGPB(grid_file, summary_file, summary, 0, turned, &set)))
        return 1;
    if (!gridlib::commit_site(set)) return 1;

    recio::console_write(
        "(/,/,/,1X,'The following files have been created/edited',/,1X,48('-'),/,"
        "1X,A32,/,1X,A32,/,1X,A32,/,1X,48('-'),/,/,/,1X,'PRESS \"RETURN\" TO CONTINUE')",
        recio::padded(grid_file, 32), recio::padded(summary_file, 32),
        recio::padded(point_file, 32));
    recio::keyboard_line();
    return unchanged.empty() ? 0 : 1;
}

}  // namespace modify
