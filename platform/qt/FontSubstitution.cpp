// Face substitution: the course's faces and their free stand-ins from the distribution's font packages.
#include "platform/qt/FontSubstitution.h"

#include <QFont>
#include <QFontDatabase>
#include <QStringList>

namespace {

// Liberation: metric-compatible Arial, Times New Roman and Courier New. Tahoma: the outline Tahoma of
// the fonts-wine package, which also stands in for the bitmap "MS Sans Serif", as the dialog face
// does. URW: clones of the classic PostScript faces. Faces without a free clone get the nearest
// design: Swiss 721 is Helvetica (Nimbus Sans); BankGothic and Copperplate Gothic are wide capitals
// faces whose lower case is small capitals; Trebuchet is a humanist sans of narrow proportions.
constexpr TFaceSubstitute kSubstitutes[] = {
    {"Tahoma", "Tahoma"},
    {"MS Sans Serif", "Tahoma"},
    {"Default", "Tahoma"},
    {"Arial", "Liberation Sans"},
    {"Times New Roman", "Liberation Serif"},
    {"Courier New", "Liberation Mono"},
    {"Arial Narrow", "Nimbus Sans Narrow"},
    {"Bookman Old Style", "URW Bookman"},
    {"Garamond", "EB Garamond 12"},
    {"BankGothic Lt BT", "URW Gothic", false, 100, true},
    {"BankGothic Md BT", "URW Gothic", true, 100, true},
    {"Copperplate Gothic Light", "URW Gothic", false, 110, true},
    {"Swis721 BlkEx BT", "Nimbus Sans", true, 130},
    {"Swis721 BlkOul BT", "Nimbus Sans", true},
    {"Swis721 WGL4 BT", "Nimbus Sans"},
    {"Wide Latin", "C059", true, 180},
    {"Baskerville Old Face", "C059"},
    {"Franklin Gothic Book", "Liberation Sans"},
    {"Trebuchet MS", "DejaVu Sans Condensed"},
    {"Symbol", "DejaVu Serif"},
};

// Faces that the font configuration does not index: fonts-wine installs into a directory of its own.
constexpr const char* kFontFiles[] = {
    "/usr/share/wine/fonts/tahoma.ttf",
    "/usr/share/wine/fonts/tahomabd.ttf",
};

// Where the package is missing, the nearest design that is always installed.
constexpr const char* kTahomaFallback = "DejaVu Sans";

} // namespace

std::span<const char* const> UnindexedFontFiles() {
    return kFontFiles;
}

std::span<const TFaceSubstitute> FaceSubstitutes() {
    return kSubstitutes;
}

const TFaceSubstitute* FindFaceSubstitute(const QString& face) {
    for (const TFaceSubstitute& s : kSubstitutes)
        if (face.compare(QLatin1String(s.Face), Qt::CaseInsensitive) == 0) return &s;
    return nullptr;
}

const TFaceSubstitute& DefaultFaceSubstitute() {
    return kSubstitutes[0];
}

const TFaceSubstitute& SymbolFaceSubstitute() {
    return *FindFaceSubstitute(QStringLiteral("Symbol"));
}

namespace {
std::function<void()> gPutOffRegistration;
} // namespace

void PutOffFontSubstitutions(std::function<void()> registration) {
    gPutOffRegistration = std::move(registration);
}

void EnsureFontSubstitutions() {
    if (!gPutOffRegistration) return;
    std::function<void()> registration = std::move(gPutOffRegistration);
    gPutOffRegistration = nullptr;
    registration();
}

void RegisterFontSubstitutions() {
    for (const char* path : kFontFiles)
        QFontDatabase::addApplicationFont(QString::fromLatin1(path));
    for (const TFaceSubstitute& s : kSubstitutes) {
        QString face = QString::fromLatin1(s.Face), family = QString::fromLatin1(s.Family);
        // Qt consults substitutes only for a family it does not have, so Tahoma's fallback is safe.
        QStringList families{family};
        if (family == QLatin1String("Tahoma")) families << QString::fromLatin1(kTahomaFallback);
        if (face.compare(family, Qt::CaseInsensitive) == 0) families.removeFirst();
        if (!families.isEmpty()) QFont::insertSubstitutions(face, families);
    }
}
