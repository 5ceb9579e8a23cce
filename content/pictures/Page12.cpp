// Page 12's pictures.
#include "content/toolkit/Recipe.h"

std::vector<Recipe> Page12() {
    return {};
}
