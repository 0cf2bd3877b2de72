// The port bar of the main window: the list read again as it drops down, each port shown with
// what it is while its name is what is opened, and the port used last opened at the next
// start.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <QLabel>
#include <QPushButton>
#include <QSettings>

#include "serial/port_list.h"
#include "tests/serial/pty_pair.h"
#include "tests/shell/window_fixture.h"

namespace {

namespace fs = std::filesystem;

// A /sys/class/tty look-alike in a temporary folder, and a USB adapter plugged into it.
struct FakeTtyClass {
    QTemporaryDir temporary;
    fs::path root{QFile::encodeName(temporary.path()).toStdString()};
    FakeTtyClass() { fs::create_directories(root / "class"); }
    std::string dir() const { return (root / "class").string(); }
    std::string byId() const { return (root / "by-id").string(); }
    void addBuiltIn(const std::string& name) {
        fs::create_directories(root / "devices" / name);
        fs::create_directories(root / "class" / name);
        fs::create_directory_symlink(root / "devices" / name, root / "class" / name / "device");
        std::ofstream(root / "class" / name / "type") << "4\n";
    }
    void plugIn(const std::string& name, const std::string& product) {
        const fs::path usb = root / "devices" / "usb1" / name;
        fs::create_directories(usb / "if0" / name);
        std::ofstream(usb / "product") << product << "\n";
        fs::create_directories(root / "class" / name);
        fs::create_directory_symlink(usb / "if0" / name, root / "class" / name / "device");
    }
};

const QString kCaption = QString::fromUtf8("通讯端口:");

QStringList texts(QComboBox* box, int role) {
    QStringList out;
    for (int i = 0; i < box->count(); ++i) out << box->itemData(i, role).toString();
    return out;
}

}  // namespace

TEST(PortDropDown, AnAdapterPluggedInAfterTheStartIsListedWhenTheListDropsDown) {
    FakeTtyClass sys;
    sys.addBuiltIn("ttyS1");
    std::string radioPath;
    Program p(true, "none", true, [&](shell::MainWindowOptions& options, const std::string& path) {
        radioPath = path;
        const std::string dir = sys.dir();
        options.portList = [dir, path] { return serial::PortList(dir, {path}); };
        // The virtual radio described as an adapter would be: the shown text is then no
        // longer the name, and what is opened and compared must still be the name.
        options.portLabel = [dir, path, byId = sys.byId()](const std::string& name) {
            return name == path ? name + " \u2013 virtual radio" : serial::PortLabel(name, dir, byId);
        };
    });
    const QString radio = QString::fromStdString(radioPath);
    auto* ports = p.find<QComboBox>("ComboBox1");
    ASSERT_EQ(texts(ports, Qt::UserRole), QStringList({radio, "ttyS1"}));
    EXPECT_EQ(texts(ports, Qt::DisplayRole), QStringList({radio + " \u2013 virtual radio", "ttyS1"}));
    EXPECT_EQ(ports->currentIndex(), 0);
    EXPECT_EQ(p.form2().statusPanel(0), kCaption + radio);

    // The port opened as the list shows it: the limits page's buttons reach the radio.
    p.showPage(6);
    QTest::mouseClick(p.find<QPushButton>("Button3"), Qt::LeftButton);
    EXPECT_EQ(p.prompter.texts(), QStringList({"读取成功!"}));

    sys.plugIn("ttyUSB7", "FT232R USB UART");
    ports->showPopup();
    EXPECT_EQ(texts(ports, Qt::UserRole), QStringList({radio, "ttyS1", "ttyUSB7"}));
    EXPECT_EQ(ports->itemText(2), QString::fromUtf8("ttyUSB7 \u2013 FT232R USB UART"));
    ports->hidePopup();
    // Nothing else changed: the open port, the selection, the panel.
    EXPECT_EQ(ports->currentData().toString(), radio);
    EXPECT_EQ(p.form2().statusPanel(0), kCaption + radio);
    EXPECT_TRUE(p.form2().Comm1().IsOpen());
    EXPECT_EQ(p.form2().Comm1().CommName(), radioPath);

    // Picking the new one opens it by its device name; it fails here, and says why.
    p.choose(ports, 2);
    EXPECT_EQ(ports->currentData().toString(), "ttyUSB7");
    EXPECT_EQ(p.form2().Comm1().CommName(), "/dev/ttyUSB7");
    EXPECT_EQ(p.form2().statusPanel(0), QString::fromUtf8("通讯端口:串口被占用!"));
    EXPECT_TRUE(p.find<QLabel>("StatusPanel0")->toolTip().startsWith("/dev/ttyUSB7: "));

    // Pulled out again while selected, it stays selected rather than another being shown.
    fs::remove_all(sys.root / "class" / "ttyUSB7");
    ports->showPopup();
    ports->hidePopup();
    EXPECT_EQ(texts(ports, Qt::UserRole), QStringList({radio, "ttyS1", "ttyUSB7"}));
    EXPECT_EQ(ports->currentData().toString(), "ttyUSB7");

    // The port opened again from the list: the buttons work again.
    p.choose(ports, 0);
    EXPECT_EQ(p.form2().statusPanel(0), kCaption + radio);
    p.prompter.infos.clear();
    p.showPage(6);
    QTest::mouseClick(p.find<QPushButton>("Button3"), Qt::LeftButton);
    EXPECT_EQ(p.prompter.texts(), QStringList({"读取成功!"}));
}

TEST(PortDropDown, ThePortUsedLastIsOpenedAtTheNextStart) {
    testing_pty::PtyPair adapter;
    const QString other = QString::fromStdString(adapter.path());
    QTemporaryDir settingsDir;
    const QString settings = settingsDir.filePath("radio.ini");
    // The virtual radio first, the other port after it, a missing one last.
    auto ports = [&](shell::MainWindowOptions& options, const std::string& path) {
        options.settingsFile = settings;
        options.portList = [path, adapterPath = adapter.path()] {
            return std::vector<std::string>{path, adapterPath, "/dev/ttyNOSUCH9"};
        };
    };
    {
        Program first(true, "none", true, ports);
        auto* box = first.find<QComboBox>("ComboBox1");
        EXPECT_EQ(box->currentIndex(), 0);  // nothing remembered yet: the first
        EXPECT_EQ(QSettings(settings, QSettings::IniFormat).value("ports/last").toString(),
                  QString::fromStdString(first.radio->slavePath()));
        first.choose(box, 1);
        EXPECT_EQ(first.form2().statusPanel(0), kCaption + other);
    }
    {
        Program second(true, "none", true, ports);
        auto* box = second.find<QComboBox>("ComboBox1");
        EXPECT_EQ(box->currentIndex(), 1);
        EXPECT_EQ(second.form2().Comm1().CommName(), adapter.path());
        EXPECT_TRUE(second.form2().Comm1().IsOpen());
        EXPECT_EQ(second.form2().statusPanel(0), kCaption + other);
        // A port that fails to open is not remembered.
        second.choose(box, 2);
        EXPECT_FALSE(second.form2().Comm1().IsOpen());
    }
    EXPECT_EQ(QSettings(settings, QSettings::IniFormat).value("ports/last").toString(), other);

    // A run that does not remember (the virtual radio's) opens the first and keeps nothing.
    Program third(true, "none", true, [&](shell::MainWindowOptions& options, const std::string& path) {
        ports(options, path);
        options.rememberPort = false;
    });
    EXPECT_EQ(third.find<QComboBox>("ComboBox1")->currentIndex(), 0);
    third.choose(third.find<QComboBox>("ComboBox1"), 1);
    third.choose(third.find<QComboBox>("ComboBox1"), 0);
    EXPECT_EQ(QSettings(settings, QSettings::IniFormat).value("ports/last").toString(), other);
}
