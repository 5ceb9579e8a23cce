// Published tables and rules of margins and size constraints.
#include "controls/TMargins.h"

#include <algorithm>

static std::span<const TPropInfo> MarginsProperties() {
    static const TPropInfo props[] = {
        OrdProp<TMargins, &TMargins::SetLeft>("Left", TypeInfo_Integer),
        OrdProp<TMargins, &TMargins::SetTop>("Top", TypeInfo_Integer),
        OrdProp<TMargins, &TMargins::SetRight>("Right", TypeInfo_Integer),
        OrdProp<TMargins, &TMargins::SetBottom>("Bottom", TypeInfo_Integer),
    };
    return props;
}
const TClassInfo TMargins::ClassInfo{"TMargins", &TPersistent::ClassInfo, MarginsProperties};
const TClassInfo TPadding::ClassInfo{"TPadding", &TMargins::ClassInfo};

void TSizeConstraints::SetMaxHeight(int v) {
    v = std::max(v, 0);
    if (v == FMaxHeight) return;
    FMaxHeight = v;
    if (v > 0 && v < FMinHeight) FMinHeight = v;
    Changed();
}

void TSizeConstraints::SetMaxWidth(int v) {
    v = std::max(v, 0);
    if (v == FMaxWidth) return;
    FMaxWidth = v;
    if (v > 0 && v < FMinWidth) FMinWidth = v;
    Changed();
}

void TSizeConstraints::SetMinHeight(int v) {
    v = std::max(v, 0);
    if (v == FMinHeight) return;
    FMinHeight = v;
    if (FMaxHeight > 0 && v > FMaxHeight) FMaxHeight = v;
    Changed();
}

void TSizeConstraints::SetMinWidth(int v) {
    v = std::max(v, 0);
    if (v == FMinWidth) return;
    FMinWidth = v;
    if (FMaxWidth > 0 && v > FMaxWidth) FMaxWidth = v;
    Changed();
}

static std::span<const TPropInfo> ConstraintsProperties() {
    using C = TSizeConstraints;
    static const TPropInfo props[] = {
        OrdProp<C, &C::SetMaxHeight>("MaxHeight", TypeInfo_Integer),
        OrdProp<C, &C::SetMaxWidth>("MaxWidth", TypeInfo_Integer),
        OrdProp<C, &C::SetMinHeight>("MinHeight", TypeInfo_Integer),
        OrdProp<C, &C::SetMinWidth>("MinWidth", TypeInfo_Integer),
    };
    return props;
}
const TClassInfo TSizeConstraints::ClassInfo{"TSizeConstraints", &TPersistent::ClassInfo,
                                             ConstraintsProperties};
