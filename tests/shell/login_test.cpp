// The login window, the password and remark dialogs and the user files behind them, driven
// through the widgets over a temporary user folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include <QInputMethodEvent>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTimer>
#include <QToolButton>

#include "base/gbk.h"
#include "tests/shell/window_fixture.h"
#include "tests/outcome_value.h"
#include "users/jpeg.h"
#include "users/login_picture.h"
#include "users/user_files.h"

namespace fs = std::filesystem;

namespace {

// The built-in picture as the window decodes it.
QImage builtIn() {
    std::string error;
    const auto p = valueOf(users::DecodeJpeg(users::BuiltInPicture()), error);
    return QImage(p->rgb.data(), p->width, p->height, p->width * 3, QImage::Format_RGB888).copy();
}

// A login window over the folder, shown as at a start (its FormShow runs).
std::unique_ptr<shell::TForm1> startLogin(Program& p) {
    auto form1 = std::make_unique<shell::TForm1>(p.prompter, p.user.dir, [&p] { ++p.terminated; });
    form1->setMainWindow(&p.form2());
    form1->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(form1.get()));
    return form1;
}

// Types the password and presses Enter in the edit, or clicks 登入.
void logIn(shell::TForm1& form1, const QString& password, bool enter) {
    form1.Edit1()->clear();
    QTest::keyClicks(form1.Edit1(), password);
    if (enter)
        QTest::keyClick(form1.Edit1(), Qt::Key_Return);
    else
        QTest::mouseClick(form1.Button1(), Qt::LeftButton);
}

// Shows a dialog through its toolbar button and runs `inside` while it is up; `inside` must
// leave it closed.
void whileShown(Program& p, const char* toolButton, QDialog* dialog, const std::function<void()>& inside) {
    bool ran = false;
    QTimer::singleShot(0, dialog, [&] {
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_TRUE(dialog->isModal());
        inside();
        ran = true;
    });
    QTest::mouseClick(p.find<QToolButton>(toolButton), Qt::LeftButton);
    EXPECT_TRUE(ran);
    EXPECT_FALSE(dialog->isVisible());
    p.activate();
}

// Types the text; what a keyboard cannot type comes from the input method, as Chinese does.
void setText(QLineEdit* edit, const QString& text) {
    edit->clear();
    for (const QChar c : text) {
        if (c.unicode() < 128) {
            QTest::keyClick(edit, c.toLatin1());
            continue;
        }
        QInputMethodEvent composed;
        composed.setCommitString(c);
        QApplication::sendEvent(edit, &composed);
    }
}

// The first line of a user file as it is stored.
std::string storedLine(Program& p, const char* name) {
    const std::string bytes = p.user.bytes(name);
    return bytes.substr(0, bytes.find_first_of("\r\n"));
}

}  // namespace

TEST(Login, StartOrderLayoutAndLogIn) {
    Program p(true, "none", false);
    shell::TForm1& form1 = p.form1();
    // The main window exists and has opened the port before the login window shows.
    EXPECT_FALSE(form1.isVisible());
    EXPECT_FALSE(p.form2().isVisible());
    EXPECT_TRUE(p.form2().Comm1().IsOpen());
    EXPECT_EQ(form1.windowTitle(), "Velkor");
    EXPECT_EQ(p.form2().windowTitle(), "Form2");

    form1.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form1));
    EXPECT_TRUE(p.prompter.errors.isEmpty()) << p.prompter.errors.join("|").toStdString();
    EXPECT_EQ(form1.windowTitle(), "Velkor");  // the company file's first line
    EXPECT_EQ(form1.size(), QSize(640, 480));
    EXPECT_TRUE(form1.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(form1.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(form1.Image1()->geometry(), QRect(0, 0, 640, 480));
    EXPECT_TRUE(form1.Image1()->hasScaledContents());
    EXPECT_EQ(form1.picture(), builtIn());
    EXPECT_EQ(form1.findChild<QLabel*>("Label1")->text(), "密码:");
    EXPECT_EQ(form1.Edit1()->echoMode(), QLineEdit::Password);
    // Every typed character shows as "*".
    EXPECT_EQ(form1.Edit1()->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, form1.Edit1()), '*');
    EXPECT_EQ(form1.Button1()->text(), "登入");
    EXPECT_EQ(form1.Button2()->text(), "更换背景");

    // A wrong password clears the edit and says so; the window stays, as often as it is tried.
    for (bool enter : {false, true}) {
        logIn(form1, "x", enter);
        EXPECT_EQ(form1.Edit1()->text(), "");
        EXPECT_TRUE(form1.isVisible());
    }
    EXPECT_EQ(p.prompter.texts(), QStringList({"密码错误!", "密码错误!"}));
    EXPECT_FALSE(p.form2().isVisible());

    // A new folder's password is empty; Enter logs in as the button does.
    logIn(form1, "", true);
    EXPECT_FALSE(form1.isVisible());
    EXPECT_TRUE(p.form2().isVisible());
    EXPECT_EQ(p.form2().windowTitle(), "Velkor");
    EXPECT_EQ(p.prompter.infos.size(), 2u);
    EXPECT_EQ(p.terminated, 0);

    // The dialogs the help menu shows: captions, client sizes, the hidden passwords.
    shell::TForm3& form3 = *p.windows.Form3;
    shell::TForm4& form4 = *p.windows.Form4;
    EXPECT_EQ(form3.windowTitle() + form4.windowTitle(), "修改密码备注");
    EXPECT_EQ(form3.size(), QSize(321, 186));
    EXPECT_EQ(form4.size(), QSize(318, 136));
    EXPECT_EQ(form3.Edit1()->echoMode(), QLineEdit::Password);
    EXPECT_EQ(form3.Edit2()->echoMode(), QLineEdit::Password);
    EXPECT_EQ(form3.Edit2()->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, form3.Edit2()), '*');
    EXPECT_EQ(form4.findChild<QLabel*>("Label1")->text(), "公司名称:");
}

TEST(Login, ClosingTheLoginWindowEndsTheProgram) {
    Program p(false, "none", false);
    p.form1().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&p.form1()));
    p.form1().close();
    EXPECT_EQ(p.terminated, 1);
    EXPECT_FALSE(p.form2().isVisible());
}

TEST(Login, PasswordChangesThroughTheDialog) {
    Program p(false);
    shell::TForm3& form3 = *p.windows.Form3;

    // A wrong old password: the message, and the dialog stays.
    whileShown(p, "ToolButton13", &form3, [&] {
        setText(form3.Edit1(), "wrong");
        setText(form3.Edit2(), "s3cret pass");
        QTest::mouseClick(form3.Button1(), Qt::LeftButton);
        EXPECT_EQ(p.prompter.texts(), QStringList({"密码错误!"}));
        EXPECT_TRUE(p.prompter.errors.isEmpty());  // a refusal of what was typed, not a failure
        EXPECT_TRUE(form3.isVisible());
        // Then the right (empty) one: the dialog closes without a word.
        form3.Edit1()->clear();
        QTest::mouseClick(form3.Button1(), Qt::LeftButton);
    });
    EXPECT_EQ(p.prompter.infos.size(), 1u);
    EXPECT_TRUE(p.prompter.errors.isEmpty());
    // The file holds a salted hash, never the password.
    const std::string stored = storedLine(p, users::kPasswordFile);
    EXPECT_TRUE(users::IsPasswordHash(stored)) << stored;
    EXPECT_EQ(p.user.bytes(users::kPasswordFile).find("s3cret"), std::string::npos);
    EXPECT_EQ(p.user.bytes(users::kPasswordFile).substr(stored.size()), "\r\n");

    // The login window of the next start takes the new password only.
    auto next = startLogin(p);
    logIn(*next, "", false);
    logIn(*next, "s3cret", false);
    logIn(*next, "S3CRET PASS", false);
    EXPECT_TRUE(next->isVisible());
    logIn(*next, "s3cret pass", true);
    EXPECT_FALSE(next->isVisible());

    // Once the change succeeded no password stays in the hidden dialog; cancel saves nothing.
    const std::string before = p.user.bytes(users::kPasswordFile);
    whileShown(p, "ToolButton13", &form3, [&] {
        EXPECT_EQ(form3.Edit1()->text(), "");
        EXPECT_EQ(form3.Edit2()->text(), "");
        setText(form3.Edit2(), "typed, not sent");
        QTest::mouseClick(form3.Button2(), Qt::LeftButton);
    });
    EXPECT_EQ(p.user.bytes(users::kPasswordFile), before);

    // Back to the empty password, through the menu entry: an empty edit logs in again.
    p.prompter.infos.clear();
    QTimer::singleShot(0, &form3, [&] {
        setText(form3.Edit1(), "s3cret pass");
        form3.Edit2()->clear();
        QTest::mouseClick(form3.Button1(), Qt::LeftButton);
    });
    p.find<QAction>("N14")->trigger();
    EXPECT_FALSE(form3.isVisible());
    EXPECT_TRUE(p.prompter.infos.empty());
    EXPECT_NE(p.user.bytes(users::kPasswordFile), before);
    auto third = startLogin(p);
    logIn(*third, "", true);
    EXPECT_FALSE(third->isVisible());
    EXPECT_TRUE(p.prompter.infos.empty());
}

TEST(Login, OnlyTheFirstLineCountsAndPlainTextStillLogsIn) {
    Program p(false, "none", false);
    // A password kept in plain text by an older installation, with a second line.
    p.user.put(users::kPasswordFile, "Old pass\r\nsecond\r\n");
    auto form1 = startLogin(p);
    for (const char* wrong : {"second", "old pass", "Old pass ", "Old"}) {
        logIn(*form1, wrong, false);
        EXPECT_TRUE(form1->isVisible()) << wrong;
    }
    EXPECT_EQ(p.prompter.infos.size(), 4u);
    logIn(*form1, "Old pass", false);
    EXPECT_FALSE(form1->isVisible());
    EXPECT_TRUE(p.form2().isVisible());

    // The next change stores a hash in its place.
    p.activate();
    shell::TForm3& form3 = *p.windows.Form3;
    whileShown(p, "ToolButton13", &form3, [&] {
        setText(form3.Edit1(), "Old pass");
        setText(form3.Edit2(), "new");
        QTest::mouseClick(form3.Button1(), Qt::LeftButton);
    });
    EXPECT_TRUE(users::IsPasswordHash(storedLine(p, users::kPasswordFile)));
    EXPECT_EQ(p.user.bytes(users::kPasswordFile).find("Old pass"), std::string::npos);

    // A hash with a second line: still the first line alone.
    p.user.put(users::kPasswordFile, p.user.bytes(users::kPasswordFile) + "new\r\n");
    auto next = startLogin(p);
    logIn(*next, "Old pass", false);
    EXPECT_TRUE(next->isVisible());
    logIn(*next, "new", true);
    EXPECT_FALSE(next->isVisible());
}

TEST(Remark, CompanyNameIsTheCaptionAtOnceAndAtTheNextStart) {
    Program p(false);
    p.form2().setWindowTitle("Velkor");  // as the log-in left it
    shell::TForm4& form4 = *p.windows.Form4;
    const std::string before = p.user.bytes(users::kCompanyFile);

    whileShown(p, "ToolButton11", &form4, [&] {
        QTest::mouseClick(form4.Button1(), Qt::LeftButton);
        EXPECT_EQ(p.prompter.texts(), QStringList({"不能为空!"}));
        EXPECT_TRUE(p.prompter.errors.isEmpty());
        EXPECT_TRUE(form4.isVisible());
        EXPECT_EQ(p.user.bytes(users::kCompanyFile), before);
        setText(form4.Edit1(), "无线电 Co.");
        QTest::mouseClick(form4.Button1(), Qt::LeftButton);
    });
    EXPECT_EQ(p.form2().windowTitle(), "无线电 Co.");
    EXPECT_EQ(p.user.bytes(users::kCompanyFile), *base::Utf8ToGbk("无线电 Co.") + "\r\n");
    EXPECT_EQ(p.prompter.infos.size(), 1u);

    // The login window takes it at the next start, and gives it to the main window.
    auto next = startLogin(p);
    EXPECT_EQ(next->windowTitle(), "无线电 Co.");
    p.form2().setWindowTitle("Form2");
    logIn(*next, "", true);
    EXPECT_EQ(p.form2().windowTitle(), "无线电 Co.");

    // Through the menu entry, the edit keeps its text; cancel changes nothing.
    p.activate();
    QTimer::singleShot(0, &form4, [&] {
        EXPECT_EQ(form4.Edit1()->text(), "无线电 Co.");
        setText(form4.Edit1(), "Other");
        QTest::mouseClick(form4.Button2(), Qt::LeftButton);
    });
    p.find<QAction>("N13")->trigger();
    EXPECT_FALSE(form4.isVisible());
    EXPECT_EQ(p.form2().windowTitle(), "无线电 Co.");
    EXPECT_EQ(p.user.bytes(users::kCompanyFile), *base::Utf8ToGbk("无线电 Co.") + "\r\n");
}

TEST(Login, MissingOrBrokenUserFilesAreReportedWithoutACrash) {
    Program p(false, "none", false);
    const std::string picture = p.user.bytes(users::kBackgroundFile);

    // No background, or one that is no picture: the built-in picture and "Velkor" stay, even
    // with another company name in its file.
    p.user.put(users::kCompanyFile, "ACME\r\nsecond line\r\n");
    fs::remove(p.user.path(users::kBackgroundFile));
    for (const char* broken : {"", "GIF89a not a jpeg"}) {
        if (*broken) p.user.put(users::kBackgroundFile, broken);
        p.prompter.errors.clear();
        auto form1 = startLogin(p);
        ASSERT_EQ(p.prompter.errors.size(), 1) << broken;
        EXPECT_TRUE(p.prompter.errors[0].contains("1.jpg")) << p.prompter.errors[0].toStdString();
        EXPECT_EQ(form1->windowTitle(), "Velkor");
        EXPECT_EQ(form1->picture(), builtIn());
    }
    p.user.put(users::kBackgroundFile, picture);
    p.prompter.errors.clear();
    EXPECT_EQ(startLogin(p)->windowTitle(), "ACME");  // the first line only
    EXPECT_TRUE(p.prompter.errors.isEmpty());

    // An empty company file: the picture is loaded, the caption stays.
    p.user.put(users::kCompanyFile, "");
    auto form1 = startLogin(p);
    ASSERT_EQ(p.prompter.errors.size(), 1);
    EXPECT_EQ(form1->windowTitle(), "Velkor");

    // No password file, or an empty one: no password logs in, and the box says why.
    fs::remove(p.user.path(users::kPasswordFile));
    p.prompter.errors.clear();
    logIn(*form1, "", true);
    p.user.put(users::kPasswordFile, "");
    logIn(*form1, "", false);
    ASSERT_EQ(p.prompter.errors.size(), 2);
    EXPECT_TRUE(p.prompter.errors[0].contains("1.bc"));
    EXPECT_TRUE(p.prompter.errors[0].contains(QString::fromUtf8("没有密码文件, 任何密码都不能登入")));
    EXPECT_TRUE(form1->isVisible());
    EXPECT_TRUE(p.prompter.infos.empty());

    // The change-password dialog reports it too and keeps the file as it is.
    p.form2().show();
    p.activate();
    whileShown(p, "ToolButton13", p.windows.Form3, [&] {
        QTest::mouseClick(p.windows.Form3->Button1(), Qt::LeftButton);
        EXPECT_EQ(p.prompter.errors.size(), 3);
        EXPECT_TRUE(p.windows.Form3->isVisible());
        QTest::mouseClick(p.windows.Form3->Button2(), Qt::LeftButton);
    });
    EXPECT_EQ(p.user.bytes(users::kPasswordFile), "");

    // A damaged hash is a password that never matches.
    p.user.put(users::kPasswordFile, "$argon2id$v=19$m=65536,t=2,p=1$broken\r\n");
    logIn(*form1, "", true);
    logIn(*form1, "$argon2id$v=19$m=65536,t=2,p=1$broken", true);
    EXPECT_EQ(p.prompter.texts(), QStringList({"密码错误!", "密码错误!"}));
    EXPECT_TRUE(form1->isVisible());
}

TEST(Login, ChangeBackground) {
    Program p(false, "none", false);
    QTemporaryDir pictures;
    shell::TForm1& form1 = p.form1();
    form1.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form1));
    const std::string original = p.user.bytes(users::kBackgroundFile);

    // Cancelled: nothing happens; the password is typed next.
    QTest::mouseClick(form1.Button2(), Qt::LeftButton);
    EXPECT_EQ(p.prompter.lastTitle, "Open");
    EXPECT_EQ(p.prompter.lastFilter, "*.jpg");
    EXPECT_TRUE(QTest::qWaitFor([&] { return form1.Edit1()->hasFocus(); }));

    // A file that is no JPEG, or not there: a clear message, the picture and the file stay.
    const QString text = pictures.filePath("notes.jpg");
    QFile file(text);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("\xFF\xD8 this is no picture");
    file.close();
    p.prompter.files = {text, pictures.filePath("missing.jpg")};
    QTest::mouseClick(form1.Button2(), Qt::LeftButton);
    QTest::mouseClick(form1.Button2(), Qt::LeftButton);
    ASSERT_EQ(p.prompter.errors.size(), 2);
    EXPECT_TRUE(p.prompter.errors[0].contains("不是可用的 JPEG 图片")) << p.prompter.errors[0].toStdString();
    EXPECT_TRUE(p.prompter.errors[1].contains("无法读取文件")) << p.prompter.errors[1].toStdString();
    EXPECT_EQ(form1.picture(), builtIn());
    EXPECT_EQ(p.user.bytes(users::kBackgroundFile), original);

    // A real one, 40 x 30 and red: shown stretched over the window and copied over the file.
    users::Picture red;
    red.width = 40;
    red.height = 30;
    for (int i = 0; i < 40 * 30; ++i) red.rgb.insert(red.rgb.end(), {220, 20, 20});
    const std::string jpeg = users::EncodeJpeg(red);
    const QString good = pictures.filePath("red.jpg");
    std::ofstream(QFile::encodeName(good).toStdString(), std::ios::binary) << jpeg;
    p.prompter.files = {good};
    QTest::mouseClick(form1.Button2(), Qt::LeftButton);
    EXPECT_EQ(p.prompter.errors.size(), 2);
    EXPECT_EQ(form1.picture().size(), QSize(40, 30));
    EXPECT_TRUE(QTest::qWaitFor([&] { return form1.Edit1()->hasFocus(); }));
    const QImage shown = form1.Image1()->grab().toImage();
    for (QPoint at : {QPoint(5, 5), QPoint(320, 240), QPoint(630, 470)}) EXPECT_GT(qRed(shown.pixel(at)), 180);
    EXPECT_EQ(p.user.bytes(users::kBackgroundFile), jpeg);
    EXPECT_EQ(QFile::permissions(QString::fromStdString(p.user.path(users::kBackgroundFile))) & 0x0077, 0);
    EXPECT_FALSE(fs::exists(p.user.path(users::kBackgroundFile) + std::string(".tmp")));
    EXPECT_EQ(startLogin(p)->picture().size(), QSize(40, 30));  // and at the next start
}

TEST(Login, AFirstStartMakesTheFolderWithItsDefaults) {
    QTemporaryDir root;
    const std::string dir = QFile::encodeName(root.filePath("new/image")).toStdString();
    std::string error;
    EXPECT_EQ(shell::UserFolder(dir), dir);
    EXPECT_EQ(shell::PrepareUserFolder(dir).error, "");
    EXPECT_TRUE(users::IsPasswordHash(*valueOf(users::ReadFirstLine(dir + "/1.bc"), error)));

    FakePrompter prompter;
    shell::TForm1 form1(prompter, dir, {});
    form1.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form1));
    EXPECT_TRUE(prompter.errors.isEmpty());
    EXPECT_EQ(form1.windowTitle(), "Velkor");
    EXPECT_EQ(form1.picture(), builtIn());
    QTest::keyClick(form1.Edit1(), Qt::Key_Enter);  // the keypad's Enter too
    EXPECT_FALSE(form1.isVisible());

    // Later starts leave the folder as it is: a file missing then is reported, not replaced.
    fs::remove(dir + "/1.bc");
    EXPECT_TRUE(shell::PrepareUserFolder(dir).ok());
    EXPECT_FALSE(fs::exists(dir + "/1.bc"));
}
