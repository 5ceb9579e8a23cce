// orvanta-form render: draws every page of a course definition, headless, into PNG files.
#pragma once

#include <optional>
#include <string>

// Loads the definition as the program does (the course built into the tool when no file is given),
// sizes the window as stored, and for each page N makes it active and writes the whole client area to
// OUTDIR/page-NN.png, and the place of every control showing to OUTDIR/page-NN.json. With a scale
// above 1 the window is drawn as on a screen of that many device pixels per pixel, and the pictures
// have that many times the pixels in each direction. Returns the exit code.
int RunRender(const std::string& outDir, const std::optional<std::string>& definitionPath, int scale = 1);
