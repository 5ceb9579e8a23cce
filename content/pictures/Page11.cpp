// Page 11's pictures.
#include "content/toolkit/Recipe.h"

std::vector<Recipe> Page11() {
    return {};
}
