// Top-level windows found by title: real X11 windows on an Xvfb of the test's own on Linux,
// real Win32 windows on Windows.
#include "os_test_support.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>
#endif

#ifdef _WIN32

namespace {

class Window : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "ZebOsTestWindow";
        RegisterClassA(&windowClass);
    }

    HWND create(const char* title, HWND parent = nullptr)
    {
        HWND window = CreateWindowExA(0, "ZebOsTestWindow", title,
                                      parent != nullptr ? WS_CHILD : WS_OVERLAPPEDWINDOW, 0, 0, 200,
                                      100, parent, nullptr, GetModuleHandleA(nullptr), nullptr);
        EXPECT_NE(window, nullptr) << GetLastError();
        return window;
    }
};

} // namespace

TEST_F(Window, FindsATopLevelWindowByItsExactTitle)
{
    HWND window = create("123456789");
    EXPECT_EQ(Os::findTopLevelWindow("123456789"), reinterpret_cast<std::uintptr_t>(window));
    EXPECT_EQ(Os::findTopLevelWindow("12345678"), 0u);
    EXPECT_EQ(Os::findTopLevelWindow("1234567890"), 0u);
    DestroyWindow(window);
    EXPECT_EQ(Os::findTopLevelWindow("123456789"), 0u);
}

TEST_F(Window, ChildWindowsAreNotTopLevel)
{
    HWND frame = create("frame");
    HWND child = create("987654321", frame);
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(Os::findTopLevelWindow("987654321"), 0u);
    DestroyWindow(frame);
}

#else

namespace {

// Starts an Xvfb that picks a free display itself and tells its number through a pipe.
class Window : public ::testing::Test
{
protected:
    void SetUp() override
    {
        int pipeEnds[2];
        ASSERT_EQ(::pipe(pipeEnds), 0);
        server_ = ::fork();
        ASSERT_GE(server_, 0);
        if (server_ == 0) {
            ::close(pipeEnds[0]);
            const std::string fd = std::to_string(pipeEnds[1]);
            ::execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-nolisten", "tcp", "-screen", "0",
                     "640x480x24", static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ::close(pipeEnds[1]);
        std::string number;
        pollfd ready{pipeEnds[0], POLLIN, 0};
        char c = 0;
        while (::poll(&ready, 1, 20000) == 1 && ::read(pipeEnds[0], &c, 1) == 1 && c != '\n') {
            number.push_back(c);
        }
        ::close(pipeEnds[0]);
        ASSERT_FALSE(number.empty()) << "Xvfb did not start";
        const char* old = std::getenv("DISPLAY");
        oldDisplay_ = old != nullptr ? old : "";
        ::setenv("DISPLAY", (":" + number).c_str(), 1);
        connection_ = xcb_connect(nullptr, nullptr);
        ASSERT_EQ(xcb_connection_has_error(connection_), 0);
        root_ = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data->root;
    }

    void TearDown() override
    {
        if (connection_ != nullptr) {
            xcb_disconnect(connection_);
        }
        if (server_ > 0) {
            ::kill(server_, SIGTERM);
            ::waitpid(server_, nullptr, 0);
        }
        ::setenv("DISPLAY", oldDisplay_.c_str(), 1);
    }

    xcb_atom_t atom(const char* name)
    {
        auto* reply = xcb_intern_atom_reply(
            connection_,
            xcb_intern_atom(connection_, 0, static_cast<std::uint16_t>(std::strlen(name)), name),
            nullptr);
        const xcb_atom_t result = reply->atom;
        std::free(reply);
        return result;
    }

    xcb_window_t create(xcb_window_t parent)
    {
        const xcb_window_t window = xcb_generate_id(connection_);
        xcb_create_window(connection_, XCB_COPY_FROM_PARENT, window, parent, 0, 0, 200, 100, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
        xcb_map_window(connection_, window);
        return window;
    }

    void setName(xcb_window_t window, xcb_atom_t property, xcb_atom_t type, const std::string& text)
    {
        xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, window, property, type, 8,
                            static_cast<std::uint32_t>(text.size()), text.data());
    }

    // The lookup uses a connection of its own: everything sent here must have arrived first.
    void sync()
    {
        std::free(
            xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr));
    }

    pid_t server_ = -1;
    std::string oldDisplay_;
    xcb_connection_t* connection_ = nullptr;
    xcb_window_t root_ = 0;
};

} // namespace

TEST_F(Window, FindsAWindowByItsWmName)
{
    const xcb_window_t window = create(root_);
    create(root_); // an untitled neighbour
    setName(window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, "123456789");
    sync();
    EXPECT_EQ(Os::findTopLevelWindow("123456789"), window);
    EXPECT_EQ(Os::findTopLevelWindow("12345678"), 0u);
    EXPECT_EQ(Os::findTopLevelWindow("1234567890"), 0u);
    EXPECT_EQ(Os::findTopLevelWindow(""), 0u);
}

TEST_F(Window, NetWmNameWinsOverWmName)
{
    const xcb_window_t window = create(root_);
    setName(window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, "old title");
    setName(window, atom("_NET_WM_NAME"), atom("UTF8_STRING"), "\xC3\xA9t\xC3\xA9 42");
    sync();
    EXPECT_EQ(Os::findTopLevelWindow("\xC3\xA9t\xC3\xA9 42"), window);
    EXPECT_EQ(Os::findTopLevelWindow("old title"), 0u);
}

TEST_F(Window, FindsAClientThatAWindowManagerFramed)
{
    const xcb_window_t frame = create(root_);
    const xcb_window_t inner = create(frame);
    const xcb_window_t client = create(inner);
    setName(frame, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, "frame");
    setName(client, atom("_NET_WM_NAME"), atom("UTF8_STRING"), "55555");
    sync();
    EXPECT_EQ(Os::findTopLevelWindow("55555"), client);
    xcb_destroy_window(connection_, frame);
    sync();
    EXPECT_EQ(Os::findTopLevelWindow("55555"), 0u);
}

TEST_F(Window, NoReachableDisplayFindsNothing)
{
    const xcb_window_t window = create(root_);
    setName(window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, "777");
    sync();
    ASSERT_EQ(Os::findTopLevelWindow("777"), window);
    ::unsetenv("DISPLAY");
    EXPECT_EQ(Os::findTopLevelWindow("777"), 0u);
    ::setenv("DISPLAY", "", 1);
    EXPECT_EQ(Os::findTopLevelWindow("777"), 0u);
    ::setenv("DISPLAY", ":4095", 1); // nobody serves it
    EXPECT_EQ(Os::findTopLevelWindow("777"), 0u);
}

#endif
