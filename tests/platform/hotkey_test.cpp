// Global hot keys and the hot-key field: the registration rules over a fake
// backend, and the real X11 grab on a virtual display (the X11* tests skip
// themselves without one; CTest runs them under xvfb-run).
#include "platform/hotkey.h"
#include "platform/hotkeyctrl.h"
#include "platform/formkit.h"
#include "platform/winapi.h"
#include "support/fakebackends.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QLineEdit>
#include <QTest>
#include <QWidget>

#include <xcb/xcb.h>

#include "support/testenv.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <spawn.h>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace {
class Receiver : public TForm {
public:
    using TForm::TForm;
    void Dispatch(TMessage& message) override { messages.push_back(message); }
    std::vector<TMessage> messages;
};

class HotKeys : public GuiTest {};
}  // namespace

TEST_F(HotKeys, APressReachesTheFormThatRegisteredIt) {
    FakeHotKeys keys;
    Receiver form(nullptr), other(nullptr);
    ASSERT_TRUE(RegisterHotKey(&form, 7, MOD_CONTROL | MOD_SHIFT, 0x74));
    keys.Press(MOD_CONTROL | MOD_SHIFT, 0x74);
    ASSERT_EQ(form.messages.size(), 1u);
    EXPECT_EQ(form.messages[0].Msg, WM_HOTKEY);
    EXPECT_EQ(form.messages[0].WParam, 7);
    EXPECT_EQ(form.messages[0].LParam, (0x74 << 16) | (MOD_CONTROL | MOD_SHIFT));
    EXPECT_TRUE(other.messages.empty());

    // Taken: by this program, by another one; and no key at all.
    EXPECT_FALSE(RegisterHotKey(&other, 1, MOD_CONTROL | MOD_SHIFT, 0x74));
    keys.taken.insert({MOD_ALT, 'B'});
    EXPECT_FALSE(RegisterHotKey(&other, 1, MOD_ALT, 'B'));
    EXPECT_FALSE(RegisterHotKey(&other, 1, MOD_ALT, 0));
    EXPECT_FALSE(RegisterHotKey(&other, 1, 0, 0));
    EXPECT_EQ(keys.GrabCount(), 1u);

    EXPECT_FALSE(UnregisterHotKey(&form, 8));
    EXPECT_TRUE(UnregisterHotKey(&form, 7));
    EXPECT_EQ(keys.GrabCount(), 0u);
    keys.Press(MOD_CONTROL | MOD_SHIFT, 0x74);
    EXPECT_EQ(form.messages.size(), 1u);
    EXPECT_TRUE(RegisterHotKey(&other, 1, MOD_CONTROL | MOD_SHIFT, 0x74));  // free again
}

TEST_F(HotKeys, TheHotKeyGoesWithTheFormsWindow) {
    FakeHotKeys keys;
    auto* form = new Receiver(nullptr);
    ASSERT_TRUE(RegisterHotKey(form, 1, MOD_ALT, 'A'));
    ASSERT_TRUE(RegisterHotKey(form, 2, MOD_ALT, 'S'));
    delete form;
    EXPECT_EQ(keys.GrabCount(), 0u);
    keys.Press(MOD_ALT, 'A');  // nobody to tell, nothing breaks
}

TEST_F(HotKeys, WithoutX11NothingRegisters) {
    if (QGuiApplication::platformName() == "xcb") GTEST_SKIP() << "runs on a display without X11";
    TForm form(nullptr);
    EXPECT_FALSE(RegisterHotKey(&form, 1, MOD_ALT, 'A'));
}

TEST_F(HotKeys, TheFieldRecordsAKeyWithItsModifiers) {
    TForm form(nullptr);
    auto* field = new THotKey(&form, &form);
    TButton* ok = new TButton(&form, &form, "&OK");
    ok->SetBounds(0, 40, 75, 25);
    int pressed = 0, changed = 0;
    ok->OnClick = [&](TObject*) { ++pressed; };
    field->OnChange = [&](TObject*) { ++changed; };
    form.Show();
    field->SetFocus();
    auto text = [&] { return static_cast<QLineEdit*>(field->Handle())->text().toStdString(); };
    EXPECT_EQ(text(), "None");

    QTest::keyClick(field->Handle(), Qt::Key_F5, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(field->HotKey(), 0x6074);
    EXPECT_EQ(text(), "Ctrl + Shift + F5");
    QTest::keyClick(field->Handle(), Qt::Key_O, Qt::AltModifier);  // not the button's accelerator
    EXPECT_EQ(field->HotKey(), scAlt | 'O');
    EXPECT_EQ(pressed, 0);
    // A key alone, or with Shift alone, is taken with Alt.
    QTest::keyClick(field->Handle(), Qt::Key_Q);
    EXPECT_EQ(field->HotKey(), 0x8051);
    QTest::keyClick(field->Handle(), Qt::Key_Exclam, Qt::ShiftModifier);
    EXPECT_EQ(field->HotKey(), 0x8031);
    EXPECT_EQ(text(), "Alt + 1");
    QTest::keyClick(field->Handle(), Qt::Key_3, Qt::KeypadModifier | Qt::ControlModifier);
    EXPECT_EQ(text(), "Ctrl + Num 3");
    // A modifier held alone shows, and changes nothing.
    QTest::keyPress(field->Handle(), Qt::Key_Control);
    EXPECT_EQ(text(), "Ctrl + ");
    QTest::keyRelease(field->Handle(), Qt::Key_Control);
    EXPECT_EQ(text(), "Ctrl + Num 3");
    QTest::keyClick(field->Handle(), Qt::Key_Backspace);
    EXPECT_EQ(field->HotKey(), 0);
    EXPECT_EQ(text(), "None");
    EXPECT_EQ(changed, 6);
    field->SetHotKey(32833);
    EXPECT_EQ(text(), "Alt + A");
}

// ---------------------------------------------------------------- on X11

namespace {
xcb_connection_t* X11() {
    if (QGuiApplication::platformName() != "xcb") return nullptr;
    auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

// Runs xdotool with the arguments and waits for it.
bool XdoTool(std::vector<std::string> args) {
    args.insert(args.begin(), "xdotool");
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawnp(&pid, "xdotool", nullptr, nullptr, argv.data(), environ) != 0) return false;
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool ProcessUntil(const std::function<bool()>& done, int ms = 3000) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < ms) QApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

// The key code of a key symbol, looked up as another program would.
xcb_keycode_t KeyCodeOf(xcb_connection_t* c, xcb_keysym_t keysym) {
    const xcb_setup_t* setup = xcb_get_setup(c);
    const int count = setup->max_keycode - setup->min_keycode + 1;
    auto* map = xcb_get_keyboard_mapping_reply(
        c, xcb_get_keyboard_mapping(c, setup->min_keycode, static_cast<uint8_t>(count)), nullptr);
    xcb_keycode_t found = 0;
    const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(map);
    for (int i = 0; i < xcb_get_keyboard_mapping_keysyms_length(map) && !found; ++i)
        if (syms[i] == keysym) found = static_cast<xcb_keycode_t>(setup->min_keycode + i / map->keysyms_per_keycode);
    free(map);
    return found;
}

class X11HotKey : public HotKeys {
protected:
    void SetUp() override {
        HotKeys::SetUp();
        if (!X11()) GTEST_SKIP() << "needs an X11 display";
    }
};
}  // namespace

TEST_F(X11HotKey, TheGrabbedKeyArrivesWithTheLocksOnOrOff) {
    Receiver form(nullptr);
    ASSERT_TRUE(RegisterHotKey(&form, 1, MOD_ALT, 'A'));
    ASSERT_TRUE(XdoTool({"key", "alt+a"}));
    EXPECT_TRUE(ProcessUntil([&] { return form.messages.size() == 1; }));
    XdoTool({"key", "a"});  // without Alt it is not ours
    XdoTool({"key", "Caps_Lock"});
    XdoTool({"key", "alt+a"});
    XdoTool({"key", "Caps_Lock"});
    XdoTool({"key", "Num_Lock"});
    XdoTool({"key", "alt+a"});
    XdoTool({"key", "Num_Lock"});
    EXPECT_TRUE(ProcessUntil([&] { return form.messages.size() == 3; }));
    ASSERT_EQ(form.messages.size(), 3u);
    EXPECT_EQ(form.messages[2].WParam, 1);
    EXPECT_TRUE(UnregisterHotKey(&form, 1));
    XdoTool({"key", "alt+a"});
    ProcessUntil([] { return false; }, 300);
    EXPECT_EQ(form.messages.size(), 3u);
}

TEST_F(X11HotKey, KeysThatCannotBeHadRegisterNothing) {
    Receiver form(nullptr);
    EXPECT_FALSE(RegisterHotKey(&form, 1, MOD_ALT, 0));      // would grab every key
    EXPECT_FALSE(RegisterHotKey(&form, 1, MOD_ALT, 0x83));   // F20: no such key on this keyboard
    EXPECT_FALSE(RegisterHotKey(&form, 1, MOD_ALT, 0xFF));   // no such virtual key

    // Another program holds Ctrl+Shift+F5.
    xcb_connection_t* other = xcb_connect(nullptr, nullptr);
    ASSERT_EQ(xcb_connection_has_error(other), 0);
    xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(other)).data->root;
    xcb_keycode_t f5 = KeyCodeOf(other, 0xffc2);
    ASSERT_NE(f5, 0);
    const uint16_t mask = XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_SHIFT;
    ASSERT_EQ(xcb_request_check(other, xcb_grab_key_checked(other, 0, root, mask, f5, XCB_GRAB_MODE_ASYNC,
                                                            XCB_GRAB_MODE_ASYNC)),
              nullptr);
    EXPECT_FALSE(RegisterHotKey(&form, 1, MOD_CONTROL | MOD_SHIFT, 0x74));
    // Nothing of it stayed ours: once the other lets go, it can be had.
    // (Checked, so the server has taken the release before we ask.)
    free(xcb_request_check(other, xcb_ungrab_key_checked(other, f5, root, mask)));
    EXPECT_TRUE(RegisterHotKey(&form, 1, MOD_CONTROL | MOD_SHIFT, 0x74));
    // And ours is taken for the other program until our form is gone.
    auto grab = [&] {
        xcb_generic_error_t* e = xcb_request_check(
            other, xcb_grab_key_checked(other, 0, root, mask, f5, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
        free(e);
        return e == nullptr;
    };
    EXPECT_FALSE(grab());
    UnregisterHotKey(&form, 1);
    EXPECT_TRUE(grab());
    xcb_disconnect(other);
}

TEST_F(X11HotKey, ToolWindowsStayOutOfTheTaskBar) {
    auto state = [](QWidget* w) {
        xcb_connection_t* c = X11();
        auto atom = [c](const char* name) {
            auto* r = xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, static_cast<uint16_t>(strlen(name)), name), nullptr);
            xcb_atom_t a = r->atom;
            free(r);
            return a;
        };
        auto* reply = xcb_get_property_reply(
            c, xcb_get_property(c, 0, static_cast<xcb_window_t>(w->winId()), atom("_NET_WM_STATE"), XCB_ATOM_ATOM, 0, 64),
            nullptr);
        std::vector<xcb_atom_t> atoms;
        if (reply && reply->format == 32) {
            auto* data = static_cast<xcb_atom_t*>(xcb_get_property_value(reply));
            atoms.assign(data, data + xcb_get_property_value_length(reply) / 4);
        }
        free(reply);
        return std::count(atoms.begin(), atoms.end(), atom("_NET_WM_STATE_SKIP_TASKBAR")) == 1 &&
               std::count(atoms.begin(), atoms.end(), atom("_NET_WM_STATE_SKIP_PAGER")) == 1;
    };
    TForm plain(nullptr);
    plain.Show();
    QApplication::processEvents();
    EXPECT_FALSE(state(plain.Handle()));
    long style = GetWindowLongA(Application, GWL_EXSTYLE);
    SetWindowLongA(Application, GWL_EXSTYLE, style | WS_EX_TOOLWINDOW);
    TForm later(nullptr, fsStayOnTop);
    later.Show();
    later.Hide();
    later.Show();  // shown again: marked once
    QApplication::processEvents();
    EXPECT_TRUE(state(later.Handle()));
    SetWindowLongA(Application, GWL_EXSTYLE, style);
}
