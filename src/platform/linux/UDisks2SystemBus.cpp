// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linux/UDisks2SystemBus.h"

#include <systemd/sd-bus.h>
#include <cstring>

#include "core/events/Log.h"

namespace quillby {

namespace {

constexpr const char* kService = "org.freedesktop.UDisks2";

// Frees an sd-bus error and a reply when a request is done with them.
struct Request {
    sd_bus_error error = SD_BUS_ERROR_NULL;
    sd_bus_message* reply = nullptr;
    ~Request() {
        sd_bus_error_free(&error);
        sd_bus_message_unref(reply);
    }
    std::string reason(int result) const {
        return error.message ? error.message : std::strerror(-result);
    }
};

}  // namespace

std::unique_ptr<UDisks2SystemBus> UDisks2SystemBus::open(int& error, std::string& reason) {
    sd_bus* bus = nullptr;
    int opened = sd_bus_open_system(&bus);
    if (opened < 0) {
        error = -opened;
        reason = std::string("no connection to the system bus: ") + std::strerror(-opened);
        return nullptr;
    }
    return std::unique_ptr<UDisks2SystemBus>(new UDisks2SystemBus(bus));
}

UDisks2SystemBus::~UDisks2SystemBus() {
    sd_bus_flush_close_unref(bus_);
}

int UDisks2SystemBus::call(const std::string& object, const std::string& interface,
                           const std::string& method, std::string& reason) {
    Request request;
    int result = sd_bus_call_method(bus_, kService, object.c_str(), interface.c_str(),
                                    method.c_str(), &request.error, &request.reply, "a{sv}", 0);
    if (result >= 0) return 0;
    reason = request.reason(result);
    QWLog("UDisks2 %s.%s on %s failed: %s", interface.c_str(), method.c_str(), object.c_str(),
          reason.c_str());
    return -result;
}

bool UDisks2SystemBus::booleanProperty(const std::string& object, const std::string& interface,
                                       const std::string& name) {
    Request request;
    int value = 0;
    return sd_bus_get_property_trivial(bus_, kService, object.c_str(), interface.c_str(),
                                       name.c_str(), &request.error, 'b', &value) >= 0 &&
           value != 0;
}

std::string UDisks2SystemBus::objectProperty(const std::string& object,
                                             const std::string& interface,
                                             const std::string& name) {
    Request request;
    std::string value;
    if (sd_bus_get_property(bus_, kService, object.c_str(), interface.c_str(), name.c_str(),
                            &request.error, &request.reply, "o") >= 0) {
        const char* path = nullptr;
        if (sd_bus_message_read(request.reply, "o", &path) >= 0 && path) value = path;
    }
    return value == "/" ? std::string() : value;
}

}  // namespace quillby
