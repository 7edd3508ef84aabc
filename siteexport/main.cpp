// siteexport: a site grid or a difference of two as GeoTIFF, the long-term
// grid series as CF NetCDF, for GIS and Python.
#include <gdal.h>

#include <iostream>

#include "recio/program.hpp"
#include "siteexport/commands.hpp"

int main(int argc, char** argv) {
    const int status = recio::run_main({"SITEEXPORT", "", false},
                                       [&] { return siteexport::run(argc, argv, std::cout); });
    GDALDestroyDriverManager();
    return status;
}
