// Page 02's pictures.
#include "content/toolkit/Recipe.h"

std::vector<Recipe> Page02() {
    return {};
}
