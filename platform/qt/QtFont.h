// A platform font on Qt, realised from a logical-font record: the face through the substitution table,
// the height by the record's sign convention, weight, decorations and antialiasing.
#pragma once

#include "platform/Canvas.h"

#include <QFont>

class QtFont : public IPlatformFont {
public:
    explicit QtFont(const TLogFont& logFont);

    uint8_t CharSet() const override { return FCharSet; }
    const QFont& Font() const { return FFont; }
    // Angle of the baseline in tenths of a degree, counter-clockwise.
    int Escapement() const { return FEscapement; }

private:
    QFont FFont;
    uint8_t FCharSet;
    int FEscapement;
};
