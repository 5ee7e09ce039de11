#include "platform/PortalFileChooser.h"

#include <dbus/dbus.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

constexpr const char* kObjectPath = "/org/freedesktop/portal/desktop";
constexpr const char* kFileChooser = "org.freedesktop.portal.FileChooser";
constexpr const char* kRequest = "org.freedesktop.portal.Request";
constexpr const char* kRequestFolder = "/org/freedesktop/portal/desktop/request";
constexpr int kCallTimeoutMs = 25000;  // the bus's own default for an answer
constexpr int kPollMs = 50;

struct MessageUnref {
    void operator()(DBusMessage* message) const { dbus_message_unref(message); }
};
typedef std::unique_ptr<DBusMessage, MessageUnref> Message;

class ScopedError {
public:
    ScopedError() { dbus_error_init(&m_error); }
    ~ScopedError() { dbus_error_free(&m_error); }
    DBusError* operator&() { return &m_error; }
    bool IsSet() const { return dbus_error_is_set(&m_error); }
    std::string Text() const {
        return std::string(m_error.name ? m_error.name : "") + ": " + (m_error.message ? m_error.message : "");
    }

private:
    DBusError m_error;
};

// ---- building the request ----

void AppendString(DBusMessageIter* iter, const std::string& text) {
    const char* value = text.c_str();
    dbus_message_iter_append_basic(iter, DBUS_TYPE_STRING, &value);
}

// (sa(us)): a name and its patterns; kind 0 is a glob pattern.
void AppendFileType(DBusMessageIter* iter, const FileType& type) {
    DBusMessageIter patterns;
    AppendString(iter, type.description);
    dbus_message_iter_open_container(iter, DBUS_TYPE_ARRAY, "(us)", &patterns);
    std::vector<std::string> globs;
    for (const std::string& pattern : type.patterns) {
        // Choosers match patterns in exact case; the names we are given
        // match in any case.
        for (const std::string& glob : {pattern, FileTypeFilter::AnyCaseGlob(pattern)}) {
            bool known = false;
            for (const std::string& g : globs) known = known || g == glob;
            if (!known) globs.push_back(glob);
        }
    }
    for (const std::string& glob : globs) {
        DBusMessageIter entry;
        const dbus_uint32_t kind = 0;
        dbus_message_iter_open_container(&patterns, DBUS_TYPE_STRUCT, nullptr, &entry);
        dbus_message_iter_append_basic(&entry, DBUS_TYPE_UINT32, &kind);
        AppendString(&entry, glob);
        dbus_message_iter_close_container(&patterns, &entry);
    }
    dbus_message_iter_close_container(iter, &patterns);
}

// One {sv} entry of the options; `fill` writes the value of signature `signature`.
template <typename Fill>
void AppendOption(DBusMessageIter* dict, const char* key, const char* signature, Fill fill) {
    DBusMessageIter entry, variant;
    dbus_message_iter_open_container(dict, DBUS_TYPE_DICT_ENTRY, nullptr, &entry);
    dbus_message_iter_append_basic(&entry, DBUS_TYPE_STRING, &key);
    dbus_message_iter_open_container(&entry, DBUS_TYPE_VARIANT, signature, &variant);
    fill(&variant);
    dbus_message_iter_close_container(&entry, &variant);
    dbus_message_iter_close_container(dict, &entry);
}

void AppendBool(DBusMessageIter* dict, const char* key, bool value) {
    AppendOption(dict, key, "b", [value](DBusMessageIter* v) {
        const dbus_bool_t flag = value ? TRUE : FALSE;
        dbus_message_iter_append_basic(v, DBUS_TYPE_BOOLEAN, &flag);
    });
}

Message MakeOpenFileCall(const PortalFileChooser::Request& request, const std::string& token) {
    Message call(dbus_message_new_method_call(PortalFileChooser::kServiceName, kObjectPath, kFileChooser, "OpenFile"));
    if (!call) return call;
    DBusMessageIter args, options;
    dbus_message_iter_init_append(call.get(), &args);
    AppendString(&args, request.parentWindow);
    AppendString(&args, request.title);
    dbus_message_iter_open_container(&args, DBUS_TYPE_ARRAY, "{sv}", &options);
    AppendOption(&options, "handle_token", "s", [&token](DBusMessageIter* v) { AppendString(v, token); });
    AppendBool(&options, "modal", true);
    AppendBool(&options, "multiple", false);
    const std::vector<FileType>& types = request.filter.Types();
    AppendOption(&options, "filters", "a(sa(us))", [&types](DBusMessageIter* v) {
        DBusMessageIter list;
        dbus_message_iter_open_container(v, DBUS_TYPE_ARRAY, "(sa(us))", &list);
        for (const FileType& type : types) {
            DBusMessageIter item;
            dbus_message_iter_open_container(&list, DBUS_TYPE_STRUCT, nullptr, &item);
            AppendFileType(&item, type);
            dbus_message_iter_close_container(&list, &item);
        }
        dbus_message_iter_close_container(v, &list);
    });
    AppendOption(&options, "current_filter", "(sa(us))", [&types](DBusMessageIter* v) {
        DBusMessageIter item;
        dbus_message_iter_open_container(v, DBUS_TYPE_STRUCT, nullptr, &item);
        AppendFileType(&item, types.front());
        dbus_message_iter_close_container(v, &item);
    });
    if (!request.currentFolder.empty()) {
        // A byte string with its terminating zero.
        const std::string& folder = request.currentFolder;
        AppendOption(&options, "current_folder", "ay", [&folder](DBusMessageIter* v) {
            DBusMessageIter bytes;
            const char* data = folder.c_str();
            dbus_message_iter_open_container(v, DBUS_TYPE_ARRAY, "y", &bytes);
            dbus_message_iter_append_fixed_array(&bytes, DBUS_TYPE_BYTE, &data, int(folder.size() + 1));
            dbus_message_iter_close_container(v, &bytes);
        });
    }
    dbus_message_iter_close_container(&args, &options);
    return call;
}

// ---- reading the answer ----

// The first entry of the "uris" option of a{sv} results.
bool FirstUri(DBusMessageIter* results, std::string& uri) {
    if (dbus_message_iter_get_arg_type(results) != DBUS_TYPE_ARRAY) return false;
    DBusMessageIter entries;
    dbus_message_iter_recurse(results, &entries);
    for (; dbus_message_iter_get_arg_type(&entries) == DBUS_TYPE_DICT_ENTRY; dbus_message_iter_next(&entries)) {
        DBusMessageIter entry, variant, list;
        dbus_message_iter_recurse(&entries, &entry);
        if (dbus_message_iter_get_arg_type(&entry) != DBUS_TYPE_STRING) continue;
        const char* key = nullptr;
        dbus_message_iter_get_basic(&entry, &key);
        if (!key || std::string(key) != "uris" || !dbus_message_iter_next(&entry)) continue;
        if (dbus_message_iter_get_arg_type(&entry) != DBUS_TYPE_VARIANT) continue;
        dbus_message_iter_recurse(&entry, &variant);
        if (dbus_message_iter_get_arg_type(&variant) != DBUS_TYPE_ARRAY ||
            dbus_message_iter_get_element_type(&variant) != DBUS_TYPE_STRING)
            continue;
        dbus_message_iter_recurse(&variant, &list);
        if (dbus_message_iter_get_arg_type(&list) != DBUS_TYPE_STRING) return false;
        const char* value = nullptr;
        dbus_message_iter_get_basic(&list, &value);
        uri = value ? value : "";
        return true;
    }
    return false;
}

// Responses of every request of the portal: services that choose the
// request path themselves may answer before we learn that path.
std::string ResponseRule() {
    return "type='signal',sender='" + std::string(PortalFileChooser::kServiceName) + "',interface='" +
           std::string(kRequest) + "',member='Response',path_namespace='" + kRequestFolder + "'";
}

std::string OwnerRule() {
    return "type='signal',sender='org.freedesktop.DBus',interface='org.freedesktop.DBus',"
           "member='NameOwnerChanged',arg0='" + std::string(PortalFileChooser::kServiceName) + "'";
}

// NameOwnerChanged telling that the portal has no owner any more.
bool PortalVanished(DBusMessage* message) {
    if (!dbus_message_is_signal(message, "org.freedesktop.DBus", "NameOwnerChanged")) return false;
    const char* name = nullptr;
    const char* oldOwner = nullptr;
    const char* newOwner = nullptr;
    DBusError error;
    dbus_error_init(&error);
    const bool read = dbus_message_get_args(message, &error, DBUS_TYPE_STRING, &name, DBUS_TYPE_STRING, &oldOwner,
                                            DBUS_TYPE_STRING, &newOwner, DBUS_TYPE_INVALID);
    dbus_error_free(&error);
    return read && std::string(name) == PortalFileChooser::kServiceName && *newOwner == '\0';
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string SessionBusAddress() {
    const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    if (address && *address) return address;
    // Without the variable, the bus of a systemd user session; never an
    // autolaunched one, which would start a bus of its own.
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (!runtime || !*runtime) return std::string();
    const std::string socket = std::string(runtime) + "/bus";
    struct stat info {};
    if (stat(socket.c_str(), &info) != 0 || !S_ISSOCK(info.st_mode)) return std::string();
    return "unix:path=" + socket;
}

}  // namespace

PortalFileChooser::PortalFileChooser() = default;

PortalFileChooser::~PortalFileChooser() {
    if (m_bus) {
        dbus_connection_close(m_bus);
        dbus_connection_unref(m_bus);
    }
}

bool PortalFileChooser::Connect(std::string& error) {
    if (m_bus) return true;
    const std::string address = SessionBusAddress();
    if (address.empty()) {
        error = "no session bus (DBUS_SESSION_BUS_ADDRESS is not set)";
        return false;
    }
    ScopedError dbusError;
    DBusConnection* bus = dbus_connection_open_private(address.c_str(), &dbusError);
    if (!bus) {
        error = "the session bus cannot be reached: " + dbusError.Text();
        return false;
    }
    dbus_connection_set_exit_on_disconnect(bus, FALSE);
    if (!dbus_bus_register(bus, &dbusError)) {
        error = "the session bus refused us: " + dbusError.Text();
        dbus_connection_close(bus);
        dbus_connection_unref(bus);
        return false;
    }
    m_bus = bus;
    return true;
}

bool PortalFileChooser::IsAvailable() {
    if (!m_bus) return false;
    ScopedError error;
    if (dbus_bus_name_has_owner(m_bus, kServiceName, &error)) return true;
    Message call(dbus_message_new_method_call("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                                              "ListActivatableNames"));
    if (!call) return false;
    ScopedError callError;
    Message reply(dbus_connection_send_with_reply_and_block(m_bus, call.get(), kCallTimeoutMs, &callError));
    DBusMessageIter args, names;
    if (!reply || !dbus_message_iter_init(reply.get(), &args) ||
        dbus_message_iter_get_arg_type(&args) != DBUS_TYPE_ARRAY)
        return false;
    dbus_message_iter_recurse(&args, &names);
    for (; dbus_message_iter_get_arg_type(&names) == DBUS_TYPE_STRING; dbus_message_iter_next(&names)) {
        const char* name = nullptr;
        dbus_message_iter_get_basic(&names, &name);
        if (name && std::string(name) == kServiceName) return true;
    }
    return false;
}

std::string PortalFileChooser::RequestPath(const std::string& uniqueName, const std::string& token) {
    std::string sender = uniqueName;
    if (!sender.empty() && sender[0] == ':') sender.erase(0, 1);
    for (char& c : sender)
        if (c == '.') c = '_';
    return "/org/freedesktop/portal/desktop/request/" + sender + "/" + token;
}

bool PortalFileChooser::PathFromFileUri(const std::string& uri, std::string& path) {
    const std::string scheme = "file://";
    if (uri.size() < scheme.size()) return false;
    for (size_t i = 0; i < scheme.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(uri[i])) != scheme[i]) return false;
    std::string rest = uri.substr(scheme.size());
    const size_t slash = rest.find('/');
    if (slash == std::string::npos) return false;
    const std::string host = rest.substr(0, slash);
    if (!host.empty() && host != "localhost") return false;
    rest = rest.substr(slash, rest.find_first_of("?#", slash) - slash);
    std::string decoded;
    for (size_t i = 0; i < rest.size(); ++i) {
        if (rest[i] != '%') {
            decoded += rest[i];
            continue;
        }
        if (i + 2 >= rest.size()) return false;
        const int high = HexDigit(rest[i + 1]);
        const int low = HexDigit(rest[i + 2]);
        if (high < 0 || low < 0 || (high == 0 && low == 0)) return false;
        decoded += char(high * 16 + low);
        i += 2;
    }
    path = decoded;
    return true;
}

PortalFileChooser::Outcome PortalFileChooser::OpenFile(const Request& request, std::string& path,
                                                       std::string& error, const IdleHandler& idle) {
    if (!m_bus && !Connect(error)) return Outcome::Failed;
    static unsigned counter = 0;
    const std::string token = "pdfimport" + std::to_string(unsigned(getpid())) + "_" + std::to_string(++counter);
    const char* unique = dbus_bus_get_unique_name(m_bus);
    std::string handle = RequestPath(unique ? unique : "", token);

    // The answer is a signal on the request object: listen before asking,
    // as a quick chooser may answer right after the call returns.
    const std::vector<std::string> rules{OwnerRule(), ResponseRule()};
    for (const std::string& rule : rules) {
        ScopedError matchError;
        dbus_bus_add_match(m_bus, rule.c_str(), &matchError);
        if (matchError.IsSet()) {
            error = "the session bus refused to pass on the answer: " + matchError.Text();
            return Outcome::Failed;
        }
    }
    struct Cleanup {
        DBusConnection* bus;
        const std::vector<std::string>& rules;
        ~Cleanup() {
            for (const std::string& rule : rules) dbus_bus_remove_match(bus, rule.c_str(), nullptr);
            dbus_connection_flush(bus);
        }
    } cleanup{m_bus, rules};

    Message call = MakeOpenFileCall(request, token);
    dbus_uint32_t serial = 0;
    if (!call || !dbus_connection_send(m_bus, call.get(), &serial)) {
        error = "out of memory for the request";
        return Outcome::Failed;
    }
    dbus_connection_flush(m_bus);

    const auto replyDeadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kCallTimeoutMs);
    bool replied = false;
    for (;;) {
        while (Message message{dbus_connection_pop_message(m_bus)}) {
            const int type = dbus_message_get_type(message.get());
            if ((type == DBUS_MESSAGE_TYPE_METHOD_RETURN || type == DBUS_MESSAGE_TYPE_ERROR) &&
                dbus_message_get_reply_serial(message.get()) == serial) {
                ScopedError callError;
                if (dbus_set_error_from_message(&callError, message.get())) {
                    error = "the file chooser refused the request: " + callError.Text();
                    return Outcome::Failed;
                }
                const char* object = nullptr;
                ScopedError argsError;
                if (!dbus_message_get_args(message.get(), &argsError, DBUS_TYPE_OBJECT_PATH, &object,
                                           DBUS_TYPE_INVALID)) {
                    error = "the file chooser answered the request with something else than a request object";
                    return Outcome::Failed;
                }
                replied = true;
                // Older services choose the object path themselves.
                handle = object;
                continue;
            }
            if (dbus_message_is_signal(message.get(), DBUS_INTERFACE_LOCAL, "Disconnected")) {
                error = "the session bus closed the connection";
                return Outcome::Failed;
            }
            if (PortalVanished(message.get())) {
                error = "the file chooser service stopped";
                return Outcome::Failed;
            }
            if (!dbus_message_is_signal(message.get(), kRequest, "Response") ||
                handle != (dbus_message_get_path(message.get()) ? dbus_message_get_path(message.get()) : ""))
                continue;
            DBusMessageIter args;
            dbus_uint32_t response = 2;
            if (!dbus_message_iter_init(message.get(), &args) || dbus_message_iter_get_arg_type(&args) != DBUS_TYPE_UINT32) {
                error = "the file chooser's answer cannot be read";
                return Outcome::Failed;
            }
            dbus_message_iter_get_basic(&args, &response);
            if (response == 1) return Outcome::Cancelled;
            if (response != 0) {
                error = "the file chooser ended without a choice";
                return Outcome::Failed;
            }
            std::string uri;
            if (!dbus_message_iter_next(&args) || !FirstUri(&args, uri)) {
                error = "the file chooser's answer names no file";
                return Outcome::Failed;
            }
            if (!PathFromFileUri(uri, path)) {
                error = "the file chosen is not a local file: " + uri;
                return Outcome::Failed;
            }
            return Outcome::Chosen;
        }
        if (!replied && std::chrono::steady_clock::now() > replyDeadline) {
            error = "the file chooser did not answer";
            return Outcome::Failed;
        }
        if (idle && !idle()) {
            // The user gave up in our window: close the chooser too.
            Message close(dbus_message_new_method_call(kServiceName, handle.c_str(), kRequest, "Close"));
            if (close) {
                dbus_message_set_no_reply(close.get(), TRUE);
                dbus_connection_send(m_bus, close.get(), nullptr);
            }
            return Outcome::Cancelled;
        }
        if (!dbus_connection_read_write(m_bus, kPollMs)) {
            error = "the session bus closed the connection";
            return Outcome::Failed;
        }
    }
}
