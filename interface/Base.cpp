#include "Base.h"

Base::Base() = default;

Base::~Base() = default;

bool Base::getResult(std::vector<cv::Mat>& /*images*/, void* /*hostArg*/) {
    return true;
}

bool Base::setParam(void* /*hostArg*/, const QByteArray& /*param*/) {
    return true;
}

bool Base::applyParam(void* /*hostArg*/) {
    return true;
}

bool Base::run() {
    return true;
}
