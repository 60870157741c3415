#pragma once

#include <QByteArray>
#include <QObject>
#include <opencv2/core/mat.hpp>

#include <string>
#include <vector>

// The host's module interface. The host drives every module of this kind
// through these four virtual operations, so their order in the virtual table
// and the shape of their arguments are the contract with it: change neither.
//
// The arguments typed void* belong to the host; modules do not read them.
class Base : public QObject {
    Q_OBJECT

public:
    Base();
    ~Base() override;

    // Appends the images of the captures taken so far to images.
    virtual bool getResult(std::vector<cv::Mat>& images, void* hostArg);
    // Stores the parameter string for the next applyParam.
    virtual bool setParam(void* hostArg, const QByteArray& param);
    // Configures the module from the stored parameter string.
    virtual bool applyParam(void* hostArg);
    // Takes one capture; blocks until it is loaded.
    virtual bool run();

protected:
    // The host's own members. Modules never touch them, but every module
    // object carries them, in this order and with these types, so that its
    // layout is the one the host expects.
    void* hostData = nullptr;
    std::string hostText;
    cv::Mat hostImage;
    std::string hostLabel;
};
