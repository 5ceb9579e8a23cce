// The compiled course the build leaves in its tree (ORV_COURSE_BIN), for the test programs that load
// it, and its registration as the form's definition for as long as a test needs it.
#pragma once

#include "stream/ResourceTable.h"

#include <cstdint>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <utility>
#include <vector>

// The course's bytes, read once per test program.
inline const std::vector<uint8_t>& CourseBytes() {
    static const std::vector<uint8_t> bytes = [] {
        std::ifstream in(ORV_COURSE_BIN, std::ios::binary);
        if (!in) throw std::runtime_error("the compiled course is missing: " ORV_COURSE_BIN);
        return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }();
    return bytes;
}

// Registers a definition as the resource "TFORM1" from construction to destruction: the course, or
// the bytes given (a course a test has altered).
class TCourseDefinition {
public:
    TCourseDefinition() : TCourseDefinition(CourseBytes()) {}
    explicit TCourseDefinition(std::vector<uint8_t> bytes) : FBytes(std::move(bytes)) {
        Resources::Register(Resources::RT_RCDATA, "TFORM1", FBytes);
    }
    ~TCourseDefinition() { Resources::Unregister(Resources::RT_RCDATA, "TFORM1"); }
    TCourseDefinition(const TCourseDefinition&) = delete;
    TCourseDefinition& operator=(const TCourseDefinition&) = delete;

private:
    std::vector<uint8_t> FBytes;
};
