// Top-level windows found by title: real X11 windows on an Xvfb of the test's own on Linux,
// real Win32 windows on Windows.
#include "os_test_support.h"

#ifdef _WIN32
TEST(Window, FindsATopLevelWindowByItsExactTitle)
{
    HWND window = CreateWindowExA(0, "STATIC", "123456789", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                                  nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(CreateWindowExA(0, "STATIC", "987654321", WS_CHILD, 0, 0, 20, 10, window, nullptr,
                              nullptr, nullptr),
              nullptr);
    EXPECT_EQ(Os::findTopLevelWindow("123456789"), reinterpret_cast<std::uintptr_t>(window));
    for (const char* other : {"12345678", "1234567890", "987654321"}) // the last is a child
        EXPECT_EQ(Os::findTopLevelWindow(other), 0u) << other;
    DestroyWindow(window);
    EXPECT_EQ(Os::findTopLevelWindow("123456789"), 0u);
}

#else
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <tuple>
#include <xcb/xcb.h>

namespace {

// Starts an Xvfb that picks a free display itself and tells its number on its output.
class Window : public ::testing::Test
{
protected:
    void SetUp() override
    {
        FILE* shell = ::popen("Xvfb -displayfd 1 -nolisten tcp 2>/dev/null & echo $!", "r");
        int display = -1;
        const int told = std::fscanf(shell, "%d %d", &server_, &display);
        ::pclose(shell);
        ASSERT_EQ(told, 2) << "Xvfb did not start";
        ::setenv("DISPLAY", (":" + std::to_string(display)).c_str(), 1);
        connection_ = xcb_connect(nullptr, nullptr);
        root_ = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data->root;
    }
    void TearDown() override
    {
        xcb_disconnect(connection_);
        if (server_ > 0)
            ::kill(server_, SIGTERM);
    }

    xcb_atom_t atom(const char* name)
    {
        const auto length = static_cast<std::uint16_t>(std::strlen(name));
        auto* reply = xcb_intern_atom_reply(connection_,
                                            xcb_intern_atom(connection_, 0, length, name), nullptr);
        const xcb_atom_t result = reply->atom;
        std::free(reply);
        return result;
    }
    // A mapped window with the titles given, through WM_NAME and through _NET_WM_NAME.
    xcb_window_t create(xcb_window_t parent, const std::string& name = {},
                        const std::string& netName = {})
    {
        const xcb_window_t window = xcb_generate_id(connection_);
        xcb_create_window(connection_, XCB_COPY_FROM_PARENT, window, parent, 0, 0, 200, 100, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
        xcb_map_window(connection_, window);
        for (const auto& [property, type, title] :
             {std::tuple(xcb_atom_t(XCB_ATOM_WM_NAME), xcb_atom_t(XCB_ATOM_STRING), name),
              std::tuple(atom("_NET_WM_NAME"), atom("UTF8_STRING"), netName)})
            if (!title.empty())
                xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, window, property, type, 8,
                                    static_cast<std::uint32_t>(title.size()), title.data());
        return window;
    }

    int server_ = -1;
    xcb_connection_t* connection_ = nullptr;
    xcb_window_t root_ = 0;
};

} // namespace

TEST_F(Window, FindsTopLevelWindowsByTheirExactTitleOnTheDisplay)
{
    const xcb_window_t plain = create(root_, "123456789");
    const xcb_window_t renamed = create(root_, "old title", "\xC3\xA9t\xC3\xA9 42"); // _NET wins
    // A client inside the frames that a window manager puts around it.
    const xcb_window_t client = create(create(create(root_)), "", "55555");
    // The lookup uses a connection of its own: everything sent here must have arrived first.
    std::free(xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr));
    EXPECT_EQ(Os::findTopLevelWindow("123456789"), plain);
    EXPECT_EQ(Os::findTopLevelWindow("\xC3\xA9t\xC3\xA9 42"), renamed);
    EXPECT_EQ(Os::findTopLevelWindow("55555"), client);
    for (const char* other : {"12345678", "1234567890", "", "old title"})
        EXPECT_EQ(Os::findTopLevelWindow(other), 0u) << other;
}
#endif
