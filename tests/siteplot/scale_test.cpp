// Colour scales: round limits and steps, one colour per band, a diverging
// scale with white at zero.
#include "siteplot/scale.hpp"

#include <gtest/gtest.h>

#include "results/errors.hpp"

namespace {

using siteplot::RGB;
using siteplot::Scale;
using siteplot::ScaleKind;

TEST(Scale, NiceSteps) {
    struct Case {
        double span;
        int target;
        double step;
    };
    for (const Case c : {Case{10, 10, 1}, Case{7, 10, 1}, Case{36, 10, 5}, Case{0.03, 10, 0.005},
                         Case{22, 10, 2.5}, Case{1500, 5, 500}, Case{0, 10, 1}})
        EXPECT_DOUBLE_EQ(siteplot::nice_step(c.span, c.target), c.step) << c.span;
}

// Bands cover the values from round limits; contours fall on band edges at
// the contour step; every band has its own colour.
TEST(Scale, DepthScaleCoversTheValues) {
    const Scale s = siteplot::make_scale(ScaleKind::Depth, 53.2, 76.9);
    EXPECT_DOUBLE_EQ(s.step, 2.5);
    EXPECT_DOUBLE_EQ(s.edges.front(), 52.5);
    EXPECT_DOUBLE_EQ(s.edges.back(), 77.5);
    EXPECT_EQ(s.edges.size(), s.colours.size() + 1);
    EXPECT_EQ(s.contours.size(), 11u);
    EXPECT_DOUBLE_EQ(s.contours[1], 55.0);
    EXPECT_EQ(siteplot::band_of(s, 52.5), 0);
    EXPECT_EQ(siteplot::band_of(s, 77.5), s.bands() - 1);
    EXPECT_EQ(siteplot::band_of(s, 1000), s.bands() - 1);
    EXPECT_EQ(siteplot::band_of(s, -5), 0);
    // Shallow light, deep dark.
    const RGB shallow = siteplot::colour_of(s, 53), deep = siteplot::colour_of(s, 77);
    EXPECT_GT(shallow.r + shallow.g + shallow.b, deep.r + deep.g + deep.b + 400);
    // A given contour interval is kept.
    EXPECT_DOUBLE_EQ(siteplot::make_scale(ScaleKind::Depth, 53.2, 76.9, 1).step, 1.0);
    EXPECT_THROW(siteplot::make_scale(ScaleKind::Depth, 0, 100, 0.001), results::InputError);
}

// Erosion blue, deposit brown, zero in a white middle band, limits symmetric.
TEST(Scale, DifferenceScaleIsDivergingAboutZero) {
    const Scale s = siteplot::make_scale(ScaleKind::Difference, -0.4, 3.1);
    EXPECT_DOUBLE_EQ(s.edges.front(), -s.edges.back());
    EXPECT_EQ(s.bands() % 2, 1);
    EXPECT_EQ(siteplot::colour_of(s, 0.0), (RGB{247, 247, 247}));
    const RGB erosion = siteplot::colour_of(s, -2.0), deposit = siteplot::colour_of(s, 2.0);
    EXPECT_GT(erosion.b, erosion.r + 50);
    EXPECT_GT(deposit.r, deposit.b + 50);
}

TEST(Scale, ThicknessFromZeroAndFlatSurfaces) {
    const Scale t = siteplot::make_scale(ScaleKind::Thickness, 0.02, 0.8);
    EXPECT_DOUBLE_EQ(t.edges.front(), 0.0);
    EXPECT_EQ(siteplot::colour_of(t, 0.0), (RGB{255, 255, 229}));
    // A flat grid still gets a scale around its value.
    const Scale f = siteplot::make_scale(ScaleKind::Depth, 30, 30);
    EXPECT_LT(f.edges.front(), 30.0);
    EXPECT_GT(f.edges.back(), 30.0);
    const Scale z = siteplot::make_scale(ScaleKind::Thickness, 0, 0);
    EXPECT_DOUBLE_EQ(z.edges.front(), 0.0);
    EXPECT_GT(z.edges.back(), 0.0);
}

TEST(Scale, DecimalsOfSteps) {
    EXPECT_EQ(siteplot::decimals_for(5), 0);
    EXPECT_EQ(siteplot::decimals_for(2.5), 1);
    EXPECT_EQ(siteplot::decimals_for(0.05), 2);
    EXPECT_EQ(siteplot::decimals_for(0.0025), 4);
}

}  // namespace
