// The parameter string, checked on the module object and its module-wide
// fields directly. Each case runs in a fresh process, so the fields start as
// the library loads them.

#include "Kelvra_FolderFeed.h"
#include "ModuleState.h"
#include "MyThread.h"

#include "support/TempTree.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <limits>
#include <stdexcept>

namespace {

const std::string missingThirdComma = "输入字符串格式错误，找不到第三个逗号。\n";

struct Fields {
    std::string camera;
    std::string field2;
    int number;
    std::string root;
    std::size_t folders;

    friend bool operator==(const Fields& a, const Fields& b) {
        return a.camera == b.camera && a.field2 == b.field2 && a.number == b.number &&
               a.root == b.root && a.folders == b.folders;
    }
    friend std::ostream& operator<<(std::ostream& out, const Fields& f) {
        return out << "{" << f.camera << "|" << f.field2 << "|" << f.number << "|" << f.root << "|"
                   << f.folders << " folders}";
    }
};

Fields currentFields() {
    return Fields{cameraName, paramField2, paramNumber, rootFolder, subFolders.size()};
}

class Configuration : public testing::Test {
protected:
    Configuration() { tree.makeFolder("A/A1"); }

    // setParam then applyParam; the console output lands in consoleOutput.
    bool configure(const std::string& param) {
        module.setParam(nullptr, QByteArray(param.data(), static_cast<int>(param.size())));
        testing::internal::CaptureStdout();
        try {
            const bool accepted = module.applyParam(nullptr);
            consoleOutput = testing::internal::GetCapturedStdout();
            return accepted;
        } catch (...) {
            consoleOutput = testing::internal::GetCapturedStdout();
            throw;
        }
    }

    TempTree tree;
    Kelvra_FolderFeed module;
    std::string consoleOutput;
};

TEST_F(Configuration, applyParamBeforeAnySetParamIsRejected) {
    EXPECT_FALSE(module.applyParam(nullptr));
    EXPECT_EQ(currentFields(), (Fields{"", "", 1, "", 0}));
}

TEST_F(Configuration, rejectedStringsChangeNothingAndPrintNothing) {
    ASSERT_TRUE(configure("camera2,x,5," + tree.rootText()));
    const Fields before = currentFields();
    for (const std::string& param :
         {std::string(), std::string("camera2"), std::string("camera2,x"), std::string(","),
          std::string(",,,"), std::string(",a,1,") + tree.rootText(), std::string("a,")}) {
        EXPECT_FALSE(configure(param)) << param;
        EXPECT_EQ(consoleOutput, "") << param;
        EXPECT_EQ(currentFields(), before) << param;
    }
}

TEST_F(Configuration, missingThirdCommaPrintsTheMessageAndIsRefused) {
    ASSERT_TRUE(configure("camera2,x,5," + tree.rootText()));
    const Fields before = currentFields();
    EXPECT_FALSE(configure("camera3P,y,7"));
    EXPECT_EQ(consoleOutput, missingThirdComma);
    EXPECT_EQ(currentFields(), before);
}

TEST_F(Configuration, storesTheFourFieldsAndAppendsTheWalk) {
    const std::string root = tree.path("rec,with,commas");
    tree.makeFolder("rec,with,commas/cap");
    EXPECT_TRUE(configure("camera1,,  12abc," + root));
    EXPECT_EQ(consoleOutput, "");
    EXPECT_EQ(currentFields(), (Fields{"camera1", "", 12, root, 1}));
    EXPECT_EQ(subFolders, std::vector<std::string>{root + "/cap"});
}

TEST_F(Configuration, secondConfigurationAppendsItsWalkAndKeepsTheIndex) {
    tree.makeFolder("B");
    ASSERT_TRUE(configure("camera2,x,1," + tree.path("A")));
    folderIndex = 1;
    ASSERT_TRUE(configure("camera2,x,1," + tree.path("A")));
    ASSERT_TRUE(configure("camera2,x,1," + tree.rootText()));
    EXPECT_EQ(subFolders,
              (std::vector<std::string>{tree.path("A/A1"), tree.path("A/A1"), tree.path("A"),
                                        tree.path("A/A1"), tree.path("B")}));
    EXPECT_EQ(folderIndex, 1);
}

struct NumberCase {
    const char* name;
    std::string field;
    int stored; // when accepted
    enum { Accepted, InvalidArgument, OutOfRange } outcome;
};

class ParamNumber : public Configuration, public testing::WithParamInterface<NumberCase> {};

TEST_P(ParamNumber, isReadAsStoiReadsIt) {
    const NumberCase& c = GetParam();
    const std::string param = "camera3N,f2," + c.field + "," + tree.rootText();
    switch (c.outcome) {
    case NumberCase::Accepted:
        EXPECT_TRUE(configure(param));
        EXPECT_EQ(paramNumber, c.stored);
        return;
    case NumberCase::InvalidArgument:
        EXPECT_THROW(configure(param), std::invalid_argument);
        break;
    case NumberCase::OutOfRange:
        EXPECT_THROW(configure(param), std::out_of_range);
        break;
    }
    // The first two fields were taken before the number failed; nothing after.
    EXPECT_EQ(currentFields(), (Fields{"camera3N", "f2", 1, "", 0}));
}

INSTANTIATE_TEST_SUITE_P(
    Numbers, ParamNumber,
    testing::Values(NumberCase{"blanksAndTail", "  12abc", 12, NumberCase::Accepted},
                    NumberCase{"negative", "-3", -3, NumberCase::Accepted},
                    NumberCase{"largest", "2147483647", 2147483647, NumberCase::Accepted},
                    NumberCase{"smallest", "-2147483648", -2147483647 - 1, NumberCase::Accepted},
                    NumberCase{"empty", "", 0, NumberCase::InvalidArgument},
                    NumberCase{"letters", "abc", 0, NumberCase::InvalidArgument},
                    NumberCase{"signOnly", "+", 0, NumberCase::InvalidArgument},
                    NumberCase{"blanksOnly", "   ", 0, NumberCase::InvalidArgument},
                    NumberCase{"tooLarge", "2147483648", 0, NumberCase::OutOfRange},
                    NumberCase{"tooSmall", "-2147483649", 0, NumberCase::OutOfRange}),
    [](const testing::TestParamInfo<NumberCase>& info) { return info.param.name; });

TEST_F(Configuration, walkFailuresReachTheCallerWithEveryFieldStored) {
    for (const std::string& root : {std::string(), tree.path("missing"), tree.path("A") + '\0'}) {
        EXPECT_THROW(configure("camera2,f2,4," + root), std::filesystem::filesystem_error) << root;
        EXPECT_EQ(currentFields(), (Fields{"camera2", "f2", 4, root, 0}));
    }
}

TEST_F(Configuration, setParamAloneChangesNoFieldButClearsTheCaptureFlag) {
    ASSERT_TRUE(configure("camera2,x,5," + tree.rootText()));
    const Fields before = currentFields();
    captureDone = true;
    module.setParam(nullptr, QByteArray("camera1,y,6,/elsewhere"));
    EXPECT_EQ(paramText, "camera1,y,6,/elsewhere");
    EXPECT_FALSE(captureDone.load());
    EXPECT_EQ(currentFields(), before);
}

TEST_F(Configuration, zeroBytesInTheStringAreKept) {
    const QByteArray param("cam\0era,x,1,/r", 14);
    module.setParam(nullptr, param);
    EXPECT_EQ(paramText, std::string("cam\0era,x,1,/r", 14));
}

TEST(BaseDefaults, everyOperationSucceedsAndChangesNothing) {
    Base base;
    std::vector<cv::Mat> images{cv::Mat(2, 2, CV_8UC1)};
    EXPECT_TRUE(base.getResult(images, &images));
    EXPECT_EQ(images.size(), 1u);
    EXPECT_TRUE(base.setParam(nullptr, QByteArray("camera1,,1,/x")));
    EXPECT_EQ(paramText, "");
    EXPECT_TRUE(base.applyParam(nullptr));
    EXPECT_EQ(subFolders.size(), 0u);
    EXPECT_TRUE(base.run());
    EXPECT_STREQ(base.metaObject()->className(), "Base");
    EXPECT_EQ(base.qt_metacast("Base"), &base);
    EXPECT_EQ(base.qt_metacast("Other"), nullptr);
}

TEST(WorkerThread, hasAMetaObjectOfItsOwn) {
    MyThread worker;
    EXPECT_STREQ(worker.metaObject()->className(), "MyThread");
    EXPECT_STREQ(worker.metaObject()->superClass()->className(), "QThread");
    EXPECT_EQ(worker.qt_metacast("MyThread"), &worker);
    EXPECT_EQ(worker.qt_metacast("QThread"), &worker);
    EXPECT_EQ(worker.qt_metacast("Base"), nullptr);
    EXPECT_EQ(worker.parent(), nullptr);
}

// Captures under a camera name that the module does not know advance the
// folder index and never wrap it, for as long as a host keeps asking: after
// 2^31 of them the index stops short of overflowing.
TEST(WorkerThread, folderIndexStopsShortOfOverflowing) {
    cameraName = "camera9";
    folderIndex = std::numeric_limits<int>::max() - 1;
    Kelvra_FolderFeed module;
    for (int capture = 0; capture < 3; ++capture) {
        EXPECT_TRUE(module.run());
    }
    EXPECT_EQ(folderIndex, std::numeric_limits<int>::max());
}

} // namespace
