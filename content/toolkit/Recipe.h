// A picture recipe: the file name a page's source refers to, and the code that computes its bytes.
// Each page with pictures lists its recipes in content/pictures/PageNN.cpp.
#pragma once

#include "content/toolkit/encoders/PictureFiles.h"

#include <functional>
#include <string>
#include <vector>

struct Recipe {
    std::string File; // relative to the pictures folder, e.g. "p09-escaner-mss.gif"
    std::function<Bytes()> Make;
};

// The recipes of one page (empty for a page without pictures), and the pages that have any.
std::vector<Recipe> PictureRecipes(int page);
std::vector<int> PagesWithPictures();
