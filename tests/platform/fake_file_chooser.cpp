// A stand-in for the desktop's file chooser service on a private session bus.
// Usage: fake_file_chooser RECORD_FILE MODE [URI]
//   choose URI   answers OpenFile, then the request's Response 0 with URI
//   cancel       Response 1 (the user cancelled)
//   silent       answers OpenFile and never responds (records "closed" when
//                the request is closed)
//   vanish       answers OpenFile and quits without responding
//   refuse       answers OpenFile with an error
//   own-handle URI  as choose, on a request path of its own choosing
// What the caller asked is written to RECORD_FILE, one "key=value" per line.
// Prints "ready" once it owns the service name.

#include <dbus/dbus.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

namespace {

const char* kService = "org.freedesktop.portal.Desktop";

std::string ReadFileTypes(DBusMessageIter* list) {
    // a(sa(us)) or (sa(us)) already recursed into: "name:glob,glob;..."
    std::string out;
    DBusMessageIter type;
    dbus_message_iter_recurse(list, &type);
    const char* name = "";
    if (dbus_message_iter_get_arg_type(&type) == DBUS_TYPE_STRING) dbus_message_iter_get_basic(&type, &name);
    out += name;
    out += ":";
    dbus_message_iter_next(&type);
    DBusMessageIter patterns;
    dbus_message_iter_recurse(&type, &patterns);
    for (; dbus_message_iter_get_arg_type(&patterns) == DBUS_TYPE_STRUCT; dbus_message_iter_next(&patterns)) {
        DBusMessageIter pattern;
        dbus_message_iter_recurse(&patterns, &pattern);
        dbus_uint32_t kind = 9;
        const char* glob = "";
        dbus_message_iter_get_basic(&pattern, &kind);
        dbus_message_iter_next(&pattern);
        dbus_message_iter_get_basic(&pattern, &glob);
        out += std::to_string(kind) + "/" + glob + ",";
    }
    return out;
}

// Records the call's arguments; returns the handle token.
std::string Record(DBusMessage* call, std::ofstream& record) {
    DBusMessageIter args;
    dbus_message_iter_init(call, &args);
    const char* parent = "";
    const char* title = "";
    dbus_message_iter_get_basic(&args, &parent);
    dbus_message_iter_next(&args);
    dbus_message_iter_get_basic(&args, &title);
    dbus_message_iter_next(&args);
    record << "parent=" << parent << "\ntitle=" << title << "\n";
    std::string token;
    DBusMessageIter options;
    dbus_message_iter_recurse(&args, &options);
    for (; dbus_message_iter_get_arg_type(&options) == DBUS_TYPE_DICT_ENTRY; dbus_message_iter_next(&options)) {
        DBusMessageIter entry, value;
        dbus_message_iter_recurse(&options, &entry);
        const char* key = "";
        dbus_message_iter_get_basic(&entry, &key);
        dbus_message_iter_next(&entry);
        dbus_message_iter_recurse(&entry, &value);
        const std::string name = key;
        if (name == "handle_token") {
            const char* text = "";
            dbus_message_iter_get_basic(&value, &text);
            token = text;
            record << "handle_token=" << token << "\n";
        } else if (name == "modal" || name == "multiple") {
            dbus_bool_t flag = FALSE;
            dbus_message_iter_get_basic(&value, &flag);
            record << name << "=" << (flag ? "true" : "false") << "\n";
        } else if (name == "filters") {
            DBusMessageIter list;
            dbus_message_iter_recurse(&value, &list);
            for (; dbus_message_iter_get_arg_type(&list) == DBUS_TYPE_STRUCT; dbus_message_iter_next(&list))
                record << "filter=" << ReadFileTypes(&list) << "\n";
        } else if (name == "current_filter") {
            record << "current_filter=" << ReadFileTypes(&value) << "\n";
        } else if (name == "current_folder") {
            DBusMessageIter bytes;
            dbus_message_iter_recurse(&value, &bytes);
            const char* data = nullptr;
            int count = 0;
            dbus_message_iter_get_fixed_array(&bytes, &data, &count);
            record << "current_folder=" << std::string(data, count > 0 ? size_t(count - 1) : 0) << "\n";
        } else {
            record << "option=" << name << "\n";
        }
    }
    record.flush();
    return token;
}

void Respond(DBusConnection* bus, const std::string& path, dbus_uint32_t code, const char* uri) {
    DBusMessage* signal = dbus_message_new_signal(path.c_str(), "org.freedesktop.portal.Request", "Response");
    DBusMessageIter args, results, entry, variant, uris;
    dbus_message_iter_init_append(signal, &args);
    dbus_message_iter_append_basic(&args, DBUS_TYPE_UINT32, &code);
    dbus_message_iter_open_container(&args, DBUS_TYPE_ARRAY, "{sv}", &results);
    if (uri) {
        const char* key = "uris";
        dbus_message_iter_open_container(&results, DBUS_TYPE_DICT_ENTRY, nullptr, &entry);
        dbus_message_iter_append_basic(&entry, DBUS_TYPE_STRING, &key);
        dbus_message_iter_open_container(&entry, DBUS_TYPE_VARIANT, "as", &variant);
        dbus_message_iter_open_container(&variant, DBUS_TYPE_ARRAY, "s", &uris);
        dbus_message_iter_append_basic(&uris, DBUS_TYPE_STRING, &uri);
        dbus_message_iter_close_container(&variant, &uris);
        dbus_message_iter_close_container(&entry, &variant);
        dbus_message_iter_close_container(&results, &entry);
    }
    dbus_message_iter_close_container(&args, &results);
    dbus_connection_send(bus, signal, nullptr);
    dbus_connection_flush(bus);
    dbus_message_unref(signal);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s RECORD_FILE MODE [URI]\n", argv[0]);
        return 2;
    }
    std::ofstream record(argv[1], std::ios::trunc);
    const std::string mode = argv[2];
    const char* uri = argc > 3 ? argv[3] : "";
    DBusError error;
    dbus_error_init(&error);
    DBusConnection* bus = dbus_bus_get_private(DBUS_BUS_SESSION, &error);
    if (!bus) {
        std::fprintf(stderr, "fake_file_chooser: %s\n", error.message);
        return 1;
    }
    dbus_connection_set_exit_on_disconnect(bus, FALSE);
    if (dbus_bus_request_name(bus, kService, DBUS_NAME_FLAG_DO_NOT_QUEUE, &error) !=
        DBUS_REQUEST_NAME_REPLY_PRIMARY_OWNER) {
        std::fprintf(stderr, "fake_file_chooser: the name is taken\n");
        return 1;
    }
    std::printf("ready\n");
    std::fflush(stdout);
    while (dbus_connection_read_write(bus, -1)) {
        while (DBusMessage* message = dbus_connection_pop_message(bus)) {
            if (dbus_message_is_method_call(message, "org.freedesktop.portal.Request", "Close")) {
                record << "closed=" << dbus_message_get_path(message) << "\n";
                record.flush();
            } else if (dbus_message_is_method_call(message, "org.freedesktop.portal.FileChooser", "OpenFile")) {
                const std::string token = Record(message, record);
                std::string sender = dbus_message_get_sender(message) + 1;
                for (char& c : sender)
                    if (c == '.') c = '_';
                std::string path = "/org/freedesktop/portal/desktop/request/" + sender + "/" + token;
                if (mode == "own-handle") path = "/org/freedesktop/portal/desktop/request/elsewhere/1";
                DBusMessage* reply = mode == "refuse"
                    ? dbus_message_new_error(message, "org.freedesktop.portal.Error.Failed", "refused by the test")
                    : dbus_message_new_method_return(message);
                const char* handle = path.c_str();
                if (mode != "refuse") dbus_message_append_args(reply, DBUS_TYPE_OBJECT_PATH, &handle, DBUS_TYPE_INVALID);
                dbus_connection_send(bus, reply, nullptr);
                dbus_connection_flush(bus);
                dbus_message_unref(reply);
                if (mode == "choose" || mode == "own-handle") Respond(bus, path, 0, uri);
                else if (mode == "cancel") Respond(bus, path, 1, nullptr);
                else if (mode == "vanish") {
                    dbus_message_unref(message);
                    dbus_connection_close(bus);
                    dbus_connection_unref(bus);
                    return 0;
                }
            }
            dbus_message_unref(message);
        }
    }
    dbus_connection_close(bus);
    dbus_connection_unref(bus);
    return 0;
}
