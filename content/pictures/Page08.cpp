// Page 08's pictures.
#include "content/toolkit/Recipe.h"

std::vector<Recipe> Page08() {
    return {};
}
