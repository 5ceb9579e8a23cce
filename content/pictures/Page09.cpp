// Page 09's pictures.
#include "content/toolkit/Recipe.h"

std::vector<Recipe> Page09() {
    return {};
}
