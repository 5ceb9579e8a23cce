// Page 07's pictures.
#include "content/toolkit/Recipe.h"

std::vector<Recipe> Page07() {
    return {};
}
