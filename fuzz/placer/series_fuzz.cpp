// The files placer reads value by value: the wave series WAVREC.OUT and the
// tide series TIDE.DAT at several time steps, the placement file of placement
// mode 4, and the base surface BASSE.IN. Each input is read as every one of
// them. Every outcome must be values, the end of the file, or a RecordError.
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_file.hpp"
#include "gridlib/sitegrid.hpp"
#include "placer/fields.hpp"
#include "placer/schedule.hpp"
#include "placer/setup.hpp"
#include "recio/format.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzing::write_input("SERIES.DAT", data, size);
    for (const bool waves : {true, false}) {
        placer::SeriesFiles series;
        if (!series.open(waves, !waves, "SERIES.DAT", "SERIES.DAT")) return 0;
        for (std::int32_t index : {0, 1, 7, 55}) {
            placer::SeriesValues v;
            try {
                series.values(index, v);
            } catch (const recio::RecordError&) {
            }
        }
    }
    placer::PlacementFile placements;
    if (placements.open("SERIES.DAT")) {
        suitefiles::Position p;
        std::string problem;
        for (int k = 0; k < 64 && placements.next(static_cast<std::int16_t>(1 + k % 2), p, problem);
             ++k) {
        }
    }
    std::vector<float> base(gridlib::MAXPTS, 0.0f);
    try {
        if (placer::read_base_surface("SERIES.DAT", 60, base))
            placer::depth_problem("SERIES.DAT", 15, base, 60);
    } catch (const recio::RecordError&) {
    }
    return 0;
}
