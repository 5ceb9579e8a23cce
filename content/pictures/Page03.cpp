// Page 03's pictures.
#include "content/toolkit/Recipe.h"

std::vector<Recipe> Page03() {
    return {};
}
