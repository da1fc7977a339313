// Start-up and shutdown windows as the user sees them: the splash, the
// first-run about box, message boxes during start-up, the closing notice.
#include "desktop/desktopfixture.h"

#include "mainwin/about.h"
#include "mainwin/loadingwin.h"
#include "mainwin/saving.h"

#include <QMessageBox>
#include <QPushButton>
#include <QWindow>

#include <atomic>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <thread>
#include <unistd.h>

namespace {
class StartStop : public DesktopProgram {
protected:
    // Dark pixels (text) inside a control, as the screen shows it.
    static int DarkPixels(TControl* control) {
        QWidget* w = control->Handle();
        int dark = 0;
        for (int y = 0; y < w->height(); y += 1)
            for (int xx = 0; xx < w->width(); xx += 1) {
                QPoint p = x().RootPos(w, QPoint(xx, y));
                unsigned c = x().Pixel(p.x(), p.y());
                if (((c >> 16) & 0xFF) < 0x60 && ((c >> 8) & 0xFF) < 0x60 && (c & 0xFF) < 0x60) ++dark;
            }
        return dark;
    }
    static QMessageBox* ActiveBox() {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        return box && Active(box) ? box : nullptr;
    }
};
}  // namespace

TEST_F(StartStop, TheClosingNoticeIsDrawnBeforeTheShutdownWritesAndStaysDrawnUnderItsBoxes) {
    StartProgram();
    // Without its data folder the shutdown cannot write and says so in boxes.
    std::filesystem::rename(folder.File("data"), folder.File("moved"));
    int boxes = 0, noticeText = -1;
    Script s;
    s.Then("File > Exit", [&] { ClickMenuBar(MainForm->File1); })
        .When("File shown", [&] { return MainForm->File1->QtMenu()->isVisible(); },
              [&] { ClickMenuItem(ItemCaptioned(MainForm->File1, "E&xit")); })
        .When("the first box of the shutdown", [&] { return ActiveBox() != nullptr; },
              [&] {
                  const unsigned long notice = x().WindowOf(SavingForm->Handle());
                  EXPECT_TRUE(x().Viewable(notice));
                  // Above the main window that the box brought up, so the user sees it.
                  EXPECT_GT(x().StackPosition(notice), x().StackPosition(MainWindow()));
                  noticeText = DarkPixels(SavingForm->Label1);
              })
        .When("every box answered", [&] {
            if (QMessageBox* box = ActiveBox()) {
                ++boxes;
                box->done(QMessageBox::Ok);
            }
            return !MainForm->CurrentSource && !SavingForm->Visible();
        });
    ASSERT_TRUE(s.Run()) << s.Failed();
    EXPECT_GE(boxes, 1);
    EXPECT_GT(noticeText, 20) << "the notice showed no text";
}

TEST_F(StartStop, TheClosingNoticeShowsItsTextWhenTheWritingStarts) {
    StartProgram();
    // The first file the shutdown writes is a pipe here: the program stops in
    // it until a reader comes, and the screen shows what it had drawn by then.
    const std::string first = DataFile("Pacific.XML");
    std::filesystem::remove(first);
    ASSERT_EQ(mkfifo(first.c_str(), 0644), 0);
    const pid_t gui = static_cast<pid_t>(syscall(SYS_gettid));
    std::atomic<int> dark{-1};
    std::thread watcher([&] {
        // Until the GUI thread waits in the opening of the pipe.
        const std::string state = "/proc/self/task/" + std::to_string(gui) + "/syscall";
        for (int i = 0; i < 10000; ++i) {
            std::ifstream in(state);
            long number = -1;
            in >> number;
            if (number == SYS_openat) break;
            usleep(1000);
        }
        std::unique_ptr<XDesktop> look = XDesktop::Connect();
        std::vector<unsigned long> notice = look->WindowsTitled("Saving...");
        int count = 0;
        if (!notice.empty() && look->Viewable(notice.front())) {
            QRect text = QRect(look->ClientRect(notice.front()).topLeft() + QPoint(52, 15), QSize(140, 16));
            for (int y = text.top(); y <= text.bottom(); ++y)
                for (int xx = text.left(); xx <= text.right(); ++xx) {
                    unsigned c = look->Pixel(xx, y);
                    if (((c >> 16) & 0xFF) < 0x60 && ((c >> 8) & 0xFF) < 0x60 && (c & 0xFF) < 0x60) ++count;
                }
        }
        dark = count;
        int fd = open(first.c_str(), O_RDONLY);  // lets the program go on
        if (fd >= 0) close(fd);
    });
    MainForm->Close();
    watcher.join();
    EXPECT_GT(dark.load(), 20) << "the notice showed no text when the writing started";
}

TEST_F(StartStop, StartUpBoxesStandAboveTheSplash) {
    Ini("[Program]\r\nReadAbout=0\r\nShowSplash=1\r\n");
    std::filesystem::remove(DataFile("IMF.XML"));  // "Can't find file: ..." during start-up
    CreateApplicationForms();
    const unsigned long splashWindow = x().WindowOf(LoadingForm->Handle());
    int boxesSeen = 0;
    bool aboutSeen = false;
    auto above = [&](QWidget* w) {
        const int top = x().StackPosition(x().WindowOf(w)), under = x().StackPosition(splashWindow);
        return top >= 0 && under >= 0 && top > under;
    };
    Script s;
    s.Then("start", [&] { MainForm->Show(); })
        .When("every start-up box answered from above the splash",
              [&] {
                  QWidget* modal = QApplication::activeModalWidget();
                  if (!modal || !Active(modal) || !x().Viewable(splashWindow))
                      return !modal && MainForm->CurrentSource && !LoadingForm->Visible();
                  EXPECT_TRUE(WaitUntil([&] { return above(modal); }, 2000)) << "under the splash";
                  if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                      ++boxesSeen;
                      x().Click(x().Centre(box->defaultButton() ? static_cast<QWidget*>(box->defaultButton())
                                                                : box->buttons().front()));
                  } else if (modal == AboutForm->Handle()) {
                      aboutSeen = true;
                      x().Click(x().Centre(AboutForm->OKButton->Handle()));  // "I Agree"
                  }
                  WaitUntil([&] { return QApplication::activeModalWidget() != modal; }, 2000);
                  return false;
              })
        .When("the splash gone", [&] { return !x().Viewable(splashWindow); });
    ASSERT_TRUE(s.Run(20000)) << s.Failed();
    EXPECT_GE(boxesSeen, 1);
    EXPECT_TRUE(aboutSeen);
    EXPECT_TRUE(MainForm->AppSettings->ReadAbout);
}

TEST_F(StartStop, ModalDialogsBelongToTheMainWindowRefuseOutsideClosesWithoutCloseBoxAndStayUp) {
    StartProgram();
    // The about box: a dialog of the main window, put back when minimised.
    TMenuItem* about = ItemCaptioned(MainForm->Help1, "&About");
    ASSERT_NE(about, nullptr);
    unsigned long box = 0;
    Script s;
    s.Then("Help > About", [&] { ClickMenuBar(MainForm->Help1); })
        .When("Help shown", [&] { return MainForm->Help1->QtMenu()->isVisible(); }, [&] { ClickMenuItem(about); })
        .When("the about box", [&] { return AboutForm->Visible() && Active(AboutForm->Handle()); },
              [&] {
                  box = x().WindowOf(AboutForm->Handle());
                  EXPECT_EQ(x().TransientFor(box), MainWindow());
                  EXPECT_EQ(x().WindowTypes(box).back(), "DIALOG");
                  EXPECT_TRUE(x().HasState(box, "MODAL"));
                  x().RequestMinimize(box);
              })
        .When("the about box back on screen after the minimise",
              [&] {
                  return x().WmState(box) == 1 && x().Viewable(box) && x().WmState(MainWindow()) == 1 &&
                         Active(AboutForm->Handle()) && AboutForm->Handle()->windowHandle()->isExposed() &&
                         QApplication::activeWindow() == AboutForm->Handle();
              },
              [&] {
                  // The window manager may still hold the pointer for a moment
                  // after putting the windows back; a user clicks again.
                  for (int i = 0; i < 5 && AboutForm->Visible(); ++i) {
                      x().Click(x().Centre(AboutForm->OKButton->Handle()));
                      WaitUntil([&] { return !AboutForm->Visible(); }, 1000);
                  }
              })
        .When("the about box closed", [&] { return !AboutForm->Visible(); });
    ASSERT_TRUE(s.Run()) << s.Failed();
}
