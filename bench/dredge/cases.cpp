#include "cases.hpp"

#include <cmath>
#include <string>
#include <vector>

#include "recio/records.hpp"

namespace dredge_bench {

namespace fs = std::filesystem;

// A 14-ft disposal mound on a 55-ft sea bed with a pseudo-random roughness
// of up to half a foot, so that (as on a surveyed site) the cells' depths
// differ.
void write_case(const fs::path& dir, const WeekCase& c, const fs::path& data_dir) {
    const int n = 201;
    const float dx = 50.0f;
    std::vector<float> depth;
    std::uint32_t seed = 12345u;
    for (int i = 1; i <= n; ++i)
        for (int j = 1; j <= n; ++j) {
            const float x = static_cast<float>(i - 101) * dx, y = static_cast<float>(j - 101) * dx;
            const float r2 = (x * x + y * y) / (2.0f * 600.0f * 600.0f);
            seed = seed * 1103515245u + 12345u;
            const float rough = static_cast<float>((seed >> 8) & 0xffffu) / 65535.0f - 0.5f;
            depth.push_back(55.0f - 14.0f * std::exp(-r2) + rough);
        }
    {
        recio::RecordWriter out((dir / "SITE.TNS").string());
        out.write("(10X,F5.1)", dx);
        out.write("(A60)", std::string("BENCHMARK SITE"));
        out.write("(26F8.3)", recio::array(depth.data(), depth.size()));
        out.write("(20X,' 999999999')");
        out.close();
    }
    {
        recio::RecordWriter out((dir / "PCD.INI").string());
        out.write("(7I5)", 1, 7, n, n, 1, 1, 2);
        out.write("(A32)", std::string("SITE.TNS"));
        out.write("(8F8.3)", 20.0f, 3.0f, 8.0f, 0.0f, 60.0f, 60.0f);
        out.write("(8F8.3)", 0.0f, c.steady_speed, 45.0f, 3.0f, c.steady_speed, 45.0f);
        out.write("(F8.3,I4,3F8.3)", 0.2f, c.ised, 30.0f, 25.0f, 0.4f);
        out.close();
    }
    const auto copy = [&](const char* from, const char* to) {
        fs::copy_file(data_dir / from, dir / to, fs::copy_options::overwrite_existing);
    };
    copy(c.tide_file, "TIDAL.DAT");
    copy("WAVREC.OUT", "WAVREC.OUT");
    copy("PCDDF_CLAY.DAT", "PCDDF2.DAT");
}

}  // namespace dredge_bench
