#include "tests/e2e/xdisplay.h"

#include "tests/support/wait.h"

#include <QFile>
#include <QStandardPaths>

#include <dlfcn.h>
#include <xcb/xcb.h>

#include <algorithm>

VirtualDisplay::VirtualDisplay()
{
    const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    if (xvfb.isEmpty())
        return;
    // Numbers well away from those desktops and other tests usually take.
    for (int number = 140; number < 240; ++number) {
        const QString socket = QStringLiteral("/tmp/.X11-unix/X%1").arg(number);
        if (QFile::exists(socket) || QFile::exists(QStringLiteral("/tmp/.X%1-lock").arg(number)))
            continue;
        xvfb_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        xvfb_.start(xvfb, {QStringLiteral(":%1").arg(number), QStringLiteral("-nolisten"),
                           QStringLiteral("tcp"), QStringLiteral("-screen"), QStringLiteral("0"),
                           QStringLiteral("1024x768x24")});
        if (!xvfb_.waitForStarted())
            return;
        // Either the server comes up, or another one got the number first.
        waitUntil([&] { return QFile::exists(socket) || xvfb_.state() == QProcess::NotRunning; },
                  20000);
        if (xvfb_.state() == QProcess::Running && QFile::exists(socket)) {
            number_ = number;
            return;
        }
        xvfb_.waitForFinished();
    }
}

QProcessEnvironment programEnvironment(const VirtualDisplay &display, const QString &runtimeFolder)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DISPLAY", display.name());
    environment.insert("QT_QPA_PLATFORM", "xcb");
    environment.insert("XDG_RUNTIME_DIR", runtimeFolder);
    environment.remove("WAYLAND_DISPLAY");
    return environment;
}

WindowManager::WindowManager(const VirtualDisplay &display)
{
    const QString program = QStandardPaths::findExecutable(QStringLiteral("openbox"));
    if (program.isEmpty()) {
        missing_ = QStringLiteral("no window manager (openbox) to run");
        return;
    }
    QProcessEnvironment onDisplay = QProcessEnvironment::systemEnvironment();
    onDisplay.insert("DISPLAY", display.name());
    openbox_.setProcessEnvironment(onDisplay);
    openbox_.start(program, {QStringLiteral("--sm-disable")});
    if (!openbox_.waitForStarted())
        missing_ = QStringLiteral("openbox did not start: ") + openbox_.errorString();
}

WindowManager::~WindowManager()
{
    if (openbox_.state() == QProcess::NotRunning)
        return;
    openbox_.kill();
    openbox_.waitForFinished();
}

VirtualDisplay::~VirtualDisplay()
{
    if (xvfb_.state() == QProcess::NotRunning)
        return;
    xvfb_.terminate();
    if (!xvfb_.waitForFinished(5000))
        xvfb_.kill();
    xvfb_.waitForFinished();
}

struct XWindowProbe::Library
{
    void *handle = nullptr;
    decltype(&xcb_connect) connect = nullptr;
    decltype(&xcb_connection_has_error) has_error = nullptr;
    decltype(&xcb_disconnect) disconnect = nullptr;
    decltype(&xcb_get_setup) get_setup = nullptr;
    decltype(&xcb_setup_roots_iterator) roots_iterator = nullptr;
    decltype(&xcb_query_tree) query_tree = nullptr;
    decltype(&xcb_query_tree_reply) query_tree_reply = nullptr;
    decltype(&xcb_query_tree_children) query_tree_children = nullptr;
    decltype(&xcb_query_tree_children_length) query_tree_children_length = nullptr;
    decltype(&xcb_get_property) get_property = nullptr;
    decltype(&xcb_get_property_reply) get_property_reply = nullptr;
    decltype(&xcb_get_property_value) get_property_value = nullptr;
    decltype(&xcb_get_property_value_length) get_property_value_length = nullptr;
    decltype(&xcb_get_window_attributes) get_window_attributes = nullptr;
    decltype(&xcb_get_window_attributes_reply) get_window_attributes_reply = nullptr;
    decltype(&xcb_generate_id) generate_id = nullptr;
    decltype(&xcb_create_window) create_window = nullptr;
    decltype(&xcb_map_window) map_window = nullptr;
    decltype(&xcb_unmap_window) unmap_window = nullptr;
    decltype(&xcb_intern_atom) intern_atom = nullptr;
    decltype(&xcb_intern_atom_reply) intern_atom_reply = nullptr;
    decltype(&xcb_change_property) change_property = nullptr;
    decltype(&xcb_flush) flush = nullptr;

    template <typename F> bool load(F &function, const char *name)
    {
        function = reinterpret_cast<F>(dlsym(handle, name));
        return function != nullptr;
    }

    bool open()
    {
        handle = dlopen("libxcb.so.1", RTLD_NOW | RTLD_LOCAL);
        return handle && load(connect, "xcb_connect") &&
               load(has_error, "xcb_connection_has_error") && load(disconnect, "xcb_disconnect") &&
               load(get_setup, "xcb_get_setup") &&
               load(roots_iterator, "xcb_setup_roots_iterator") &&
               load(query_tree, "xcb_query_tree") &&
               load(query_tree_reply, "xcb_query_tree_reply") &&
               load(query_tree_children, "xcb_query_tree_children") &&
               load(query_tree_children_length, "xcb_query_tree_children_length") &&
               load(get_property, "xcb_get_property") &&
               load(get_property_reply, "xcb_get_property_reply") &&
               load(get_property_value, "xcb_get_property_value") &&
               load(get_property_value_length, "xcb_get_property_value_length") &&
               load(get_window_attributes, "xcb_get_window_attributes") &&
               load(get_window_attributes_reply, "xcb_get_window_attributes_reply") &&
               load(generate_id, "xcb_generate_id") && load(create_window, "xcb_create_window") &&
               load(map_window, "xcb_map_window") && load(unmap_window, "xcb_unmap_window") &&
               load(intern_atom, "xcb_intern_atom") &&
               load(intern_atom_reply, "xcb_intern_atom_reply") &&
               load(change_property, "xcb_change_property") && load(flush, "xcb_flush");
    }

    ~Library()
    {
        if (handle)
            dlclose(handle);
    }
};

XWindowProbe::XWindowProbe(const QString &display) : xcb_(std::make_unique<Library>())
{
    if (!xcb_->open())
        return;
    xcb_connection_t *c = xcb_->connect(display.toLocal8Bit().constData(), nullptr);
    if (xcb_->has_error(c)) {
        xcb_->disconnect(c);
        return;
    }
    connection_ = c;
    const xcb_screen_t *screen = xcb_->roots_iterator(xcb_->get_setup(c)).data;
    root_ = screen->root;
    rootVisual_ = screen->root_visual;
}

XWindowProbe::~XWindowProbe()
{
    if (connection_)
        xcb_->disconnect(static_cast<xcb_connection_t *>(connection_));
}

bool XWindowProbe::connected() const
{
    return connection_ != nullptr;
}

std::vector<quint32> XWindowProbe::stackingOrder()
{
    std::vector<quint32> mapped;
    if (!connection_)
        return mapped;
    auto *c = static_cast<xcb_connection_t *>(connection_);
    xcb_query_tree_reply_t *tree = xcb_->query_tree_reply(c, xcb_->query_tree(c, root_), nullptr);
    if (!tree)
        return mapped;
    const xcb_window_t *children = xcb_->query_tree_children(tree);
    const int count = xcb_->query_tree_children_length(tree);
    for (int i = 0; i < count; ++i) {
        xcb_get_window_attributes_reply_t *attributes = xcb_->get_window_attributes_reply(
            c, xcb_->get_window_attributes(c, children[i]), nullptr);
        if (attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE)
            mapped.push_back(children[i]);
        free(attributes);
    }
    free(tree);
    return mapped;
}

std::vector<quint32> XWindowProbe::mappedWindowsTitled(const QString &title)
{
    std::vector<quint32> found;
    auto *c = static_cast<xcb_connection_t *>(connection_);
    for (quint32 window : stackingOrder()) {
        xcb_get_property_reply_t *property = xcb_->get_property_reply(
            c,
            xcb_->get_property(c, 0, window, XCB_ATOM_WM_NAME, XCB_GET_PROPERTY_TYPE_ANY, 0, 256),
            nullptr);
        if (property) {
            const QByteArray name(static_cast<const char *>(xcb_->get_property_value(property)),
                                  xcb_->get_property_value_length(property));
            if (QString::fromUtf8(name) == title)
                found.push_back(window);
        }
        free(property);
    }
    return found;
}

quint32 XWindowProbe::coverScreen()
{
    auto *c = static_cast<xcb_connection_t *>(connection_);
    const xcb_window_t window = xcb_->generate_id(c);
    xcb_->create_window(c, XCB_COPY_FROM_PARENT, window, root_, 0, 0, 1024, 768, 0,
                        XCB_WINDOW_CLASS_INPUT_OUTPUT, rootVisual_, 0, nullptr);
    xcb_->map_window(c, window);
    xcb_->flush(c);
    return window;
}

bool XWindowProbe::isAbove(quint32 upper, quint32 lower)
{
    const std::vector<quint32> order = stackingOrder();
    const auto upperAt = std::find(order.begin(), order.end(), upper);
    const auto lowerAt = std::find(order.begin(), order.end(), lower);
    return upperAt != order.end() && lowerAt != order.end() && upperAt > lowerAt;
}

bool XWindowProbe::isViewable(quint32 window)
{
    if (!connection_)
        return false;
    auto *c = static_cast<xcb_connection_t *>(connection_);
    xcb_get_window_attributes_reply_t *attributes =
        xcb_->get_window_attributes_reply(c, xcb_->get_window_attributes(c, window), nullptr);
    const bool viewable = attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
    free(attributes);
    return viewable;
}

void XWindowProbe::iconify(quint32 window)
{
    auto *c = static_cast<xcb_connection_t *>(connection_);
    xcb_intern_atom_reply_t *atom =
        xcb_->intern_atom_reply(c, xcb_->intern_atom(c, 0, 8, "WM_STATE"), nullptr);
    if (atom) {
        // WM_STATE: the state (3, iconic) and the icon window (none).
        const quint32 state[2] = {3, 0};
        xcb_->change_property(c, XCB_PROP_MODE_REPLACE, window, atom->atom, atom->atom, 32, 2,
                              state);
        free(atom);
    }
    xcb_->unmap_window(c, window);
    xcb_->flush(c);
}
