// Page 10's pictures.
#include "content/toolkit/Recipe.h"

std::vector<Recipe> Page10() {
    return {};
}
