// The faces the course names, and the free faces that stand in for them here. Each face maps to an
// installed family, metric-compatible where one exists, with the weight, width and small capitals
// that the family alone does not carry.
#pragma once

#include <QString>
#include <functional>
#include <span>

struct TFaceSubstitute {
    const char* Face;       // as a definition names it
    const char* Family;     // the installed family drawn instead
    bool Bold = false;      // the face is a heavy cut: draw its substitute bold whatever the weight asked
    int Stretch = 100;      // width in percent of the substitute's normal width
    bool SmallCaps = false; // the face has small capitals in place of lower case
};

std::span<const TFaceSubstitute> FaceSubstitutes();
// The entry for a face (compared without regard to case), or null when the table does not hold it.
const TFaceSubstitute* FindFaceSubstitute(const QString& face);
// The face drawn for names that are neither in the table nor installed.
const TFaceSubstitute& DefaultFaceSubstitute();
// The face that shows text in the symbol character set through its Unicode equivalents.
const TFaceSubstitute& SymbolFaceSubstitute();

// The font files that the font configuration does not index, which RegisterFontSubstitutions loads.
std::span<const char* const> UnindexedFontFiles();

// Loads the font files that the font configuration does not index and registers every substitution
// with Qt, so a face named directly (QFont("Arial")) finds its stand-in too. Needs the application
// object; call once at start-up, or leave it to EnsureFontSubstitutions.
void RegisterFontSubstitutions();

// The registration can wait until the first text is measured or drawn: PutOffFontSubstitutions keeps
// what registers them, and EnsureFontSubstitutions, which everything that resolves a font calls first,
// runs it once. Main thread only.
void PutOffFontSubstitutions(std::function<void()> registration);
void EnsureFontSubstitutions();
