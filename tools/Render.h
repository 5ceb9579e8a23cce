// orvanta-form render: draws every page of a course definition, headless, into PNG files.
#pragma once

#include <string>

// Loads the definition as the program does, sizes the window as stored, and for each page N makes it
// active and writes the whole client area to OUTDIR/page-NN.png. Returns the exit code.
int RunRender(const std::string& outDir, const std::string& definitionPath);
