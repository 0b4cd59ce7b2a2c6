// Checks that a captured frame shows the program's triangle.
#pragma once

#include <string>

// The triangle as Direct3D sees OpenGL's rows: the interpolated colour in the centre, the clear
// colour in the top corners, the red vertex at the top. Reports through gtest.
void ExpectTriangle(const std::string &file, int width, int height);
