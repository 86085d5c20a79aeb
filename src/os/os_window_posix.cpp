// Top-level windows on Linux: the X11 windows of $DISPLAY, found by their title through xcb.
#include "os/os.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>
#include <xcb/xcb.h>

namespace Os {
namespace {

using Connection = std::unique_ptr<xcb_connection_t, void (*)(xcb_connection_t*)>;

xcb_atom_t internAtom(xcb_connection_t* connection, const char* name)
{
    const auto cookie =
        xcb_intern_atom(connection, 1, static_cast<std::uint16_t>(std::strlen(name)), name);
    std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
        xcb_intern_atom_reply(connection, cookie, nullptr), &std::free);
    return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

bool propertyEquals(xcb_connection_t* connection, xcb_get_property_cookie_t cookie,
                    const std::string& title, bool& present)
{
    std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> reply(
        xcb_get_property_reply(connection, cookie, nullptr), &std::free);
    present = reply && reply->type != XCB_ATOM_NONE;
    if (!present)
        return false;
    const auto length = static_cast<std::size_t>(xcb_get_property_value_length(reply.get()));
    return length == title.size() &&
           std::memcmp(xcb_get_property_value(reply.get()), title.data(), length) == 0;
}

} // namespace

std::uintptr_t findTopLevelWindow(const std::string& title)
{
    const char* display = std::getenv("DISPLAY");
    if (display == nullptr || *display == '\0')
        return 0;
    Connection connection(xcb_connect(display, nullptr), &xcb_disconnect);
    if (!connection || xcb_connection_has_error(connection.get()) != 0)
        return 0;
    xcb_connection_t* c = connection.get();
    const xcb_atom_t netWmName = internAtom(c, "_NET_WM_NAME");
    const xcb_atom_t utf8String = internAtom(c, "UTF8_STRING");
    // A longer title than any window could carry is still compared in full.
    const auto maxWords = static_cast<std::uint32_t>(title.size() / 4 + 2);

    std::vector<xcb_window_t> level;
    for (auto screens = xcb_setup_roots_iterator(xcb_get_setup(c)); screens.rem != 0;
         xcb_screen_next(&screens))
        level.push_back(screens.data->root);
    // Window managers put each client window into a frame of their own, sometimes two deep:
    // the client is looked for among the root's children and a few levels below them.
    for (int depth = 0; depth < 4 && !level.empty(); ++depth) {
        std::vector<xcb_query_tree_cookie_t> treeCookies;
        for (const xcb_window_t window : level)
            treeCookies.push_back(xcb_query_tree(c, window));
        std::vector<xcb_window_t> children;
        for (const auto cookie : treeCookies) {
            std::unique_ptr<xcb_query_tree_reply_t, decltype(&std::free)> reply(
                xcb_query_tree_reply(c, cookie, nullptr), &std::free);
            if (reply) {
                const xcb_window_t* first = xcb_query_tree_children(reply.get());
                children.insert(children.end(), first,
                                first + xcb_query_tree_children_length(reply.get()));
            }
        }
        // All requests first, then all replies: one round trip per level, not per window.
        std::vector<std::pair<xcb_get_property_cookie_t, xcb_get_property_cookie_t>> names;
        for (const xcb_window_t window : children) {
            names.emplace_back(xcb_get_property(c, 0, window, netWmName, utf8String, 0, maxWords),
                               xcb_get_property(c, 0, window, XCB_ATOM_WM_NAME,
                                                XCB_GET_PROPERTY_TYPE_ANY, 0, maxWords));
        }
        std::uintptr_t found = 0;
        for (std::size_t i = 0; i < children.size(); ++i) {
            bool hasNetName = false;
            bool hasName = false;
            const bool netMatch = propertyEquals(c, names[i].first, title, hasNetName);
            const bool nameMatch = propertyEquals(c, names[i].second, title, hasName);
            if (found == 0 && (hasNetName ? netMatch : nameMatch))
                found = children[i];
        }
        if (found != 0)
            return found;
        level = std::move(children);
    }
    return 0;
}

} // namespace Os
