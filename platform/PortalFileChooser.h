#pragma once

// Asks the desktop's file chooser service (the XDG desktop portal's
// FileChooser interface on the D-Bus session bus) for a file to open, as
// current Linux desktops expect of programs. The chooser runs in its own
// process; while it is open the caller's idle handler keeps the caller's
// windows painted, and may ask for the chooser to be closed.

#include <functional>
#include <string>

#include "platform/FileTypeFilter.h"

struct DBusConnection;

class PortalFileChooser {
public:
    enum class Outcome { Chosen, Cancelled, Failed };
    struct Request {
        std::string parentWindow;  // "x11:<hex window id>", or empty
        std::string title;
        FileTypeFilter filter = FileTypeFilter::Parse("");
        std::string currentFolder;  // empty: the chooser's own choice
    };
    // Called about every 50 ms while the chooser is open; false closes the
    // chooser as cancelled.
    typedef std::function<bool()> IdleHandler;

    static constexpr const char* kServiceName = "org.freedesktop.portal.Desktop";

    PortalFileChooser();
    ~PortalFileChooser();
    PortalFileChooser(const PortalFileChooser&) = delete;
    PortalFileChooser& operator=(const PortalFileChooser&) = delete;

    // Connects to the session bus (DBUS_SESSION_BUS_ADDRESS, else the
    // user's runtime folder's bus); false and the reason when there is none.
    bool Connect(std::string& error);
    // Whether the portal service runs on the bus or can be started by it.
    bool IsAvailable();
    // Shows the chooser and waits for the user. Chosen gives the local path
    // of the file; Failed gives a reason (no service, an error answer, the
    // service went away, an answer that is not a local file).
    Outcome OpenFile(const Request& request, std::string& path, std::string& error, const IdleHandler& idle);

    // "file:///a%20b.pdf" -> "/a b.pdf"; false for other schemes, remote
    // hosts, bad or NUL escapes.
    static bool PathFromFileUri(const std::string& uri, std::string& path);
    // The object path of the request with `token` made by the connection of
    // unique name `uniqueName` (":1.42" -> ".../request/1_42/token").
    static std::string RequestPath(const std::string& uniqueName, const std::string& token);

private:
    DBusConnection* m_bus = nullptr;
};
