// keyfiles: the control files of the suite as keyword (TOML) files, and the
// checks of a run's folder. `menu read|write|check|explain|new` call it.
#include <CLI/CLI.hpp>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "keyfiles/keyfiles.hpp"
#include "recio/program.hpp"
#include "recio/records.hpp"

namespace {

using keyfiles::Kind;
using keyfiles::Values;

int fail(const std::string& why) {
    std::cerr << "keyfiles: " << why << "\n";
    return recio::STATUS_FAILED;
}

Kind kind_of_file(const std::string& path) {
    Kind kind;
    if (!keyfiles::kind_of_name(path, kind))
        throw std::runtime_error(path +
                                 ": not a control file keyfiles knows (SITEGEN.INI, MODIFY.INI, "
                                 "DUMP.INI, PCD.INI, UTL.INI, LOADPAT.ANS)");
    return kind;
}

// The fixed-column file of the values, written beside its place and renamed
// into it only once it reads back as the same values.
void write_fixed(Values& v, const std::filesystem::path& target) {
    const std::filesystem::path scratch = target.string() + ".new";
    bool written = false;
    switch (v.kind) {
        case Kind::Sitegen:
            written = suitefiles::write_sitegen_ini(scratch.string(), v.sitegen);
            break;
        case Kind::Modify:
            written = suitefiles::write_modify_ini(scratch.string(), v.modify);
            break;
        case Kind::Dump:
            written = suitefiles::write_dump_ini(scratch.string(), v.dump);
            break;
        case Kind::Pcd:
            written = suitefiles::write_pcd_ini(scratch.string(), v.pcd);
            break;
        case Kind::UtlStructure:
            written = suitefiles::write_utl_structure(scratch.string(), v.utl_structure);
            break;
        case Kind::UtlVolumes:
            written = suitefiles::write_utl_volumes(scratch.string(), v.utl_volumes);
            break;
        case Kind::Loadpat:
            written = suitefiles::write_loadpat_answers(scratch.string(), v.loadpat);
            break;
    }
    std::string problem = written ? "" : scratch.string() + " cannot be written";
    if (written) try {
            Values back = keyfiles::read_fixed(scratch.string(), v.kind);
            if (keyfiles::to_toml(back) != keyfiles::to_toml(v))
                problem = "a value does not fit its field (see `keyfiles explain " +
                          scratch.string() + "`)";
        } catch (const std::exception& e) {
            problem = std::string("a value does not fit its field: ") + e.what();
        }
    if (!problem.empty()) {
        std::error_code ignore;
        std::filesystem::remove(scratch, ignore);
        throw std::runtime_error(target.string() + " not written: " + problem);
    }
    std::filesystem::rename(scratch, target);
}

std::string file_text(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error(path + ": cannot be read");
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{
        "The suite's control files as keyword (TOML) files, and the checks of a "
        "run's folder. Exit status 0 done, 1 refused or faults found, 2 usage."};
    app.require_subcommand(1);
    std::string file, folder = ".", program, out_dir;
    CLI::App* read = app.add_subcommand("read",
                                        "a fixed-column control file as a keyword file, "
                                        "on standard output");
    read->add_option("FILE", file,
                     "SITEGEN.INI, MODIFY.INI, DUMP.INI, PCD.INI, UTL.INI or LOADPAT.ANS")
        ->required();
    CLI::App* write = app.add_subcommand("write", "the fixed-column file of a keyword file");
    write->add_option("FILE.toml", file, "keyword file")->required();
    write->add_option("-C,--folder", out_dir, "folder to write it in (default: this one)");
    CLI::App* check = app.add_subcommand("check", "every control and series file of a folder");
    check->add_option("FOLDER", folder, "the run's folder (default: this one)");
    CLI::App* explain =
        app.add_subcommand("explain", "each record of a fixed-column file, field by field");
    explain
        ->add_option("FILE", file,
                     "SITEGEN.INI, MODIFY.INI, DUMP.INI, PCD.INI, UTL.INI or LOADPAT.ANS")
        ->required();
    CLI::App* fresh = app.add_subcommand("new", "a commented keyword file of a working example");
    std::string job;
    fresh->add_option("PROGRAM", program, "sitegen, modify, placer, dredge, loadpat or utility")
        ->required();
    fresh->add_option("JOB", job, "for utility: mound (the default), berm or volumes");
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        return app.exit(e) == 0 ? 0 : recio::STATUS_USAGE;
    }
    try {
        if (*read) {
            Values v = keyfiles::read_fixed(file, kind_of_file(file));
            std::cout << keyfiles::to_toml(v);
        } else if (*write) {
            Values v = keyfiles::from_toml(file_text(file), file);
            const std::filesystem::path target =
                std::filesystem::path(out_dir.empty() ? "." : out_dir) /
                keyfiles::file_name_of(v.kind);
            write_fixed(v, target);
            std::cout << "wrote " << target.string() << "\n";
        } else if (*explain) {
            Values v = keyfiles::read_fixed(file, kind_of_file(file));
            std::cout << keyfiles::explain(v);
        } else if (*check) {
            const std::vector<std::string> faults = keyfiles::check_folder(folder);
            for (const std::string& f : faults) std::cout << f << "\n";
            if (!faults.empty()) return recio::STATUS_FAILED;
            for (const std::string& w : keyfiles::deposition_warnings(folder))
                std::cout << w << "\n";
            std::cout << "no faults found: a run would start\n";
        } else if (*fresh) {
            Values v;
            if (!keyfiles::example_for(job.empty() ? program : program + " " + job, v)) {
                std::cerr
                    << "keyfiles: no keyword file for '" << program
                    << (job.empty() ? "" : " " + job)
                    << "': sitegen, modify, placer, dredge, loadpat or utility [mound | berm | "
                       "volumes]\n";
                return recio::STATUS_USAGE;
            }
            std::cout << keyfiles::to_toml(v);
        }
    } catch (const std::exception& e) {
        return fail(e.what());
    }
    return recio::STATUS_DONE;
}
