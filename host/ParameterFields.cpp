#include "ParameterFields.h"

ParameterFields parameterFieldsOf(const std::string& param) {
    ParameterFields fields;
    std::size_t comma = std::string::npos;
    for (int i = 0; i < 3; ++i) {
        comma = param.find(',', comma == std::string::npos ? 0 : comma + 1);
        if (comma == std::string::npos) {
            return fields;
        }
    }
    fields.camera = param.substr(0, param.find(','));
    fields.root = param.substr(comma + 1);
    return fields;
}
