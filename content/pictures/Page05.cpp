// Page 05's pictures.
#include "content/toolkit/Recipe.h"

std::vector<Recipe> Page05() {
    return {};
}
