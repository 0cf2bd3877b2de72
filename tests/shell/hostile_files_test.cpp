// What a hostile or damaged folder does to the windows: a folder where a file should be,
// pictures of absurd size, a FIFO or a device picked in a file dialog, a read-only background.
// Each is a message box and the program goes on.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>

#include "tests/shell/window_fixture.h"
#include "tests/users/declaring_picture.h"
#include "users/jpeg.h"
#include "users/user_files.h"

namespace fs = std::filesystem;

namespace {

using userstest::DeclaringPicture;

std::unique_ptr<shell::TForm1> start(Program& p) {
    auto form1 = std::make_unique<shell::TForm1>(p.prompter, p.user.dir, [] {});
    form1->setMainWindow(&p.form2());
    form1->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(form1.get()));
    return form1;
}

}  // namespace

TEST(HostileFiles, AStartWithAFolderOrAHugePictureKeepsTheBuiltInPicture) {
    Program p(false, "none", false);
    const QSize builtIn = start(p)->picture().size();
    for (const std::string& refused :
         {std::string("folder"), DeclaringPicture(65500, 65500), DeclaringPicture(20000, 20000)}) {
        fs::remove_all(p.user.path(users::kBackgroundFile));
        if (refused == "folder")
            fs::create_directory(p.user.path(users::kBackgroundFile));
        else
            p.user.put(users::kBackgroundFile, refused);
        p.prompter.errors.clear();
        auto form1 = start(p);
        ASSERT_EQ(p.prompter.errors.size(), 1);
        EXPECT_TRUE(p.prompter.errors[0].contains("1.jpg")) << p.prompter.errors[0].toStdString();
        EXPECT_EQ(form1->picture().size(), builtIn);
        EXPECT_EQ(form1->windowTitle(), "Velkor");
    }
    // A password file that is a folder: logging in says so, nothing aborts.
    fs::remove(p.user.path(users::kPasswordFile));
    fs::create_directory(p.user.path(users::kPasswordFile));
    auto form1 = start(p);
    p.prompter.errors.clear();
    QTest::mouseClick(form1->Button1(), Qt::LeftButton);
    ASSERT_EQ(p.prompter.errors.size(), 1);
    EXPECT_TRUE(p.prompter.errors[0].contains("文件夹")) << p.prompter.errors[0].toStdString();
    EXPECT_TRUE(form1->isVisible());
}

TEST(HostileFiles, ChangeBackgroundNeverStoresARefusedPictureNorReplacesAReadOnlyOne) {
    Program p(false, "none", false);
    QTemporaryDir pictures;
    auto form1 = start(p);
    const std::string stored = p.user.bytes(users::kBackgroundFile);
    const std::string huge = pictures.filePath("huge.jpg").toStdString();
    std::ofstream(huge, std::ios::binary) << DeclaringPicture(20000, 20000);
    p.prompter.files = {QString::fromStdString(huge)};
    QTest::mouseClick(form1->Button2(), Qt::LeftButton);
    ASSERT_EQ(p.prompter.errors.size(), 1);
    EXPECT_TRUE(p.prompter.errors[0].contains("20000 x 20000")) << p.prompter.errors[0].toStdString();
    EXPECT_EQ(p.user.bytes(users::kBackgroundFile), stored);

    // A large one is shown scaled down and copied whole; a read-only background stays.
    const std::string large = pictures.filePath("large.jpg").toStdString();
    std::ofstream(large, std::ios::binary) << DeclaringPicture(8000, 6000);
    ::chmod(p.user.path(users::kBackgroundFile).c_str(), 0444);
    p.prompter.files = {QString::fromStdString(large)};
    QTest::mouseClick(form1->Button2(), Qt::LeftButton);
    EXPECT_EQ(form1->picture().size(), QSize(1000, 750));
    ASSERT_EQ(p.prompter.errors.size(), 2);
    EXPECT_TRUE(p.prompter.errors[1].contains("只读")) << p.prompter.errors[1].toStdString();
    EXPECT_EQ(p.user.bytes(users::kBackgroundFile), stored);
    ::chmod(p.user.path(users::kBackgroundFile).c_str(), 0600);
    p.prompter.files = {QString::fromStdString(large)};
    QTest::mouseClick(form1->Button2(), Qt::LeftButton);
    EXPECT_EQ(p.prompter.errors.size(), 2);
    EXPECT_EQ(p.user.bytes(users::kBackgroundFile), DeclaringPicture(8000, 6000));
}

TEST(HostileFiles, OpenAndImportRefuseFifosDevicesAndHugeFilesAtOnce) {
    Program p;
    QTemporaryDir dir;
    const QString fifo = dir.filePath("pipe.bc");
    ASSERT_EQ(::mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
    const QString sparse = dir.filePath("huge.bc");
    std::ofstream(sparse.toStdString());
    ASSERT_EQ(::truncate(sparse.toLocal8Bit().constData(), 3LL << 29), 0);
    for (const QString& name : {fifo, QString("/dev/zero"), sparse, dir.path()}) {
        p.prompter.files = {name};
        p.find<QAction>("N2")->trigger();  // Open
        p.prompter.files = {name};
        p.find<QAction>("N17")->trigger();  // 导入CSV
    }
    // Nothing blocks on the FIFO or reads /dev/zero: each is refused before a byte is read.
    ASSERT_EQ(p.prompter.errors.size(), 8);
    for (int i = 0; i < 8; ++i) {
        const QString& e = p.prompter.errors[i];
        EXPECT_TRUE(e.startsWith(i % 2 ? QString::fromUtf8("无法打开文件 \"") : QString("Cannot open file \""))) << e.toStdString();
    }
    EXPECT_TRUE(p.prompter.errors[0].contains("Not a regular file"));
    EXPECT_TRUE(p.prompter.errors[4].contains("Larger than 1048576 bytes"));
    EXPECT_TRUE(p.prompter.errors[5].contains("Larger than 4194304 bytes"));
    EXPECT_TRUE(p.prompter.errors[6].contains("Is a directory"));
}
