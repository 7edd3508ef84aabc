// STORE.DAT through its reader and writer.
#include "suitefiles/store.hpp"

#include <fstream>
#include <string>
#include <vector>

#include "files_fixture.hpp"

namespace {

using namespace suitefiles_test;
using suitefiles::StoreState;

class Store : public Folder {};

std::vector<std::string> lines(const std::string& file) {
    std::ifstream in(file);
    std::vector<std::string> out;
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
}

// A column of 3 nodes and a table of 2 rows, every value distinct, some that
// need all nine digits.
StoreState small_state() {
    StoreState s;
    s.nel = 2;
    s.nodes = 3;
    s.data_flag = 7;
    s.step = 12;
    s.h_element = 1.0f / 3.0f;
    s.drain = -0.125f;
    s.dz = 0.1234567f;
    s.e00 = 9.5f;
    s.zs = 0.2469134f;
    s.gbuoy = 102.4f;
    s.gsolid = 164.8f;
    s.gs = 2.64f;
    s.gw = 62.4f;
    s.h = 2.0f;
    s.sett = 0.0312f;
    s.ultimate = 0.8f;
    s.tau = 3.0e-4f;
    s.time = 11.0f * 3.0e-4f;
    s.degree = 0.039f;
    s.f_perm = 1.0e-5f;
    s.drain_gradient = 0.5f;
    s.ef = 1.2f;
    s.f_thickness = 10.0f;
    s.f_solids = 4.5454545f;
    s.desiccation = 0.0f;
    float v = 1.0f;
    for (std::vector<float>* a :
         {&s.z, &s.xi0, &s.xi, &s.e, &s.e_old, &s.e_fin, &s.e_max, &s.alpha, &s.beta, &s.sig_eff,
          &s.u0, &s.sigma, &s.sig_fin, &s.u_excess, &s.e_int})
        for (int k = 0; k < 3; ++k) a->push_back(v++ / 7.0f);
    for (std::vector<float>* a :
         {&s.t_e, &s.t_sigma, &s.t_k, &s.t_kk, &s.t_dkk, &s.t_dsig, &s.t_alpha})
        for (int r = 0; r < 2; ++r) a->push_back(-(v++) / 3.0f);
    return s;
}

TEST_F(Store, RoundTripKeepsEveryValueAndEveryByte) {
    const StoreState s = small_state();
    ASSERT_TRUE(suitefiles::write_store("STORE.DAT", s));
    StoreState back;
    ASSERT_EQ(suitefiles::read_store("STORE.DAT", back), "");
    ASSERT_TRUE(suitefiles::write_store("AGAIN.DAT", back));
    EXPECT_EQ(bytes("AGAIN.DAT"), bytes("STORE.DAT"));
    EXPECT_EQ(back.step, 12);
    EXPECT_EQ(back.dz, s.dz);
    EXPECT_EQ(back.f_solids, s.f_solids);
    EXPECT_EQ(back.e_int, s.e_int);
    EXPECT_EQ(back.t_alpha, s.t_alpha);
    // 13 header records, four per node, two per table row.
    EXPECT_EQ(lines("STORE.DAT").size(), 13u + 4u * 3u + 2u * 2u);
}

TEST_F(Store, FilesNoRunStoresAreRefusedWithTheReason) {
    StoreState back;
    EXPECT_EQ(suitefiles::read_store("NONE.DAT", back),
              "COULD NOT OPEN NONE.DAT (THE CONSOLIDATION STATE OF THIS RUN)");
    ASSERT_TRUE(suitefiles::write_store("STORE.DAT", small_state()));
    std::vector<std::string> records = lines("STORE.DAT");
    const auto rewrite = [](const std::vector<std::string>& r) {
        std::ofstream out("BAD.DAT");
        for (const std::string& line : r) out << line << "\n";
    };
    std::vector<std::string> bad = records;
    bad[3] = " 5" + bad[3].substr(bad[3].find(' ', 1));
    rewrite(bad);
    EXPECT_EQ(suitefiles::read_store("BAD.DAT", back), "BAD.DAT RECORD 4 IS NUMBERED 5");
    bad = records;
    bad[0] = " 1 1";
    rewrite(bad);
    EXPECT_EQ(suitefiles::read_store("BAD.DAT", back),
              "BAD.DAT: IMPOSSIBLE NUMBER OF TABLE ROWS 1");
    bad = records;
    bad.resize(20);
    rewrite(bad);
    EXPECT_EQ(suitefiles::read_store("BAD.DAT", back).rfind("CONSOLIDATION STATE: ", 0), 0u);
}

}  // namespace
