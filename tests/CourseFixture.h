// The compiled course the build leaves in its tree (ORV_COURSE_BIN), for the test programs that load
// it, and its registration as the form's definition for as long as a test needs it.
#pragma once

#include "stream/ResourceTable.h"

#include <cstdint>
#include <fstream>
#include <stdexcept>
#include <utility>
#include <vector>

// The course's bytes, read once per test program.
inline const std::vector<uint8_t>& CourseBytes() {
    static const std::vector<uint8_t> bytes = [] {
        std::ifstream in(ORV_COURSE_BIN, std::ios::binary | std::ios::ate);
        if (!in) throw std::runtime_error("the compiled course is missing: " ORV_COURSE_BIN);
        // In one read: byte by byte, an unoptimised sanitizer build takes many seconds over it.
        std::vector<uint8_t> bytes(static_cast<size_t>(in.tellg()));
        in.seekg(0);
        if (!in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size())))
            throw std::runtime_error("the compiled course cannot be read: " ORV_COURSE_BIN);
        return bytes;
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
