// `menu new`: the keyword file of a working example for a program.
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "keyfiles/keyfiles.hpp"

namespace keyfiles {

extern const char* const SITEGEN_EXAMPLE;
extern const char* const DUMP_EXAMPLE;

namespace {

// Reads an example's text with the file's own reader, through a scratch file.
Values read_text(const char* text, Kind kind) {
    std::string scratch = (std::filesystem::temp_directory_path() / "keyfilesXXXXXX").string();
    const int fd = ::mkstemp(scratch.data());
    if (fd < 0) throw std::runtime_error("no scratch file for the example");
    ::close(fd);
    {
        std::ofstream out(scratch, std::ios::binary);
        out << text;
    }
    try {
        Values v = read_fixed(scratch, kind);
        std::remove(scratch.c_str());
        return v;
    } catch (...) {
        std::remove(scratch.c_str());
        throw;
    }
}

// The long-term control file of a two-week run on the example site: the
// placement simulator writes one like it before each long-term run.
suitefiles::PcdIni pcd_example() {
    suitefiles::PcdIni c;
    c.n0 = 1;
    c.ndays = 14;
    c.nx = 100;
    c.ny = 100;
    c.iwave = 1;
    c.itide = 1;
    c.icoh = suitefiles::CohesiveOption::SlowErosion;
    c.grid_file = "NPSAND.TNS";
    c.wave_height = 3.0f;
    c.wave_period = 8.0f;
    c.gauge_depth_constant = 60.0f;
    c.gauge_depth_series = 60.0f;
    c.speed1 = 0.3f;
    c.direction1 = 180.0f;
    c.switch_day = 14.0f;
    c.speed2 = 0.2f;
    c.direction2 = 200.0f;
    c.grain_size = 0.42f;
    c.ised = suitefiles::SedimentType::NonCohesive;
    c.angle1 = 10.0f;
    c.angle2 = 8.0f;
    c.porosity = 0.4f;
    return c;
}

// Two point edits of the example site, stored as a new site: a dredged
// pocket near the NW corner and a shoal near the centre.
suitefiles::ModifyIni modify_example() {
    suitefiles::ModifyIni c;
    c.old_site = "NEWPRT";
    c.new_site = "NEWED";
    c.title = "NEWPORT EXAMPLE SITE WITH TWO POINT EDITS";
    c.mode = suitefiles::MODIFY_EDITS;
    c.edits = {{10500.0f, 29500.0f, 70.0f}, {12475.0f, 27525.0f, 40.0f}};
    c.sign_option = 1;
    return c;
}

// A mound on the example site near its centre, its crest 40 ft deep. The
// berm runs along the site's diagonal, and the volumes compare the site
// before and after the example's two point edits.
suitefiles::UtlStructure mound_example() {
    suitefiles::UtlStructure c;
    c.path = "NEWPRT";
    c.structure = 'M';
    c.mound = {12500.0f, 27500.0f, 40.0f, 0.05f};
    c.sign_option = 1;
    return c;
}

suitefiles::UtlStructure berm_example() {
    suitefiles::UtlStructure c;
    c.path = "NEWPRT";
    c.structure = 'B';
    c.berm = {11000.0f, 29000.0f, 14000.0f, 26000.0f, 45.0f, 0.05f, 200};
    c.sign_option = 1;
    return c;
}

suitefiles::UtlVolumes volumes_example() {
    suitefiles::UtlVolumes c;
    c.mode = suitefiles::VOLUME_DIFFERENCE;
    c.first = "NEWPRT";
    c.second = "NEWED";
    c.difference = "NEWDIF";
    return c;
}

// A pattern over the example site: 500 ft cells, two loads in each, scattered
// within 100 ft of the centroids by a vessel coming from the north.
suitefiles::LoadpatAnswers loadpat_example() {
    suitefiles::LoadpatAnswers a;
    a.site = "NEWPRT";
    a.dxc = 500.0f;
    a.dyc = 500.0f;
    a.loads = 2;
    a.control = 1;
    a.approach = "NO";
    a.radius = 100.0f;
    return a;
}

}  // namespace

bool example_for(const std::string& program, Values& v) {
    if (program == "sitegen") {
        v = read_text(SITEGEN_EXAMPLE, Kind::Sitegen);
    } else if (program == "modify") {
        v = Values{};
        v.kind = Kind::Modify;
        v.modify = modify_example();
    } else if (program == "placer") {
        v = read_text(DUMP_EXAMPLE, Kind::Dump);
    } else if (program == "dredge") {
        v = Values{};
        v.kind = Kind::Pcd;
        v.pcd = pcd_example();
    } else if (program == "utility" || program == "utility mound" || program == "utility berm") {
        v = Values{};
        v.kind = Kind::UtlStructure;
        v.utl_structure = program == "utility berm" ? berm_example() : mound_example();
    } else if (program == "loadpat") {
        v = Values{};
        v.kind = Kind::Loadpat;
        v.loadpat = loadpat_example();
    } else if (program == "utility volumes") {
        v = Values{};
        v.kind = Kind::UtlVolumes;
        v.utl_volumes = volumes_example();
    } else {
        return false;
    }
    return true;
}

}  // namespace keyfiles
