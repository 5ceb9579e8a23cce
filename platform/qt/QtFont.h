// A platform font on Qt, realised from a logical-font record: the face through the substitution table,
// the height by the record's sign convention, weight, decorations and antialiasing.
#pragma once

#include "platform/Canvas.h"

#include <QFont>

class QtFont : public IPlatformFont {
public:
    explicit QtFont(const TLogFont& logFont);

    uint8_t CharSet() const override { return FLogFont.CharSet; }
    // The face is looked up when the font is first used, once the font substitutions are in place.
    const QFont& Font() const {
        if (!FResolved) Resolve();
        return FFont;
    }
    // Angle of the baseline in tenths of a degree, counter-clockwise.
    int Escapement() const { return FLogFont.Escapement; }

private:
    void Resolve() const;

    TLogFont FLogFont;
    mutable QFont FFont;
    mutable bool FResolved = false;
};
