// The spectral library of the landscape's materials: reflectance from 0.4 to 2.5 micrometres, thermal
// emissivity, and surface temperatures by day and by night; Planck's law for emitted radiation.
#pragma once

#include <cstdint>

enum class Material : uint8_t {
    ClearWater,
    TurbidWater,
    Conifer,
    Broadleaf,
    CropGreen,
    CropMature,
    Pasture,
    SoilDry,      // bright, coarse, dry: sand and gravel of the river beds, light bare soil
    SoilPloughed, // dark, moist, freshly tilled
    Rock,         // granite outcrops
    Asphalt,
    Concrete,
    RoofTile,
    RoofMetal,
    UrbanGrass,
    Sand,
    Count
};
constexpr int kMaterialCount = static_cast<int>(Material::Count);

// Spanish name, as the course's charts and legends write it.
const char* MaterialName(Material m);
// Reflectance (0 to 1) at a wavelength in micrometres, 0.35 to 2.6; outside that the nearest end.
double Reflectance(Material m, double micrometres);
// Mean reflectance over a band.
double BandReflectance(Material m, double lo, double hi);
// Emissivity in the 8 to 14 micrometre window.
double Emissivity(Material m);
// Surface temperature in kelvin in the early afternoon of a clear summer day, or before dawn.
double SurfaceTemperature(Material m, bool night);

// Spectral radiance of a black body, W / (m^2 sr um), at a wavelength in micrometres.
double Planck(double micrometres, double kelvin);
// Wavelength of the emission peak in micrometres (Wien's law).
double WienPeak(double kelvin);
