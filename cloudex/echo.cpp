#include "cloudex/echo.hpp"

#include <algorithm>
#include <string>

#include "cloudex/gridsetup.hpp"

namespace cloudex {

void print_pages17(Listing& out, const Grid& g, const Field& f, std::string_view header,
                   std::string_view row) {
    for (int n0 = 1; n0 <= g.nmax; n0 += 17) {
        const int n1 = std::min(n0 + 16, static_cast<int>(g.nmax));
        const auto count = static_cast<std::size_t>(n1 - n0 + 1);
        std::int32_t cols[17];
        float vals[17];
        for (int n = n0; n <= n1; ++n) cols[n - n0] = n;
        out.blank();
        out.write(header, recio::array(cols, count));
        for (int m = 1; m <= g.mmax; ++m) {
            for (int n = n0; n <= n1; ++n) vals[n - n0] = f(n, m);
            out.write(row, static_cast<std::int32_t>(m), recio::array(vals, count));
        }
    }
}

void echo_header(Listing& out, const Controls& c, std::string_view base_name) {
    out.blank();
    out.write("(1X,A60)", c.title);
    out.blank(3);
    out.write("(3A1)", std::string(1, '\x1b'), std::string(1, '\x0f'), std::string(1, '\f'));
    out.line(std::string(78, '*'));
    out.line("*  CLOUDEX -- COMPUTES THE SHORT-TERM FATE OF DREDGED MATERIAL DISPOSED FROM  *");
    out.line("*             A SPLIT-HULL BARGE OR A HOPPER DREDGE IN OPEN WATER             *");
    out.line(std::string(78, '*'));
    out.write("(15X,A)", std::string("VERSION 1.0, FATE OF ONE DISPOSAL OPERATION"));
    out.blank(2);
    out.write("(1X,'TITLE:   ',A60)", c.title);
    std::string base(base_name);  // an 8-character name field
    base.resize(8, ' ');
    out.write("(1X,'FILE:    ',A8,'.DUE')", base);
}

void echo_area(Listing& out, const Grid& g) {
    out.blank();
    out.write("(1X,'AREA:    THE PROJECT AREA IS DESCRIBED BY',' A',I3,' X',I3,' GRID.')", g.nmax,
              g.mmax);
    out.write(
        "(10X,'THERE ARE',I3,' GRID POINTS',"
        "' (NMAX) IN THE Z-DIRECTION (FROM LEFT TO RIGHT)')",
        g.nmax);
    out.write("(10X,'AND',I3,' GRID POINTS (MMAX) IN THE X-DIRECTION (FROM TOP TO BOTTOM).')",
              g.mmax);
}

void echo_parameters(Listing& out, const Controls& c) {
    if (c.key1 != 0 && c.key1 != 1) return;
    out.blank();
    out.line("EXECUTION PARAMETERS:");
    if (c.key1 == 0)
        out.line("         MODEL COEFFICIENTS SPECIFIED BY DEFAULT (KEY1 = 0).");
    else
        out.line("         MODEL COEFFICIENTS SPECIFIED IN INPUT DATA (KEY1 = 1).");
}

namespace {

void echo_coded_grid(Listing& out, const Grid& g) {
    const int drow = std::clamp(static_cast<int>(g.dump_row), 1, static_cast<int>(g.mmax));
    const int dcol = std::clamp(static_cast<int>(g.dump_col), 1, static_cast<int>(g.nmax));
    out.page();
    out.line("CODED GRID:");
    for (int n0 = 1; n0 <= g.nmax; n0 += 60) {
        const int n1 = std::min(n0 + 59, static_cast<int>(g.nmax));
        out.blank();
        out.write("(1X,'RANGE OF N IS ',I3,' TO ',I3)", n0, n1);
        out.blank();
        for (int m = 1; m <= g.mmax; ++m) {
            std::string cells;
            for (int n = n0; n <= n1; ++n) {
                cells += ' ';
                cells += (n == dcol && m == drow) ? 'D' : code_letter(g.code(n, m));
            }
            out.write("(5X,A)", cells);
        }
    }
    out.blank();
    out.line("LEGEND FOR CODED GRID:  W = WATER POINT");
    out.line("                        L = LAND POINT");
    out.line("                        O = OPEN BOUNDARY");
    out.line("                        B = DISPOSAL SITE BOUNDARY");
    out.line("                        D = DUMP LOCATION");
    out.line("                        X = DUMMY POINT");
    out.blank();
    out.write("(1X,'NUMBER OF GRID POINTS WITHIN ESTUARY = ',I5)", g.nwater);
}

}  // namespace

void echo_grid(Listing& out, const Grid& g) {
    out.blank();
    out.write("(1X,' GRID:    NUMBER OF LONG TERM GRID POINTS IN Z-DIRECTION (NMAX) =',I3)",
              g.nmax);
    out.write("(11X,'NUMBER OF LONG TERM GRID POINTS IN X-DIRECTION (MMAX) =',I3)", g.mmax);
    out.write("(11X,'GRID SPACING IN Z-DIRECTION (DZ) =',F12.5,' FT')", g.dz);
    out.write("(11X,'GRID SPACING IN X-DIRECTION (DX) =',F12.5,' FT')", g.dx);
    if (g.kdepth == 1)
        out.write("(11X,'CONSTANT DEPTH GRID SPECIFIED HAVING A DEPTH (DEPC) OF',F12.5,' FT.')",
                  g.depc);
    out.page();
    out.line("DEPTH GRID, FEET:");
    print_pages17(out, g, g.depth, "(1X,'M N =',I2,17I7)", "(1X,I2,17F7.0)");
    echo_coded_grid(out, g);
}

void echo_dump(Listing& out, const Grid& g) {
    out.blank(2);
    out.line("DISPOSAL LOCATION:");
    out.write(
        "(10X,'THE DUMP LOCATION IS',G12.4,' FT (XBARGE) OR ABOUT GRID POINT #',I2,"
        "' FROM THE TOP OF THE GRID ')",
        g.xbarge, g.dump_row);
    out.write(
        "(10X,'AND',G12.4,' FT (ZBARGE) OR ABOUT GRID POINT #',I2,"
        "' FROM THE LEFT EDGE OF THE GRID.')",
        g.zbarge, g.dump_col);
}

void echo_ambient(Listing& out, const Grid& g, const Ambient& a) {
    out.blank(2);
    out.line("AMBIENT DENSITY PROFILE:");
    out.blank();
    out.line("           DEPTH (FT)   DENSITY (G/CC)");
    for (std::size_t i = 0; i < static_cast<std::size_t>(a.prof.ndens); ++i)
        out.write("(10X,G12.4,G13.5)", a.prof.depth[i], a.prof.dens_gcc[i]);
    out.blank();
    out.line("COMPUTED DEPTH:");
    out.write("(10X,'THE DEPTH AT THE DUMP LOCATION WAS INTERPOLATED TO BE',G12.4,' FT.')",
              a.hdump);
    out.blank();
    out.line("VELOCITY DISTRIBUTION:");
    if (a.kvel == kVelObserved || a.kvel == kVelObservedLog) {
        out.write("(10X,'VERTICALLY AVERAGED X-DIRECTION (VAX =',G11.3,' FPS) AND')", a.vax);
        out.write(
            "(10X,'Z-DIRECTION (VAZ =',G11.3,"
            "' FPS) VELOCITIES CONSTRUCTED AT EACH GRID POINT')",
            a.vaz);
        if (a.kvel == kVelObserved) {
            out.write("(10X,'FROM A SINGLE OBSERVATION AT A DEPTH (D) OF',G11.3,' FT.')", a.dobs);
        } else {
            out.write("(10X,'FROM A SINGLE OBSERVATION AT A DEPTH (D) OF',G11.3,' FT AND')",
                      a.dobs);
            out.write("(10X,'USED WITH A LOGARITHMIC VELOCITY DISTRIBUTION.')");
        }
    } else if (a.kvel == kVelTwoPoint) {
        out.write(
            "(10X,'TWO-POINT VELOCITY PROFILES IN THE X- AND Z-DIRECTIONS USED AT ALL "
            "GRID POINTS')");
        out.write("(10X,'(QUICK LOOK: DEPTH ASSUMED CONSTANT AND VELOCITIES STEADY)')");
        out.write(
            "(10X,'UPPER:   DEPTH, DU1 =',G11.3,' FT  X-VELOCITY, UU1 =',G11.3,"
            "' FPS   DEPTH, DW1 =',G11.3,' FT  Z-VELOCITY, WW1 =',G11.3,' FPS')",
            a.du1, a.uu1, a.dw1, a.ww1);
        out.write(
            "(10X,'LOWER:   DEPTH, DU2 =',G11.3,' FT  X-VELOCITY, UU2 =',G11.3,"
            "' FPS   DEPTH, DW2 =',G11.3,' FT  Z-VELOCITY, WW2 =',G11.3,' FPS')",
            a.du2, a.uu2, a.dw2, a.ww2);
    } else {
        out.write("(10X,'SINGLE VELOCITY PLANE WITH DEPTH AVERAGED VALUES READ IN')");
        out.write("(10X,'- NO LOGARITHMIC VARIATION')");
    }
    if (a.kvel != kVelTwoPoint) {
        out.page();
        out.line("VELOCITY GRID:  X-DIRECTION, FPS");
        print_pages17(out, g, a.u, "(1X,'M N= ',I2,17I7)", "(1X,I2,17F7.3)");
        out.page();
        out.line("VELOCITY GRID:  Z-DIRECTION, FPS");
        print_pages17(out, g, a.w, "(1X,'M N= ',I2,17I7)", "(1X,I2,17F7.3)");
    }
}

void echo_times_vessel(Listing& out, const Controls& c, const Times& t, const Vessel& v) {
    out.page();
    out.line("TIME PARAMETERS:");
    out.write("(10X,'DURATION OF THE DISPOSAL, TREL = ',F10.2,' SECONDS')", t.trel);
    out.write("(10X,'DURATION OF THE SIMULATION, TSTOP = ',F10.2,' SECONDS')", t.tstop);
    out.write("(10X,'LONG-TERM TIME STEP USED IN THE SIMULATION, DTL = ',F10.2,' SECONDS')", t.dtl);
    out.blank();
    if (c.kvessel == kSplitHullBarge) {
        out.line("BARGE DESCRIPTION:");
        out.write("(10X,'LENGTH OF BARGE, BARGL = ',G9.2,' FT')", v.bargl);
        out.write("(10X,'WIDTH OF BARGE, BARGW = ',G9.2,' FT')", v.bargw);
        out.write("(10X,'DRAFT OF LOADED BARGE, DREL1 = ',G10.3,' FT')", v.drel1);
        out.write("(10X,'DRAFT OF UNLOADED BARGE, DREL2 = ',G10.3,' FT')", v.drel2);
    } else {
        out.line("HOPPER DREDGE DESCRIPTION:");
        out.write("(10X,'TOTAL NUMBER OF BINS = ',I2)",
                  static_cast<std::int32_t>(c.nbins * c.nlayer));
        out.write("(10X,'NUMBER OF BINS OPENING SIMULTANEOUSLY, NBINS = ',I2)", c.nbins);
        out.write("(10X,'NUMBER OF DISCHARGES, NOPENS =',I2)", c.nlayer);
        out.write("(10X,'LENGTH OF BIN, BINL = ',G9.2,' FT')", v.binl);
        out.write("(10X,'WIDTH OF BIN, BINW = ',G9.2,' FT')", v.binw);
        out.write("(10X,'DISTANCE BETWEEN BINS, TDIS = ',G9.2,' FT')", v.tdis);
        out.write(
            "(10X,'SIMULATED LENGTH OF DISCHARGE PARALLEL TO FORE-AFT AXIS, BARGL = ',"
            "G9.2,' FT')",
            v.bargl);
        out.write(
            "(10X,'SIMULATED WIDTH OF DISCHARGE PERPENDICULAR TO FORE-AFT AXIS, BARGW = ',"
            "G9.2,' FT')",
            v.bargw);
        out.write("(10X,'DRAFT OF LOADED HOPPER DREDGE, DREL1 = ',G10.3,' FT')", v.drel1);
        out.write("(10X,'DRAFT OF UNLOADED HOPPER DREDGE, DREL2 = ',G10.3,' FT')", v.drel2);
    }
}

void echo_coef_heading(Listing& out, const Controls& c) {
    out.blank();
    if (c.key1 == 1)
        out.line("MODEL COEFFICIENTS READ FROM INPUT:");
    else
        out.line("SUGGESTED DEFAULT MODEL COEFFICIENTS USED:");
}

void echo_coef_values(Listing& out, const Coefs& k) {
    const struct {
        const char* label;
        const char* name;
        float value;
    } rows[] = {
        {"TURBULENT THERMAL ENTRAINMENT", "ALPHA0", k.alpha0},
        {"SETTLING COEFFICIENT", "BETA", k.beta},
        {"APPARENT MASS COEFFICIENT", "CM", k.cm},
        {"DRAG COEFFICIENT FOR A SPHERE", "CD", k.cd},
        {"RATIO--CLOUD/AMBIENT DENSITY GRADIENTS", "GAMA", k.gama},
        {"FORM DRAG FOR COLLAPSING CLOUD", "CDRAG", k.cdrag},
        {"SKIN FRICTION FOR COLLAPSING CLOUD", "CFRIC", k.cfric},
        {"DRAG FOR AN ELLIPSOIDAL WEDGE", "CD3", k.cd3},
        {"DRAG FOR A PLATE", "CD4", k.cd4},
        {"ENTRAINMENT IN COLLAPSE", "ALPHAC", k.alphac},
        {"FRICTION BETWEEN CLOUD AND BOTTOM", "FRICTN", k.frictn},
        {"4/3 LAW HORIZ. DIFF. DISSIPATION FACTOR", "ALAMDA", k.alamda},
        {"UNSTRATIFIED WATER VERT. DIFF. COEF.", "AKY0", k.aky0},
        {"STRIPPING COEF. OF FINES DURING CONVERTIVE DESCENT", "CSTRIP", k.cstrip},
    };
    for (const auto& r : rows)
        out.write("(10X,A,T63,A6,' =',F10.4)", std::string(r.label), std::string(r.name), r.value);
}

void echo_material(Listing& out, const Controls& c, int layer) {
    out.page();
    if (c.nlayer >= 2) {
        out.write(
            "(1X,'MATERIAL DESCRIPTION:   ',I1,' LAYERS OF DREDGED MATERIAL WITH',I2,"
            "' SOLIDS FRACTIONS')",
            c.nlayer, c.nsolid);
        if (c.kvary == 0)
            out.line(
                "                        VOLUMETRIC CONCENTRATIONS OF SOLIDS FRACTIONS DO "
                "NOT VARY FROM LAYER TO LAYER.");
        else
            out.line(
                "                        VOLUMETRIC CONCENTRATIONS OF SOLIDS FRACTIONS VARY "
                "FROM LAYER TO LAYER.");
    } else {
        out.write("(1X,'MATERIAL DESCRIPTION:   ',I2,' SOLIDS FRACTIONS')", c.nsolid);
    }
    out.blank();
    out.write("(1X,' L A Y E R ',I2)", static_cast<std::int32_t>(layer));
    out.blank();
    out.line("                       SPEC. GRAV.   VOLUMETRIC     FALL    DEPOSITIONAL");
    out.line(
        "            DESCRIPTION  OR DENSITY  CONCENTRATION  VELOCITY   VOID RATIO   "
        "CHARACTER");
    out.line("                         (GM/CC)      (VOL/VOL)      (FPS)");
}

void echo_fraction(Listing& out, const Fraction& f) {
    const std::string character = f.kcohes == 1 ? "   COHESIVE    " : "   NONCOHESIVE ";
    out.write("(12X,A8,1X,G12.4,2X,G12.4,F11.5,2X,G12.4,A15)", f.name, f.sg_gcc, f.conc, f.vfall,
              f.voidr, character);
    out.write("(21X,'CRITICAL SHEAR STRESS FOR DEPOSITION =',G12.4,' LBS/SQ. FT.')", f.taucd);
    if (f.kstrip == 0)
        out.line(
            "                    SEDIMENT FRACTION WILL NOT BE STRIPPED DURING CONVECTIVE "
            "DESCENT.");
    else
        out.line(
            "                    SEDIMENT FRACTION WILL BE STRIPPED DURING CONVECTIVE "
            "DESCENT.");
}

}  // namespace cloudex
