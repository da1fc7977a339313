// The tray icon over the toolkit's system-tray icon, in a real notification
// area (trayer) on a virtual display; skips itself without X11 or trayer.
#include "platform/trayicon.h"
#include "platform/formkit.h"
#include "support/testenv.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QMenu>
#include <QPixmap>
#include <QSystemTrayIcon>
#include <QTimer>

#include <gtest/gtest.h>

#include <csignal>
#include <memory>
#include <spawn.h>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace {
pid_t Spawn(std::vector<std::string> args) {
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return 0;
    return pid;
}

bool RunToEnd(std::vector<std::string> args) {
    pid_t pid = Spawn(std::move(args));
    int status = 0;
    return pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool ProcessUntil(const std::function<bool()>& done, int ms = 5000) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < ms) QApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

class X11TrayIcon : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureToolkit();
        if (QGuiApplication::platformName() != "xcb") GTEST_SKIP() << "needs an X11 display";
        tray = Spawn({"trayer", "--edge", "top", "--align", "right", "--widthtype", "pixel", "--width", "120",
                      "--height", "24", "--SetDockType", "false"});
        if (!tray) GTEST_SKIP() << "needs trayer";
        app = std::make_unique<TApplication>();
        ASSERT_TRUE(ProcessUntil([] { return QSystemTrayIcon::isSystemTrayAvailable(); }));
    }
    void TearDown() override {
        app.reset();
        QApplication::processEvents();
        if (tray) {
            kill(tray, SIGTERM);
            waitpid(tray, nullptr, 0);
        }
    }
    pid_t tray = 0;
    std::unique_ptr<TApplication> app;
    TempFolder folder;
};
}  // namespace

TEST_F(X11TrayIcon, TheIconSitsInTheTrayAndClicksReachIt) {
    const std::string picture = folder.File("icon.png");
    QPixmap red(16, 16);
    red.fill(Qt::red);
    ASSERT_TRUE(red.save(QString::fromStdString(picture), "PNG"));
    TForm owner(nullptr);
    auto* images = new TImageList(&owner, 16, 16);
    images->SetImage(0, picture);
    auto* menu = new TPopupMenu(&owner);
    menu->Add(new TMenuItem(&owner, "&First"));
    auto* icon = new TTrayIcon(&owner);
    icon->SetIcons(images);
    icon->SetIconIndex(0);
    icon->SetHint("Tray test");
    icon->SetPopupMenu(menu);
    std::vector<TMouseButton> released;
    icon->OnMouseUp = [&](TObject*, TMouseButton b, TShiftState, int, int) { released.push_back(b); };
    icon->SetVisible(true);

    QList<QSystemTrayIcon*> all = qApp->findChildren<QSystemTrayIcon*>();
    ASSERT_EQ(all.size(), 1);
    QSystemTrayIcon* real = all.first();
    EXPECT_EQ(real->toolTip(), "Tray test");
    EXPECT_FALSE(real->icon().isNull());
    // Embedded in the tray at the top right of the screen.
    ASSERT_TRUE(ProcessUntil([&] { return real->geometry().width() > 0 && real->geometry().x() > 0; }));
    const QPoint centre = real->geometry().center();
    const std::string x = std::to_string(centre.x()), y = std::to_string(centre.y());

    ASSERT_TRUE(RunToEnd({"xdotool", "mousemove", x, y, "click", "1"}));
    EXPECT_TRUE(ProcessUntil([&] { return released.size() == 1; }));
    EXPECT_EQ(released, std::vector<TMouseButton>{mbLeft});

    bool menuSeen = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            menuSeen = popup == menu->QtMenu();
            popup->close();
        }
    });
    watch.start(50);
    ASSERT_TRUE(RunToEnd({"xdotool", "mousemove", x, y, "click", "3"}));
    EXPECT_TRUE(ProcessUntil([&] { return menuSeen; }));
    EXPECT_EQ(released, (std::vector<TMouseButton>{mbLeft, mbRight}));

    delete icon;
    EXPECT_TRUE(qApp->findChildren<QSystemTrayIcon*>().isEmpty());
}
