// Page 06's pictures.
#include "content/toolkit/Recipe.h"

std::vector<Recipe> Page06() {
    return {};
}
