// The module as a host sees it: loaded at run time, driven through Base. Every
// case runs in a fresh process, so the module-wide state starts as loaded.

#include "support/ModuleHost.h"
#include "support/TempTree.h"
#include "support/TestImages.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>

namespace {

using Texts = std::vector<std::string>;

const std::string createLine = "[INFO]  Kelvra_FolderFeed create success!";
const std::string deleteLine = "[INFO]   delete success!";
const std::string destoryLine = "[INFO]  Kelvra_FolderFeed  destory success!";

bool endsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

class ModuleLifecycle : public HostTest {};

TEST_F(ModuleLifecycle, createThenDestoryLogsCreateDeleteDestoryWithContext) {
    module.reset();
    const auto records = logs.records();
    ASSERT_EQ(logs.texts(), (Texts{createLine, deleteLine, destoryLine}));
    const std::vector<std::string> functions{"create", "~Kelvra_FolderFeed", "destory"};
    for (std::size_t i = 0; i < records.size(); ++i) {
        SCOPED_TRACE(records[i].text);
        EXPECT_EQ(records[i].type, QtDebugMsg);
        EXPECT_TRUE(
            endsWith(records[i].file, "BaseModules/Kelvra_FolderFeed/Kelvra_FolderFeed.cpp"))
            << records[i].file;
        EXPECT_GT(records[i].line, 0);
        EXPECT_NE(records[i].function.find(functions[i]), std::string::npos) << records[i].function;
    }
}

TEST_F(ModuleLifecycle, destoryWithNullLogsOnlyItsLine) {
    logs.clear();
    library.destroyFunction()(nullptr);
    EXPECT_EQ(logs.texts(), Texts{destoryLine});
}

TEST_F(ModuleLifecycle, moduleObjectReportsTheMetaObjectOfBase) {
    Base* object = module.get();
    EXPECT_STREQ(object->metaObject()->className(), "Base");
    EXPECT_STREQ(object->metaObject()->superClass()->className(), "QObject");
    EXPECT_EQ(object->metaObject()->methodCount(),
              object->metaObject()->superClass()->methodCount());
    EXPECT_EQ(object->qt_metacast("Base"), object);
    EXPECT_EQ(object->qt_metacast("QObject"), object);
    EXPECT_EQ(object->qt_metacast("Kelvra_FolderFeed"), nullptr);
    EXPECT_EQ(object->qt_metacast("MyThread"), nullptr);
    EXPECT_EQ(object->qt_metacast(nullptr), nullptr);
}

TEST_F(ModuleLifecycle, twoObjectsAreDistinctAndShareOneState) {
    TempTree tree;
    writeIdentityBmp(tree, "A/camera3P.bmp", 1);
    writeIdentityBmp(tree, "B/camera3P.bmp", 2);
    ModulePtr second = library.createModule();
    ASSERT_NE(second.get(), module.get());

    module->setParam(nullptr, QByteArray::fromStdString("camera3P,,1," + tree.rootText()));
    ASSERT_TRUE(second->applyParam(nullptr));
    EXPECT_EQ(identitiesOf(capture()), std::vector<int>{1});
    ASSERT_TRUE(second->run());
    std::vector<cv::Mat> images;
    ASSERT_TRUE(second->getResult(images, nullptr));
    EXPECT_EQ(identitiesOf(images), std::vector<int>{2});
}

TEST_F(ModuleLifecycle, stateSurvivesDestoryAndCreate) {
    TempTree tree;
    for (int folder = 1; folder <= 3; ++folder) {
        writeIdentityBmp(tree, "f" + std::to_string(folder) + "/camera3N.bmp", folder);
    }
    ASSERT_TRUE(configure("camera3N,,1," + tree.rootText()));
    EXPECT_EQ(identitiesOf(capture()), std::vector<int>{1});
    ASSERT_TRUE(module->run()); // loaded, not handed over

    module = library.createModule(); // destroys the first object
    std::vector<cv::Mat> images;
    ASSERT_TRUE(module->getResult(images, nullptr));
    EXPECT_EQ(identitiesOf(images), std::vector<int>{2});
    EXPECT_EQ(identitiesOf(capture()), std::vector<int>{3});
    EXPECT_EQ(identitiesOf(capture()), std::vector<int>{1});
}

TEST_F(ModuleLifecycle, createCaptureDestoryCyclesNeitherHangNorAbort) {
    TempTree tree;
    writeIdentityBmp(tree, "A/camera2.bmp", 1);
    writeIdentityTiff16(tree, "B/camera2.tiff", 2000);
    ASSERT_TRUE(configure("camera2,,1," + tree.rootText()));
    for (int cycle = 0; cycle < 60; ++cycle) {
        module = library.createModule();
        const std::vector<int> expected{cycle % 2 == 0 ? 1 : 2000};
        ASSERT_EQ(identitiesOf(capture()), expected) << "cycle " << cycle;
    }
}

TEST_F(ModuleLifecycle, configurationErrorsReachTheHostAsStandardExceptions) {
    TempTree tree;
    EXPECT_THROW(configure("camera2,,x," + tree.rootText()), std::invalid_argument);
    EXPECT_THROW(configure("camera2,,99999999999," + tree.rootText()), std::out_of_range);
    EXPECT_THROW(configure("camera2,,1," + tree.path("missing")),
                 std::filesystem::filesystem_error);
    EXPECT_THROW(configure("camera2,,1,"), std::filesystem::filesystem_error);
}

TEST_F(ModuleLifecycle, missingThirdCommaIsRefusedWithTheConsoleLine) {
    testing::internal::CaptureStdout();
    const bool accepted = configure("camera2,x,1");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "输入字符串格式错误，找不到第三个逗号。\n");
    EXPECT_FALSE(accepted);
}

} // namespace
