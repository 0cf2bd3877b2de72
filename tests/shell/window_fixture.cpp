#include "tests/shell/window_fixture.h"
#include "tests/short_waits.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QSettings>
#include <QTabWidget>
#include <QWindow>

#include <filesystem>
#include <fstream>

#include "shell/qt_translations.h"
#include "tests/outcome_value.h"
#include "users/user_files.h"

// The application lives in main, so that it goes before the libraries' own exit handlers.
int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    shell::TranslateQtTexts(app);
    // Every full read keeps a raw backup: these go to a folder of the run, never the user's.
    QTemporaryDir backups;
    qputenv("RADIO_BACKUP_DIR", QFile::encodeName(backups.path()));
    // Nor do the per-user settings (the port used last) go to the user's.
    QTemporaryDir settings;
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings.path());
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

namespace {

std::unique_ptr<sim::VirtualRadio> startRadio(bool withRadio, const char* fault) {
    if (!withRadio) return nullptr;
    sim::RadioOptions options;
    options.pacing = false;
    options.turnaround = std::chrono::microseconds(0);
    options.fault = sim::FaultPlan::Parse(fault).value;
    return std::make_unique<sim::VirtualRadio>(options);
}

}  // namespace

UserFolder::UserFolder() : dir(QFile::encodeName(temporary.filePath("image")).toStdString()) {
    std::string error;
    if (!succeeded(users::PrepareFolder(dir), error)) ADD_FAILURE() << error;
}

std::string UserFolder::path(const char* name) const {
    return name ? (std::filesystem::path(dir) / name).string() : dir;
}

std::string UserFolder::bytes(const char* name) const {
    std::ifstream in(path(name), std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void UserFolder::put(const char* name, const std::string& bytes) const {
    std::ofstream(path(name), std::ios::binary | std::ios::trunc) << bytes;
}

Program::Program(bool withRadio, const char* fault, bool showMain, const Adjust& adjust)
    : radio(startRadio(withRadio, fault)) {
    shell::MainWindowOptions options;
    const std::string path = radio ? radio->slavePath() : std::string();
    options.portList = [path] { return path.empty() ? std::vector<std::string>{} : std::vector<std::string>{path}; };
    options.terminate = [this] { ++terminated; };
    options.settingsFile = user.temporary.filePath("radio.ini");
    if (adjust) adjust(options, path);
    windows = shell::CreateWindows(prompter, user.dir, options);
    form2().radio().timing = ShortWaits();
    if (!showMain) return;
    form2().show();
    form2().activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&form2()));
}

Program::~Program() {
    windows.Form2.reset();
    windows.Form1.reset();
}

void Program::showPage(int index) {
    form2().pageControl()->setCurrentIndex(index);
    QApplication::processEvents();
}

void Program::activate() {
    // The offscreen platform does not give the activation back when a dialog or a popup
    // closes, as a desktop does.
    QWindow* window = form2().windowHandle();
    if (QGuiApplication::focusWindow() == window) return;
    window->requestActivate();
    if (!QTest::qWaitFor([window] { return QGuiApplication::focusWindow() == window; }))
        ADD_FAILURE() << "the main window is not active again";
}

void Program::clickCell(image::Band band, int column, int row) {
    activate();
    showPage(band == image::Band::Upper ? 0 : 2);
    shell::StringGrid& g = grid(band);
    g.scrollTo(g.model()->index(row - 1, column));
    QTest::mouseClick(g.viewport(), Qt::LeftButton, {}, g.cellRect(column, row).center());
}

void Program::clickRow(image::Band band, int row, Qt::KeyboardModifiers modifiers) {
    activate();
    showPage(band == image::Band::Upper ? 0 : 2);
    shell::StringGrid& g = grid(band);
    g.scrollTo(g.model()->index(row - 1, 0));
    QTest::mouseClick(g.viewport(), Qt::LeftButton, modifiers, g.cellRect(0, row).center());
}

void Program::enter(image::Band band, int column, int row, const QString& text) {
    clickCell(band, column, row);
    type(text);
    key(Qt::Key_Return);
}

void Program::type(const QString& keys) {
    for (const QChar c : keys) {
        QWidget* focus = QApplication::focusWidget();
        if (!focus) {
            ADD_FAILURE() << "nothing has the focus";
            return;
        }
        QTest::keyClick(focus, c.toLatin1());
    }
}

void Program::key(Qt::Key key, Qt::KeyboardModifiers modifiers) {
    activate();
    QWidget* focus = QApplication::focusWidget();
    QTest::keyClick(focus ? focus : &form2(), key, modifiers);
}

void Program::choose(QComboBox* box, const QString& item) {
    const int index = box->findText(item);
    ASSERT_GE(index, 0) << item.toStdString();
    choose(box, index);
}

void Program::choose(QComboBox* box, int index) {
    // The list opens, the item is picked out with the keyboard and taken with Enter.
    box->showPopup();
    QAbstractItemView* view = box->view();
    view->setCurrentIndex(view->model()->index(index, 0));
    QTest::keyClick(view, Qt::Key_Enter);
    QApplication::processEvents();
    if (box->view()->isVisible()) ADD_FAILURE() << "the list of " << box->objectName().toStdString() << " stayed open";
    if (box->currentIndex() != index) ADD_FAILURE() << box->objectName().toStdString() << " did not take item " << index;
    activate();
    if (box->isVisible()) box->setFocus(Qt::PopupFocusReason);  // the focus goes back to the list
}

void Program::leave(QWidget* edit) {
    // Tab moves the focus on to the next control, as the operator would.
    if (!edit->hasFocus()) edit->setFocus(Qt::MouseFocusReason);
    QTest::keyClick(edit, Qt::Key_Tab);
    if (edit->hasFocus()) ADD_FAILURE() << "the focus stayed in " << edit->objectName().toStdString();
}
