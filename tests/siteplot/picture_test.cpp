// Pictures: a tiny grid with a known pattern shows the expected colours at
// known places (read back with GDAL's PNG driver), and every command of the
// program draws its kind of input at the requested size.
#include <gdal_priv.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "results/frame.hpp"
#include "siteplot/plot.hpp"
#include "siteplot/scale.hpp"
#include "tests/results/tool_folder.hpp"

namespace {

namespace fs = std::filesystem;
using results::XY;
const std::string DATA = std::string(TEST_DATA_DIR) + "/results/data/";

class Pictures : public ToolFolder {
  protected:
    Pictures() : ToolFolder("siteplot") {}
    void SetUp() override {
        GDALAllRegister();
        ToolFolder::SetUp();
    }
};

// A PNG read back with GDAL: its size and the colour of a pixel.
struct Png {
    GDALDataset* ds = nullptr;
    explicit Png(const std::string& path) {
        ds = static_cast<GDALDataset*>(GDALOpen(path.c_str(), GA_ReadOnly));
    }
    ~Png() {
        if (ds) GDALClose(ds);
    }
    int width() const { return ds->GetRasterXSize(); }
    int height() const { return ds->GetRasterYSize(); }
    siteplot::RGB at(const XY& px) const {
        const int x = static_cast<int>(px.x), y = static_cast<int>(px.y);
        unsigned char c[3] = {0, 0, 0};
        for (int b = 0; b < 3; ++b)
            EXPECT_EQ(ds->GetRasterBand(b + 1)->RasterIO(GF_Read, x, y, 1, 1, &c[b], 1, 1, GDT_Byte,
                                                         0, 0, nullptr),
                      CE_None);
        return {c[0], c[1], c[2]};
    }
};

::testing::AssertionResult near(const siteplot::RGB& got, const siteplot::RGB& want, int tol = 3) {
    if (std::abs(got.r - want.r) <= tol && std::abs(got.g - want.g) <= tol &&
        std::abs(got.b - want.b) <= tol)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "got (" << int(got.r) << "," << int(got.g) << "," << int(got.b) << ") want ("
           << int(want.r) << "," << int(want.g) << "," << int(want.b) << ")";
}

class KnownPattern : public Pictures, public ::testing::WithParamInterface<double> {};

// A 4 x 4 grid, its two western columns at 12 ft and its two eastern ones
// at 47 ft, drawn turned by the site rotation: the middle of each half shows
// the colour of its band, the corner of the frame outside the grid is white,
// and a dump position shows red.
TEST_P(KnownPattern, ColoursAtKnownPlaces) {
    siteplot::MapPicture p;
    p.frame = results::make_frame(1, 1000, 5000, GetParam());
    p.raster.nx = 4;
    p.raster.ny = 4;
    p.raster.dx = p.raster.dy = 100;
    p.raster.v = {12, 12, 47, 47, 12, 12, 47, 47, 12, 12, 47, 47, 12, 12, 47, 47};
    p.scale = siteplot::make_scale(siteplot::ScaleKind::Depth, 0, 60, 5);
    p.bar_label = "DEPTH (FT)";
    p.title = "PATTERN";
    siteplot::set_axis_labels(p);
    const XY dump = results::node_map(p.frame, p.raster, 2.5, 0.5);
    p.dumps = {dump};
    const std::string png = out("pattern.png");
    const siteplot::PageGeometry g = siteplot::draw_map(png, 640, 480, p);
    Png img(png);
    ASSERT_NE(img.ds, nullptr);
    EXPECT_EQ(img.width(), 640);
    EXPECT_EQ(img.height(), 480);
    for (double row : {0.5, 1.5, 2.5})
        EXPECT_TRUE(near(img.at(g.pixel(results::node_map(p.frame, p.raster, 0.5, row))),
                         siteplot::colour_of(p.scale, 12)))
            << "west half, row " << row;
    for (double row : {1.5, 2.5})
        EXPECT_TRUE(near(img.at(g.pixel(results::node_map(p.frame, p.raster, 2.5, row))),
                         siteplot::colour_of(p.scale, 47)))
            << "east half, row " << row;
    // The two halves differ: the pattern is not a uniform fill.
    EXPECT_FALSE(siteplot::colour_of(p.scale, 12) == siteplot::colour_of(p.scale, 47));
    EXPECT_TRUE(
        near(img.at(g.pixel({g.wx0 + 0.02 * (g.wx1 - g.wx0), g.wy0 + 0.02 * (g.wy1 - g.wy0)})),
             {255, 255, 255}));
    // The dump marker is a small open red circle: red about the dump, the
    // band's colour at its centre, so that markers do not hide the mound.
    const XY at = g.pixel(dump);
    EXPECT_TRUE(near(img.at(at), siteplot::colour_of(p.scale, 47))) << "inside the dump marker";
    bool red = false;
    for (int dx = -10; dx <= 10 && !red; ++dx)
        for (int dy = -10; dy <= 10 && !red; ++dy) {
            const siteplot::RGB d = img.at({at.x + dx, at.y + dy});
            red = d.r > d.g + 60;
        }
    EXPECT_TRUE(red) << "dump marker";
    // A north-up map at equal scale: one foot east and one foot north take
    // the same number of pixels.
    const XY a = g.pixel({1000, 5000}), b = g.pixel({1100, 5100});
    EXPECT_NEAR(b.x - a.x, a.y - b.y, 0.01);
}

INSTANTIATE_TEST_SUITE_P(Rotations, KnownPattern, ::testing::Values(0.0, 30.0, 90.0, -45.0));

// A map that frames what changed shows that part of the site with a margin,
// never more than the site; without a focus it shows the whole site.
TEST(MapFrame, FramesTheChangedPartWithinTheSite) {
    siteplot::MapPicture p;
    p.frame = results::make_frame(1, 1000, 5000, 0);
    p.raster.nx = p.raster.ny = 101;
    p.raster.dx = p.raster.dy = 50;  // a 5000 ft square site
    p.raster.v.assign(101 * 101, 0.0f);
    const siteplot::PageGeometry whole = siteplot::map_layout(800, 800, p);
    EXPECT_LE(whole.wx0, 1000);
    EXPECT_GE(whole.wx1, 6000);
    p.focus = {{3000, 3000}, {3200, 2900}};  // 200 x 100 ft near the middle
    const siteplot::PageGeometry part = siteplot::map_layout(800, 800, p);
    EXPECT_LE(part.wx0, 3000);
    EXPECT_GE(part.wx1, 3200);
    EXPECT_LE(part.wy0, 2900);
    EXPECT_GE(part.wy1, 3000);
    EXPECT_LT(part.wx1 - part.wx0, 1000) << "the change fills a good part of the map";
    p.focus = {{1000, 5000}, {1100, 4900}};  // in the NW corner: the frame stops at the site
    const siteplot::PageGeometry corner = siteplot::map_layout(800, 800, p);
    EXPECT_GE(corner.wx0, 1000 - 0.05 * (corner.wx1 - corner.wx0));
    EXPECT_LE(corner.wy1, 5000 + 0.05 * (corner.wy1 - corner.wy0));
}

bool svg_file(const std::string& path) {
    std::ifstream in(path);
    const std::string s((std::istreambuf_iterator<char>(in)), {});
    return s.find("<svg") != std::string::npos;
}

// Every kind of input draws without error at the requested size.
TEST_F(Pictures, EveryKindOfInput) {
    const std::string t = DATA + "tiny/", size = " --size 640x480";
    struct Case {
        std::string args;
        std::vector<std::string> pictures;
    };
    const std::vector<Case> cases = {
        {"depth " + t + "TINYAFT.IN -o " + out("depth.png") + " --dumps " + t +
             "TINY.ACT --dumps " + t + "TINY.XYZ",
         {"depth.png"}},
        {"depth " + DATA + "geog/GEOG.IN -o " + out("geog.png"), {"geog.png"}},
        {"depth " + DATA + "flat/FLAT.IN -o " + out("flat.svg"), {"flat.svg"}},
        {"diff " + t + "TINY.IN " + t + "TINYAFT.IN -o " + out("diff.png") + " --dumps " + t +
             "TINY.ACT",
         {"diff.png"}},
        {"diff " + t + "TINY.IN " + t + "TINYAFT.IN -o " + out("whole.png") + " --whole-site",
         {"whole.png"}},
        {"deposit " + t + "CLDX.DUT -o " + out("dut.png"), {"dut.png"}},
        {"deposit " + t + "CLDX.DUT -o " + out("dutsite.png") + " --site " + t +
             "TINYAFT.IN --at 5286.6025,9050",
         {"dutsite.png"}},
        {"mound " + t + "PLOTBATH.DAT --site " + t + "TINYAFT.IN -o " + out("mound.png") +
             " --hours all",
         {"mound_168h.png", "mound_336h.png", "mound_504h.png"}},
        {"mound " + t + "PLOTBATH.DAT --site " + t + "TINYAFT.IN -o " + out("thick.png") +
             " --base " + t + "TINY.IN",
         {"thick_168h.png", "thick_504h.png"}},
        {"mound " + t + "PLOTBATH.DAT --site " + t + "TINYAFT.IN -o " + out("since.png") +
             " --since 168 --hours 504",
         {"since_504h.png"}},
        {"mound " + DATA + "geog/PLOTBATH.DAT --site " + DATA + "geog/GEOG.IN -o " + out("gm.png") +
             " --hours 168",
         {"gm_168h.png"}},
        {"evolution " + t + "PLOTBATH.DAT --site " + t + "TINYAFT.IN -o " + out("evo.png") +
             " --base " + t + "TINY.IN",
         {"evo.png"}},
        {"evolution " + DATA + "flat/PLOTBATH.DAT --site " + DATA + "flat/FLAT.IN -o " +
             out("evo.svg"),
         {"evo.svg"}},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(run(c.args + size), 0) << c.args << "\n" << console();
        for (const std::string& name : c.pictures) {
            if (name.size() > 4 && name.substr(name.size() - 4) == ".svg") {
                EXPECT_TRUE(svg_file(out(name))) << name;
                continue;
            }
            Png img(out(name));
            ASSERT_NE(img.ds, nullptr) << name;
            EXPECT_EQ(img.width(), 640) << name;
            EXPECT_EQ(img.height(), 480) << name;
        }
    }
}

// A picture named as a file of the suite that is there, or as one of the
// files read, is refused unless --force; the files stay as they were.
TEST_F(Pictures, WritingOverASuiteFileOrAnInputNeedsForce) {
    const char* const kept[] = {"TINY.IN", "TINY.OUT", "TINY.ACT", "PCD.INI", "PLOTBATH.DAT"};
    for (const char* f : kept) fs::copy_file(DATA + "tiny/" + f, out(f));
    write_text(out("TIDE.png"), "an older picture\n");
    const std::string grid = out("TINY.IN"), size = " --size 320x240";
    const struct {
        std::string args;
        const char* message;  // "" : drawn
    } cases[] = {
        {"depth " + grid + " -o " + grid, "IS ONE OF THE FILES READ"},
        {"depth " + grid + " -o " + out("PIC.png") + " --dumps " + out("PIC.png"),
         "IS ONE OF THE FILES READ"},
        {"depth " + grid + " -o " + out("TINY.OUT"), "WOULD REPLACE A FILE OF THE SUITE"},
        {"depth " + grid + " -o " + out("TIDE.png"), "WOULD REPLACE A FILE OF THE SUITE"},
        {"depth " + grid + " -o " + out("TIDE.png") + " --force", ""},
        {"mound " + out("PLOTBATH.DAT") + " --site " + grid + " -o " + out("PCD.INI"),
         "WOULD REPLACE A FILE OF THE SUITE"},
    };
    std::string old;
    for (const char* f : kept) old += read_text(out(f));
    for (const auto& c : cases) {
        EXPECT_EQ(run(c.args + size), *c.message ? 1 : 0) << c.args << "\n" << console();
        if (*c.message) {
            EXPECT_NE(console().find(c.message), std::string::npos) << c.args << "\n" << console();
        }
        std::string now;
        for (const char* f : kept) now += read_text(out(f));
        EXPECT_EQ(now, old) << c.args;
    }
    EXPECT_NE(read_text(out("TIDE.png")), "an older picture\n");  // drawn with --force
}

// Inputs that are not regular files are named as such, at once.
TEST_F(Pictures, InputsThatAreNotFilesAreNamed) {
    fs::create_directory(out("DIR.IN"));
    ASSERT_EQ(::mkfifo(out("PIPE.XYZ").c_str(), 0600), 0);
    const std::string t = DATA + "tiny/";
    EXPECT_EQ(run("depth " + out("DIR.IN") + " -o " + out("a.png")), 1);
    EXPECT_NE(console().find("FILE " + out("DIR.IN") + " IS A DIRECTORY, NOT A FILE"),
              std::string::npos)
        << console();
    EXPECT_EQ(run("depth " + t + "TINY.IN -o " + out("a.png") + " --dumps " + out("PIPE.XYZ")), 1);
    EXPECT_NE(console().find("IS NOT A REGULAR FILE"), std::string::npos) << console();
    EXPECT_EQ(run("depth " + t + "TINY.IN --summary " + out("DIR.IN") + " -o " + out("a.png")), 1);
    EXPECT_NE(console().find("IS A DIRECTORY"), std::string::npos) << console();
    EXPECT_FALSE(fs::exists(out("a.png")));
}

TEST_F(Pictures, Faults) {
    const std::string t = DATA + "tiny/";
    struct Case {
        std::string args;
        int status;
        std::string message;
    };
    const std::vector<Case> cases = {
        {"depth " + t + "NOSUCH.IN -o " + out("a.png"), 1, "GRID FILE NOT FOUND"},
        {"depth " + t + "TINY.IN -o " + out("a.gif"), 1, ".png OR .svg"},
        {"depth " + t + "TINY.IN -o " + out("a.png") + " --size 10x10", 1, "PICTURE SIZE"},
        {"depth " + t + "TINY.IN -o " + out("a.png") + " --range 5,1", 1, "--range"},
        {"diff " + t + "TINY.IN " + DATA + "flat/FLAT.IN -o " + out("a.png"), 1,
         "NOT OF THE SAME SIZE"},
        {"mound " + t + "PLOTBATH.DAT --site " + t + "TINY.IN -o " + out("a.png") + " --hours 999",
         1, "NO GRID AT 999 HOURS"},
        {"mound " + t + "PLOTBATH.DAT --site " + DATA + "flat/FLAT.IN -o " + out("a.png"), 1,
         "NOT FROM THIS SITE"},
        {"mound " + t + "PLOTBATH.DAT --site " + t + "TINY.IN -o " + out("a.png") + " --since 999",
         1, "NO GRID AT 999 HOURS"},
        {"mound " + t + "PLOTBATH.DAT --site " + t + "TINY.IN -o " + out("a.png") +
             " --since 168,336",
         2, "ONE TIME"},
        {"mound " + t + "PLOTBATH.DAT --site " + t + "TINY.IN -o " + out("a.png") +
             " --since 168 --base " + t + "TINY.IN",
         2, "NOT BOTH"},
        {"deposit " + t + "CLDX.DUT -o " + out("a.png") + " --site " + t + "TINY.IN", 1,
         "GO TOGETHER"},
        // A dump position of NaN or Inf used to hang the drawing; a huge one
        // ended it inside the plotting library with an empty picture left.
        {"deposit " + t + "CLDX.DUT -o " + out("a.png") + " --site " + t + "TINY.IN --at NaN,1", 1,
         "NOT A FINITE NUMBER IN --at"},
        {"deposit " + t + "CLDX.DUT -o " + out("a.png") + " --site " + t + "TINY.IN --at 1E30,1E30",
         1, "DOES NOT FIT A SITE COORDINATE"},
        {"depth " + t + "TINY.IN -o " + out("a.png") + " --dumps " + t + "NOSUCH.XYZ", 1,
         "NOT FOUND"},
        {"mound " + t + "PLOTBATH.DAT -o " + out("a.png"), 2, "--site"},
        {"depth " + t + "TINY.IN -o " + out("a.png") + " --colour red", 2, "UNKNOWN OPTION"},
        {"draw " + t + "TINY.IN", 2, "UNKNOWN COMMAND"},
        {"", 2, "USAGE"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(run(c.args), c.status) << c.args;
        EXPECT_NE(console().find(c.message), std::string::npos) << c.args << "\n" << console();
    }
    for (const auto& e : fs::directory_iterator(dir_))
        EXPECT_EQ(e.path().filename(), "console.txt");
}

}  // namespace
