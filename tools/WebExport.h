// orvanta-form export-html: a course definition written out as a static web site that reads in any
// browser from the file system.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

// Picture names to the text alternative of each, from lines "NAME = text" ('#' starts a comment
// line). Raises Exception naming the line for any other line.
std::map<std::string, std::string> ParseAltTexts(std::string_view text);

// Loads the definition as the program does (the course built into the tool when no file is given)
// and writes OUTDIR/index.html, course.css, course.js and pictures/. The pictures' text alternatives
// come from altTextsPath, or for the built-in course from its own list. Returns the exit code.
int RunExportHtml(const std::string& outDir, const std::optional<std::string>& definitionPath,
                  const std::optional<std::string>& altTextsPath);
