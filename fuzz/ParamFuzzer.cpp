// The parameter string, as the host passes it, through setParam and
// applyParam. Every outcome that the module gives a host is allowed: true,
// false, and the standard library's exceptions from the number conversion and
// the folder walk. Anything else (a crash, another exception, a sanitizer
// report, a leak, fields that do not add up to the string) is a finding.
//
// The root folder field is confined to a small temp tree, so that the walk
// never leaves it: the tree's path is put in front of it and ".." is broken
// up. Everything else of the string reaches the module as the fuzzer made it.

#include "FuzzSupport.h"

#include "Kelvra_FolderFeed.h"
#include "ModuleState.h"

#include "support/TempTree.h"

#include <QByteArray>

#include <opencv2/imgcodecs.hpp>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <system_error>

namespace {

std::unique_ptr<TempTree> tree;

// Folders, files, non-UTF-8 names and two links back up the tree: what a
// walk meets in a recording, in a few entries.
void buildTree(const TempTree& t) {
    t.makeFolder("A/A1");
    t.makeFolder("A/A2_bmp");
    t.makeFolder("B");
    t.makeFolder("C\xff\xfe");
    t.writeFile("plain.bmp", "BM");
    cv::imwrite(t.path("A/A1/camera2_a.bmp"), cv::Mat(2, 3, CV_8UC1, cv::Scalar(1)));
    cv::imwrite(t.path("A/A1/camera2_b.tiff"), cv::Mat(2, 3, CV_16UC1, cv::Scalar(2)));
    cv::imwrite(t.path("B/camera1_SprfShapeImage1.bmp"), cv::Mat(2, 3, CV_8UC3));
    t.makeLink("A/up", "..");
    t.makeLink("B/toA", "../A");
}

// The fourth field rebased under the tree. An empty field stays empty: the
// walk of an empty root is one of the outcomes to reach.
std::string confinedParam(const std::string& text) {
    const std::size_t first = text.find(',');
    const std::size_t second = first == std::string::npos ? first : text.find(',', first + 1);
    const std::size_t third = second == std::string::npos ? second : text.find(',', second + 1);
    if (third == std::string::npos || third + 1 == text.size()) {
        return text;
    }
    std::string root = text.substr(third + 1);
    for (std::size_t i = 0; i + 1 < root.size(); ++i) {
        if (root[i] == '.' && root[i + 1] == '.') {
            root[i + 1] = '_';
        }
    }
    return text.substr(0, third + 1) + tree->rootText() + "/" + root;
}

// An accepted string is split exactly at its first three commas.
void checkAcceptedFields(const std::string& param) {
    const std::size_t first = param.find(',');
    const std::size_t second = param.find(',', first + 1);
    const std::size_t third = param.find(',', second + 1);
    if (third == std::string::npos || cameraName != param.substr(0, first) || cameraName.empty() ||
        paramField2 != param.substr(first + 1, second - first - 1) ||
        rootFolder != param.substr(third + 1)) {
        fuzzFailure("accepted fields do not match the parameter string");
    }
    for (const std::string& folder : subFolders) {
        if (folder.compare(0, rootFolder.size(), rootFolder) != 0) {
            fuzzFailure("a collected folder lies outside the root folder text: " + folder);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    silenceModuleOutput();
    tree = std::make_unique<TempTree>();
    buildTree(*tree);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 4096) {
        return -1; // longer strings add nothing but walk time
    }
    const std::string param = confinedParam(std::string(reinterpret_cast<const char*>(data), size));
    {
        Kelvra_FolderFeed module;
        module.setParam(nullptr, QByteArray(param.data(), static_cast<int>(param.size())));
        bool accepted = false;
        try {
            accepted = module.applyParam(nullptr);
        } catch (const std::invalid_argument&) {
        } catch (const std::out_of_range&) {
        } catch (const std::filesystem::filesystem_error&) {
        } catch (const std::system_error&) {
            // The path conversion's error where a name has no narrow form.
        }
        if (accepted) {
            checkAcceptedFields(param);
            // A capture with whatever camera name the string carried must
            // complete, also when the walk found no folder.
            module.run();
            std::vector<cv::Mat> images;
            module.getResult(images, nullptr);
        }
    }
    resetModuleState();
    return 0;
}
