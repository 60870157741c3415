#pragma once

#include <string>

// The two fields of a parameter string that the program needs, read as the
// module reads them: the camera name up to the first comma, the root folder
// from just after the third comma to the end, commas included. Both are
// empty when the string has too few commas.
struct ParameterFields {
    std::string camera;
    std::string root;
};

ParameterFields parameterFieldsOf(const std::string& param);
